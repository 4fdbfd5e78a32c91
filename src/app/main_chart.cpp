// The monitor chart in the main window: the chart component's operations, and its ties to the
// numbers, bars, gauge and table beside it.
#include "app/main.h"

#include "views/instruments/BarDisplay.h"
#include "views/chart/chart.h"
#include "views/chart/monitor_chart.h"
#include "views/instruments/shape.h"
#include "views/windows/table_view.h"
#include "ui_main.h"

void Tmain_Form::setup_chart()
{
    fChart = std::make_unique<TMonitorChart>(*ui->Chart, *ui->graph_control, *fIni, this);
    // The colour markers beside the numbers and the range colours of both bars follow the curves.
    Ui::Tmain_Form *ui = this->ui.get();
    QObject::connect(fChart.get(), &TMonitorChart::curve_colors_changed, this, [ui](TColor p, TColor t) {
        ui->p_Shape->Set_brush_color(p);
        ui->T_Shape->Set_brush_color(t);
        const std::pair<TBarDisplay *, TColor> bars[] = {{ui->pressure_bar, p}, {ui->thermometer, t}};
        for (const auto &[bar, color] : bars) {
            bar->SetMinColor(color);
            bar->SetMidColor(color);
            bar->SetMaxColor(color);
            bar->SetMinColor_minor(color);
            bar->SetMidColor_minor(color);
            bar->SetMaxColor_minor(color);
        }
    });
    ui->p_Shape->Set_brush_color(fChart->pressure_color());
    ui->T_Shape->Set_brush_color(fChart->temperature_color());
    ui->AnalogDisplay->SetOnDblClick([this] { AnalogDisplayDblClick(); });
    QObject::connect(ui->clear_btn, &QPushButton::clicked, this, &Tmain_Form::clear_btnClick);
    QObject::connect(ui->p_check, &QCheckBox::toggled, this,
                     [this](bool on) { fChart->show_series(TChart::PressureSeries, on); });
    QObject::connect(ui->t_Check, &QCheckBox::toggled, this,
                     [this](bool on) { fChart->show_series(TChart::TemperatureSeries, on); });
}

void Tmain_Form::init_series()
{
    set_led(0);
    fChart->init_series();
}

void Tmain_Form::attach_windows(const Windows &windows)
{
    fWindows = windows;
    if (fWindows.table)
        fWindows.table->share_store(ui->Chart->store());
}

void Tmain_Form::clear_btnClick()
{
    fChart->clear();
    if (fWindows.table)
        fWindows.table->init();
    // A run goes on measuring the same transmitter: the table keeps naming it.
    if (!ui->stop_btn->isHidden())
        fill_table_identity();
}

void Tmain_Form::AnalogDisplayDblClick()
{
    ui->chart_stack->setCurrentWidget(ui->chart_page);
    ui->switch_button->setChecked(true);
    show_switch_caption();
}

double Tmain_Form::Get_left_min() const { return fChart->Get_left_min(); }
void Tmain_Form::Set_left_min(double x) { fChart->Set_left_min(x); }
double Tmain_Form::Get_left_max() const { return fChart->Get_left_max(); }
void Tmain_Form::Set_left_max(double x) { fChart->Set_left_max(x); }
double Tmain_Form::Get_right_min() const { return fChart->Get_right_min(); }
void Tmain_Form::Set_right_min(double x) { fChart->Set_right_min(x); }
double Tmain_Form::Get_right_max() const { return fChart->Get_right_max(); }
void Tmain_Form::Set_right_max(double x) { fChart->Set_right_max(x); }
double Tmain_Form::Get_left_increment() const { return fChart->Get_left_increment(); }
void Tmain_Form::Set_left_increment(double x) { fChart->Set_left_increment(x); }
double Tmain_Form::Get_right_increment() const { return fChart->Get_right_increment(); }
void Tmain_Form::Set_right_increment(double x) { fChart->Set_right_increment(x); }
bool Tmain_Form::Get_show_left_grid() const { return fChart->Get_show_left_grid(); }
void Tmain_Form::Set_show_left_grid(bool b) { fChart->Set_show_left_grid(b); }
bool Tmain_Form::Get_show_right_grid() const { return fChart->Get_show_right_grid(); }
void Tmain_Form::Set_show_right_grid(bool b) { fChart->Set_show_right_grid(b); }
int Tmain_Form::Get_leftaxis_digits() const { return fChart->Get_leftaxis_digits(); }
void Tmain_Form::Set_leftaxis_digits(int n) { fChart->Set_leftaxis_digits(n); }
int Tmain_Form::Get_rightaxis_digits() const { return fChart->Get_rightaxis_digits(); }
void Tmain_Form::Set_rightaxis_digits(int n) { fChart->Set_rightaxis_digits(n); }
const QString &Tmain_Form::Get_left_axis_lbl_format() const { return fChart->Get_left_axis_lbl_format(); }
void Tmain_Form::Set_left_axis_lbl_format(const QString &format) { fChart->Set_left_axis_lbl_format(format); }
const QString &Tmain_Form::Get_right_axis_lbl_format() const { return fChart->Get_right_axis_lbl_format(); }
void Tmain_Form::Set_right_axis_lbl_format(const QString &format) { fChart->Set_right_axis_lbl_format(format); }
int Tmain_Form::Get_axis_mode() const { return fChart->Get_axis_mode(); }
void Tmain_Form::Set_axis_mode(int v) { fChart->Set_axis_mode(v); }

void Tmain_Form::lock_iconClick() { fChart->lock_iconClick(); }
void Tmain_Form::left_axis_autoClick() { fChart->left_axis_autoClick(); }
void Tmain_Form::right_axis_autoClick() { fChart->right_axis_autoClick(); }
void Tmain_Form::apply_axis_limits() { fChart->apply_axis_limits(); }
void Tmain_Form::collapse_sidebar() { fChart->collapse_sidebar(); }
void Tmain_Form::expand_sidebar() { fChart->expand_sidebar(); }
void Tmain_Form::apply_chart_settings() { fChart->apply_chart_settings(); }
QString Tmain_Form::format_axis_label(QCPAxis *axis, const QString &label)
{
    return fChart->format_axis_label(axis, label);
}
