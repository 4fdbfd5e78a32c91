// The monitor chart: series, time axis, automatic ranges, axis modes, limits and labels.
#include "main.h"

#include "IniHandler.h"
#include "ZUtils.h"
#include "chart_axes.h"
#include "chart_panel.h"
#include "chart_time.h"
#include "chart_widget.h"
#include "envelope_plottable.h"
#include "logFile.h"
#include "measurement_store.h"
#include "table_view.h"
#include "ui_chart_panel.h"
#include "ui_main.h"

#include <QMouseEvent>

namespace {

// The panel slides open when the mouse comes this close to the chart's left edge.
constexpr int SidebarEdge = 4;

chart_axes::Range range_of(const QCPAxis *axis)
{
    return {axis->range().lower, axis->range().upper};
}

} // namespace

TChart *Tmain_Form::chart() const
{
    return ui->Chart;
}

TChartPanel *Tmain_Form::chart_panel() const
{
    return ui->graph_control;
}

double Tmain_Form::elapsed_days(const QDateTime &from, const QDateTime &to)
{
    return chart_time::elapsed_days(from.msecsTo(to));
}

void Tmain_Form::setup_chart()
{
    chart()->set_label_hook([this](QCPAxis *axis, const QString &label) { return format_axis_label(axis, label); });
    connect(chart(), &TChart::mouse_entered, this, &Tmain_Form::ChartMouseEnter);
    connect(chart(), &QCustomPlot::mouseMove, this, &Tmain_Form::ChartMouseMove);
    ui->AnalogDisplay->SetOnDblClick([this] { AnalogDisplayDblClick(); });
    connect(ui->clear_btn, &QPushButton::clicked, this, &Tmain_Form::clear_btnClick);
    connect(ui->p_check, &QCheckBox::toggled, this, [this](bool on) {
        if (QCPAbstractPlottable *series = chart()->series(TChart::PressureSeries))
            series->setVisible(on);
        chart()->request_replot();
    });
    connect(ui->t_Check, &QCheckBox::toggled, this, [this](bool on) {
        if (QCPAbstractPlottable *series = chart()->series(TChart::TemperatureSeries))
            series->setVisible(on);
        chart()->request_replot();
    });

    // The limit edits always show the range the axis really has, however it got it.
    for (QCPAxis *axis : {chart()->left_axis(), chart()->right_axis()})
        connect(axis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this,
                [this, axis] { show_axis_limits(axis); });

    Ui::TChartPanel &panel = chart_panel()->controls();
    connect(panel.lock_icon, &QToolButton::clicked, this, &Tmain_Form::lock_iconClick);
    connect(panel.left_axis_auto, &QCheckBox::clicked, this, &Tmain_Form::left_axis_autoClick);
    connect(panel.right_axis_auto, &QCheckBox::clicked, this, &Tmain_Form::right_axis_autoClick);
    connect(chart_panel(), &TChartPanel::edit_committed, this, &Tmain_Form::commit_number_edit);
    connect(panel.reset_l_increment, &QPushButton::clicked, this, [this, &panel] {
        panel.increment_left->setText(QStringLiteral("0"));
        commit_number_edit(panel.increment_left);
    });
    connect(panel.reset_r_increment, &QPushButton::clicked, this, [this, &panel] {
        panel.increment_right->setText(QStringLiteral("0"));
        commit_number_edit(panel.increment_right);
    });
    connect(panel.decimals_leftaxis, qOverload<int>(&QSpinBox::valueChanged), this, &Tmain_Form::Set_leftaxis_digits);
    connect(panel.decimals_rightaxis, qOverload<int>(&QSpinBox::valueChanged), this,
            &Tmain_Form::Set_rightaxis_digits);
    connect(panel.grid_check_l, &QCheckBox::clicked, this, &Tmain_Form::Set_show_left_grid);
    connect(panel.grid_check_r, &QCheckBox::clicked, this, &Tmain_Form::Set_show_right_grid);
    const std::pair<TShape *, QToolButton *> swatches[] = {
        {panel.p_color_shape, nullptr},
        {panel.t_color_shape, nullptr},
        {panel.chart_backpanel_Shape, panel.TntSpeedButton1},
        {panel.start_shape, panel.TntSpeedButton2},
        {panel.middle_Shape, panel.TntSpeedButton3},
        {panel.end_Shape, panel.TntSpeedButton4},
        {panel.left_axis_color_shapeShape, panel.laxis_btn},
        {panel.left_axis_tick_color_shape, panel.laxis_tick_btn},
        {panel.left_axis_font_color_shape, panel.laxis_font_btn},
        {panel.left_axis_grid_color_shape, panel.laxis_grid_btn},
        {panel.right_axis_color_shape, panel.raxis_btn},
        {panel.right_axis_tick_color_shape, panel.raxis_tick_btn},
        {panel.right_axis_font_color_shape, panel.raxis_font_btn},
        {panel.right_axis_grid_color_shape, panel.raxis_grid_btn},
        {panel.bottom_axis_color_shape, panel.baxis_btn},
        {panel.bottom_axis_tick_color_shape, panel.baxis_tick_btn},
        {panel.bottom_axis_font_color_shape, panel.baxis_font_btn},
        {panel.bottom_axis_grid_color_shape, panel.baxis_grid_btn},
    };
    for (const auto &[swatch, button] : swatches) {
        connect(swatch, &TShape::mouseDown, this,
                [this, swatch = swatch](Qt::MouseButton b) { swatch_mouse_down(swatch, b); });
        if (button)
            connect(button, &QToolButton::clicked, this,
                    [this, swatch = swatch] { swatch_mouse_down(swatch, Qt::LeftButton); });
    }
    for (QSpinBox *width : {panel.left_axis_SpinEd, panel.right_axis_SpinEd, panel.bottom_axis_SpinEd})
        connect(width, qOverload<int>(&QSpinBox::valueChanged), this, &Tmain_Form::apply_chart_settings);
    connect(panel.solid_box, &QCheckBox::clicked, this, [this, &panel](bool solid) {
        panel.gradient_group->setVisible(!solid);
        apply_chart_settings();
    });
    collapse_sidebar();
}

void Tmain_Form::init_series()
{
    set_led(0);
    load_chart_settings();
    chart()->init_series(p_color, t_color);
}

TColor Tmain_Form::chart_background() const
{
    return chart()->back_color();
}

void Tmain_Form::chart_initial_ranges()
{
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    if (chart()->point_count(TChart::PressureSeries) < 2) {
        const chart_axes::Range left = chart_axes::initial_left_range(device.Get_pressure(), f_pressure_full_scale);
        chart()->set_axis_range(chart()->left_axis(), left.min, left.max);
    }
    if (chart()->point_count(TChart::TemperatureSeries) < 2) {
        const chart_axes::Range right = chart_axes::initial_right_range(device.Get_temperature());
        chart()->set_axis_range(chart()->right_axis(), right.min, right.max);
    }
}

void Tmain_Form::chart_extend_ranges()
{
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    chart_axes::Extremes pressure{fpmin, fpmax};
    pressure.track(device.Get_pressure());
    fpmin = pressure.min;
    fpmax = pressure.max;
    chart_axes::Extremes temperature{ftmin, ftmax};
    temperature.track(device.Get_temperature());
    ftmin = temperature.min;
    ftmax = temperature.max;
    QCPAxis *left = chart()->left_axis(), *right = chart()->right_axis();
    if (const auto widened = chart_axes::extended_range(range_of(left), pressure, chart_axes::LeftMarginDivisor))
        chart()->set_axis_range(left, widened->min, widened->max);
    if (const auto widened = chart_axes::extended_range(range_of(right), temperature, chart_axes::RightMarginDivisor))
        chart()->set_axis_range(right, widened->min, widened->max);
}

void Tmain_Form::attach_windows(const Windows &windows)
{
    fWindows = windows;
    if (fWindows.table)
        fWindows.table->share_store(chart()->store());
}

// The one record of a measurement, which the chart and the table both read.
void Tmain_Form::chart_add_point(double x, double pressure, double temperature)
{
    if (!chart()->series(TChart::PressureSeries))
        return;
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    chart()->store()->append(
        {x, pressure, temperature, device.Get_pressure_U16_raw(), device.Get_temperature_U16_raw()},
        fstart_time.toMSecsSinceEpoch());
    chart()->points_added();
}

void Tmain_Form::clear_btnClick()
{
    chart()->clear_series();
    fpmin = ftmin = chart_axes::Extremes::ResetMin;
    fpmax = ftmax = chart_axes::Extremes::ResetMax;
    f_chart_cleared = true;
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

void Tmain_Form::ChartMouseEnter()
{
    collapse_sidebar();
    if (f_axis_mode == chart_axes::Automatic)
        chart()->setFocus();
}

void Tmain_Form::ChartMouseMove(QMouseEvent *event)
{
    const int x = int(event->position().x());
    if (x <= SidebarEdge && !f_sidebar_expanded)
        expand_sidebar();
    else if (x > SidebarEdge && f_sidebar_expanded)
        collapse_sidebar();
}

// Axis modes ----------------------------------------------------------------------------------

void Tmain_Form::lock_iconClick()
{
    Set_axis_mode(chart_axes::next_axis_mode(f_axis_mode));
}

void Tmain_Form::Set_axis_mode(int v)
{
    f_axis_mode = v;
    const chart_axes::AxisModeEffect effect = chart_axes::axis_mode_effect(v);
    if (effect.known) {
        f_axis_automatic = effect.automatic;
        chart()->set_zoom_allowed(effect.zoom);
        chart()->set_pan_orientations(effect.pan_vertical ? Qt::Horizontal | Qt::Vertical : Qt::Horizontal);
        // A changed box has the effect of a click on it.
        Ui::TChartPanel &panel = chart_panel()->controls();
        if (panel.left_axis_auto->isChecked() != effect.automatic) {
            panel.left_axis_auto->setChecked(effect.automatic);
            left_axis_autoClick();
        }
        if (panel.right_axis_auto->isChecked() != effect.automatic) {
            panel.right_axis_auto->setChecked(effect.automatic);
            right_axis_autoClick();
        }
        if (effect.apply_limits)
            apply_axis_limits();
        if (effect.take_focus)
            chart()->setFocus();
        show_axis_limits(chart()->left_axis());
        show_axis_limits(chart()->right_axis());
    }
    chart_panel()->show_axis_mode(v);
}

void Tmain_Form::left_axis_autoClick()
{
    f_axis_automatic = chart_panel()->controls().left_axis_auto->isChecked();
    show_axis_limits(chart()->left_axis());
}

void Tmain_Form::right_axis_autoClick()
{
    chart()->set_auto_scaling(chart()->right_axis(), chart_panel()->controls().right_axis_auto->isChecked());
    show_axis_limits(chart()->right_axis());
}

void Tmain_Form::apply_axis_limits()
{
    chart()->set_axis_range(chart()->left_axis(), f_left_min, f_left_max);
    chart()->set_axis_range(chart()->right_axis(), f_right_min, f_right_max);
}

void Tmain_Form::Set_left_min(double x)
{
    const chart_axes::Range limits = chart_axes::with_min({f_left_min, f_left_max}, x);
    f_left_min = limits.min;
    apply_axis_limits();
}

void Tmain_Form::Set_left_max(double x)
{
    const chart_axes::Range limits = chart_axes::with_max({f_left_min, f_left_max}, x);
    f_left_max = limits.max;
    apply_axis_limits();
}

void Tmain_Form::Set_right_min(double x)
{
    const chart_axes::Range limits = chart_axes::with_min({f_right_min, f_right_max}, x);
    f_right_min = limits.min;
    apply_axis_limits();
}

void Tmain_Form::Set_right_max(double x)
{
    const chart_axes::Range limits = chart_axes::with_max({f_right_min, f_right_max}, x);
    f_right_max = limits.max;
    apply_axis_limits();
}

// Labels, steps and grids ---------------------------------------------------------------------

void Tmain_Form::Set_leftaxis_digits(int n)
{
    f_leftaxis_digits = n;
    Set_left_axis_lbl_format(chart_axes::label_format(n));
}

void Tmain_Form::Set_rightaxis_digits(int n)
{
    f_rightaxis_digits = n;
    Set_right_axis_lbl_format(chart_axes::label_format(n));
}

void Tmain_Form::Set_left_axis_lbl_format(const QString &format)
{
    f_left_axis_lbl_format = format;
    chart()->set_value_format(chart()->left_axis(), format);
}

void Tmain_Form::Set_right_axis_lbl_format(const QString &format)
{
    f_right_axis_lbl_format = format;
    chart()->set_value_format(chart()->right_axis(), format);
}

QString Tmain_Form::format_axis_label(QCPAxis *axis, const QString &label)
{
    const bool left = axis == chart()->left_axis();
    if (!left && axis != chart()->right_axis())
        return label;
    const QString text = chart_axes::format_axis_label(label, left ? f_leftaxis_digits : f_rightaxis_digits,
                                                       ZString::LocaleDecimalSeparator());
    chart()->reserve_label_width(axis, chart_axes::reserved_label_width(chart()->reserved_label_width(axis),
                                                                        int(text.size())));
    return text;
}

void Tmain_Form::Set_left_increment(double x)
{
    f_left_increment = x;
    chart()->set_label_step(chart()->left_axis(), x);
    write_increment(true, x);
}

void Tmain_Form::Set_right_increment(double x)
{
    f_right_increment = x;
    chart()->set_label_step(chart()->right_axis(), x);
    write_increment(false, x);
}

void Tmain_Form::write_increment(bool left, double x)
{
    try {
        left ? fIni->Set_left_increment(x) : fIni->Set_right_increment(x);
    } catch (const EInOutError &e) {
        fLog->addEvent(catViewer, lError, QString::fromLocal8Bit(e.what()));
    }
}

void Tmain_Form::Set_show_left_grid(bool b)
{
    f_show_left_grid = b;
    chart()->set_grid_visible(chart()->left_axis(), b);
}

void Tmain_Form::Set_show_right_grid(bool b)
{
    f_show_right_grid = b;
    chart()->set_grid_visible(chart()->right_axis(), b);
}
