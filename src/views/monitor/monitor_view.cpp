// The monitor view: its controls and their ties, the chart component's operations, the run's
// buttons, the speed slider and the chart/gauge switch.
#include "views/monitor/monitor_view.h"

#include "views/chart/chart.h"
#include "views/chart/chart_picture_save.h"
#include "views/chart/monitor_chart.h"
#include "views/instruments/instrument_design.h"
#include "ui_monitor_view.h"

TMonitorView::TMonitorView(QWidget *parent)
    : QWidget(parent), ui(std::make_unique<Ui::TMonitorView>())
{
    ui->setupUi(this);
    // The instruments are drawn in the main window's font, also where the view stands alone.
    setFont(instrument_design::MainWindowFont());
    instrument_design::DesignBar(*ui->pressure_bar, instrument_design::Bar::Pressure);
    instrument_design::DesignBar(*ui->thermometer, instrument_design::Bar::Thermometer);
    instrument_design::DesignGauge(*ui->AnalogDisplay);
    ui->stop_btn->hide();

    fDrawTimer.setSingleShot(true);
    fDrawTimer.setTimerType(Qt::PreciseTimer);
    connect(&fDrawTimer, &QTimer::timeout, this, &TMonitorView::draw);

    connect(ui->start_btn, &QPushButton::clicked, this, &TMonitorView::start_clicked);
    connect(ui->stop_btn, &QPushButton::clicked, this, &TMonitorView::stop_clicked);
    connect(ui->table_btn, &QPushButton::clicked, this, &TMonitorView::table_clicked);
    connect(ui->clear_btn, &QPushButton::clicked, this, &TMonitorView::clear_btnClick);
    connect(ui->switch_button, &QToolButton::clicked, this, &TMonitorView::switch_buttonClick);
    connect(ui->TrackBar1, &QSlider::valueChanged, this, &TMonitorView::TrackBar1Change);
    TrackBar1Change(ui->TrackBar1->value());
    ui->AnalogDisplay->SetOnDblClick([this] { AnalogDisplayDblClick(); });
    translateCaptions();
}

TMonitorView::~TMonitorView() = default;

void TMonitorView::setup(TIniHandler &ini)
{
    fChart = std::make_unique<TMonitorChart>(*ui->Chart, *ui->graph_control, ini, this);
    fPictureSave = std::make_unique<TChartPictureSave>(*ui->Chart, ini);
    connect(fChart.get(), &TMonitorChart::curve_colors_changed, this, &TMonitorView::follow_curve_colors);
    follow_curve_colors(fChart->pressure_color(), fChart->temperature_color());
    connect(ui->p_check, &QCheckBox::toggled, this,
            [this](bool on) { fChart->show_series(TChart::PressureSeries, on); });
    connect(ui->t_Check, &QCheckBox::toggled, this,
            [this](bool on) { fChart->show_series(TChart::TemperatureSeries, on); });
}

// The colour markers beside the numbers and the range colours of both bars follow the curves.
void TMonitorView::follow_curve_colors(TColor p, TColor t)
{
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
}

void TMonitorView::init_series()
{
    fChart->init_series();
}

void TMonitorView::save_chart_settings() const
{
    fChart->save_chart_settings();
}

const std::shared_ptr<TMeasurementStore> &TMonitorView::store() const
{
    return ui->Chart->store();
}

// The run ---------------------------------------------------------------------------------------

void TMonitorView::run_started(const QDateTime &now)
{
    ui->stop_btn->show();
    ui->start_btn->hide();
    // A live run never goes on the time axis of a recorded one.
    if (fChart->showing_run())
        clear_btnClick();
    fChart->start_run(now);
}

void TMonitorView::run_ended()
{
    ui->stop_btn->hide();
    ui->start_btn->show();
}

void TMonitorView::allow_start(bool allowed)
{
    ui->start_btn->setEnabled(allowed);
}

bool TMonitorView::running() const
{
    return !ui->stop_btn->isHidden();
}

int TMonitorView::delay() const
{
    return ui->TrackBar1->value();
}

void TMonitorView::TrackBar1Change(int position)
{
    // The wait between two measurements, beside the slider that sets it.
    ui->speed_value_Label->setText(QStringLiteral("%1 ms").arg(position));
    emit delay_changed(position);
}

void TMonitorView::show_run(std::shared_ptr<TMeasurementStore> store, double pmin, double pmax)
{
    fChart->show_run(std::move(store), (pmax - pmin) / 100);
    if (ui->chart_stack->currentWidget() != ui->chart_page)
        AnalogDisplayDblClick(); // the chart is what was asked for
}

bool TMonitorView::showing_run() const
{
    return fChart->showing_run();
}

void TMonitorView::set_run_caption(const QString &caption)
{
    fRunCaption = caption;
    translateCaptions();
}

void TMonitorView::clear_btnClick()
{
    fChart->clear();
    if (!fRunCaption.isEmpty())
        set_run_caption({});
    emit cleared();
}

// Chart or gauge ----------------------------------------------------------------------------------

void TMonitorView::switch_buttonClick()
{
    const bool chartVisible = ui->chart_stack->currentWidget() != ui->chart_page;
    ui->chart_stack->setCurrentWidget(chartVisible ? ui->chart_page : ui->gauge_page);
    ui->switch_button->setChecked(chartVisible);
    show_switch_caption();
    if (chartVisible)
        return;
    collapse_sidebar();
    TAnalogDisplay &gauge = *ui->AnalogDisplay;
    if (fPmax != fPmin) {
        gauge.SetIndMaximum(0);
        gauge.SetIndMinimum(fPmax);
        gauge.SetScaleMin(fPmin);
        gauge.SetScaleMax(fPmax);
        gauge.SetDigits(2);
    }
    gauge.SetMinColor(fChart->pressure_color());
    gauge.SetFaceColor(fChart->back_color());
}

void TMonitorView::AnalogDisplayDblClick()
{
    ui->chart_stack->setCurrentWidget(ui->chart_page);
    ui->switch_button->setChecked(true);
    show_switch_caption();
}

// The chart component's operations ---------------------------------------------------------------

double TMonitorView::Get_left_min() const { return fChart->Get_left_min(); }
void TMonitorView::Set_left_min(double x) { fChart->Set_left_min(x); }
double TMonitorView::Get_left_max() const { return fChart->Get_left_max(); }
void TMonitorView::Set_left_max(double x) { fChart->Set_left_max(x); }
double TMonitorView::Get_right_min() const { return fChart->Get_right_min(); }
void TMonitorView::Set_right_min(double x) { fChart->Set_right_min(x); }
double TMonitorView::Get_right_max() const { return fChart->Get_right_max(); }
void TMonitorView::Set_right_max(double x) { fChart->Set_right_max(x); }
double TMonitorView::Get_left_increment() const { return fChart->Get_left_increment(); }
void TMonitorView::Set_left_increment(double x) { fChart->Set_left_increment(x); }
double TMonitorView::Get_right_increment() const { return fChart->Get_right_increment(); }
void TMonitorView::Set_right_increment(double x) { fChart->Set_right_increment(x); }
bool TMonitorView::Get_show_left_grid() const { return fChart->Get_show_left_grid(); }
void TMonitorView::Set_show_left_grid(bool b) { fChart->Set_show_left_grid(b); }
bool TMonitorView::Get_show_right_grid() const { return fChart->Get_show_right_grid(); }
void TMonitorView::Set_show_right_grid(bool b) { fChart->Set_show_right_grid(b); }
int TMonitorView::Get_leftaxis_digits() const { return fChart->Get_leftaxis_digits(); }
void TMonitorView::Set_leftaxis_digits(int n) { fChart->Set_leftaxis_digits(n); }
int TMonitorView::Get_rightaxis_digits() const { return fChart->Get_rightaxis_digits(); }
void TMonitorView::Set_rightaxis_digits(int n) { fChart->Set_rightaxis_digits(n); }
const QString &TMonitorView::Get_left_axis_lbl_format() const { return fChart->Get_left_axis_lbl_format(); }
void TMonitorView::Set_left_axis_lbl_format(const QString &format) { fChart->Set_left_axis_lbl_format(format); }
const QString &TMonitorView::Get_right_axis_lbl_format() const { return fChart->Get_right_axis_lbl_format(); }
void TMonitorView::Set_right_axis_lbl_format(const QString &format) { fChart->Set_right_axis_lbl_format(format); }
int TMonitorView::Get_axis_mode() const { return fChart->Get_axis_mode(); }
void TMonitorView::Set_axis_mode(int v) { fChart->Set_axis_mode(v); }

void TMonitorView::lock_iconClick() { fChart->lock_iconClick(); }
void TMonitorView::left_axis_autoClick() { fChart->left_axis_autoClick(); }
void TMonitorView::right_axis_autoClick() { fChart->right_axis_autoClick(); }
void TMonitorView::apply_axis_limits() { fChart->apply_axis_limits(); }
void TMonitorView::collapse_sidebar() { fChart->collapse_sidebar(); }
void TMonitorView::expand_sidebar() { fChart->expand_sidebar(); }
void TMonitorView::apply_chart_settings() { fChart->apply_chart_settings(); }
QString TMonitorView::format_axis_label(QCPAxis *axis, const QString &label)
{
    return fChart->format_axis_label(axis, label);
}
