// The monitor chart: series, time origin, automatic ranges, axis modes, limits and labels.
#include "views/chart/monitor_chart.h"

#include "services/settings/IniHandler.h"
#include "services/settings/window_text.h"
#include "services/utils/ZUtils.h"
#include "views/chart/chart.h"
#include "views/chart/measurement_store.h"
#include "services/log/logFile.h"
#include "services/dialogs/msgDialogForm.h"

namespace {

chart_axes::Range range_of(const QCPAxis *axis)
{
    return {axis->range().lower, axis->range().upper};
}

} // namespace

TMonitorChart::TMonitorChart(TChart &chart, TChartPanel &panel, TIniHandler &ini, QObject *parent)
    : QObject(parent), fChart(chart), fPanel(panel), fIni(ini)
{
    setObjectName(QStringLiteral("monitor_chart"));
    fChart.set_label_hook([this](QCPAxis *axis, const QString &label) { return format_axis_label(axis, label); });
    connect(&fChart, &TChart::mouse_entered, this, &TMonitorChart::ChartMouseEnter);
    connect(&fChart, &QCustomPlot::mouseMove, this, &TMonitorChart::ChartMouseMove);
    // The limit edits always show the range the axis really has, however it got it.
    for (QCPAxis *axis : {fChart.left_axis(), fChart.right_axis()})
        connect(axis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this,
                [this, axis] { show_axis_limits(axis); });
    connect(&fPanel, &TChartPanel::lock_clicked, this, &TMonitorChart::lock_iconClick);
    connect(&fPanel, &TChartPanel::changed, this, &TMonitorChart::panel_changed);
    connect(&fPanel, &TChartPanel::invalid_number, this, [](const QString &text) {
        TmsgDialog::createDialog(QStringLiteral("'%1' is not a valid floating point value.").arg(text), mtError,
                                 {mbOk});
    });
    collapse_sidebar();
    translateCaptions();
}

// The chart may outlive this object by a moment: it must not call back into it.
TMonitorChart::~TMonitorChart()
{
    fChart.set_label_hook(nullptr);
}

// Measurements ------------------------------------------------------------------------------

bool TMonitorChart::restart_time_if_cleared(const QDateTime &now)
{
    if (!f_chart_cleared)
        return false;
    fstart_time = now;
    f_chart_cleared = false;
    return true;
}

void TMonitorChart::start_run(const QDateTime &now)
{
    if (!restart_time_if_cleared(now))
        fChart.break_line(); // this run goes on the same time axis, not joined to the last one
}

void TMonitorChart::initial_ranges(double pressure, double temperature)
{
    if (!f_axis_automatic)
        return;
    if (fChart.point_count(TChart::PressureSeries) < 2) {
        const chart_axes::Range left = chart_axes::initial_left_range(pressure, f_pressure_full_scale);
        fChart.set_axis_range(fChart.left_axis(), left.min, left.max);
    }
    if (fChart.point_count(TChart::TemperatureSeries) < 2) {
        const chart_axes::Range right = chart_axes::initial_right_range(temperature);
        fChart.set_axis_range(fChart.right_axis(), right.min, right.max);
    }
}

// The one record of a measurement, which the chart and the table both read.
void TMonitorChart::record(const QDateTime &now, const TMeasurementStore::Reading &reading)
{
    // A clear during the run starts a new time axis with this point.
    restart_time_if_cleared(now);
    if (f_axis_automatic) {
        fPressure.track(TMeasurementStore::pressure_of(reading));
        fTemperature.track(TMeasurementStore::temperature_of(reading));
        f_tracked_unshown = true;
    }
    if (!fChart.series(TChart::PressureSeries))
        return;
    fChart.store()->append(fstart_time.toMSecsSinceEpoch(), fstart_time.msecsTo(now), reading);
}

void TMonitorChart::show_recorded()
{
    // Only extremes of recorded values widen, not those left from a clear.
    if (f_axis_automatic && f_tracked_unshown) {
        QCPAxis *left = fChart.left_axis(), *right = fChart.right_axis();
        if (const auto widened = chart_axes::extended_range(range_of(left), fPressure, chart_axes::LeftMarginDivisor))
            fChart.set_axis_range(left, widened->min, widened->max);
        if (const auto widened =
                chart_axes::extended_range(range_of(right), fTemperature, chart_axes::RightMarginDivisor))
            fChart.set_axis_range(right, widened->min, widened->max);
    }
    f_tracked_unshown = false;
    fChart.points_added();
}

void TMonitorChart::add_measurement(const QDateTime &now, const TMeasurementStore::Reading &reading)
{
    record(now, reading);
    show_recorded();
}

void TMonitorChart::clear()
{
    fChart.clear_series();
    fPressure.reset();
    fTemperature.reset();
    f_tracked_unshown = false;
    f_chart_cleared = true;
    f_showing_run = false;
}

void TMonitorChart::show_run(std::shared_ptr<TMeasurementStore> store, double full_scale)
{
    clear();
    fChart.set_store(std::move(store));
    f_showing_run = true;
    const TMeasurementStore &run = *fChart.store();
    if (f_axis_automatic && !run.empty()) {
        const MinMax pressure = run.extremes(TMeasurementStore::Pressure, 0, run.size());
        const MinMax temperature = run.extremes(TMeasurementStore::Temperature, 0, run.size());
        fPressure.track(pressure.min);
        fPressure.track(pressure.max);
        fTemperature.track(temperature.min);
        fTemperature.track(temperature.max);
        // From the ranges a first measurement would give, widened to the whole run.
        const chart_axes::Range left = chart_axes::initial_left_range(pressure.min, full_scale);
        const chart_axes::Range right = chart_axes::initial_right_range(temperature.min);
        fChart.set_axis_range(fChart.left_axis(), left.min, left.max);
        fChart.set_axis_range(fChart.right_axis(), right.min, right.max);
        f_tracked_unshown = true;
    }
    fChart.set_auto_scaling(fChart.bottom_axis(), true);
    show_recorded();
}

void TMonitorChart::show_series(int index, bool visible)
{
    if (QCPAbstractPlottable *series = fChart.series(index))
        series->setVisible(visible);
    fChart.request_replot();
}

void TMonitorChart::translateCaptions()
{
    using window_text::tr_;
    fPanel.translateCaptions();
    fChart.left_axis()->setLabel(tr_("pressure_display_group", "Pressure [bar]"));
    fChart.right_axis()->setLabel(tr_("temperature_display_group", "Temperature [°C]"));
    fChart.request_replot();
}

TColor TMonitorChart::back_color() const
{
    return fChart.back_color();
}

// Axis modes ----------------------------------------------------------------------------------

void TMonitorChart::lock_iconClick()
{
    Set_axis_mode(chart_axes::next_axis_mode(f_axis_mode));
}

void TMonitorChart::Set_axis_mode(int v)
{
    f_axis_mode = v;
    const chart_axes::AxisModeEffect effect = chart_axes::axis_mode_effect(v);
    if (effect.known) {
        f_axis_automatic = effect.automatic;
        fChart.set_zoom_allowed(effect.zoom);
        fChart.set_pan_orientations(effect.pan_vertical ? Qt::Horizontal | Qt::Vertical : Qt::Horizontal);
        // A changed box has the effect of a click on it.
        const TChartPanelValues shown = fPanel.read();
        if (shown.left.automatic != effect.automatic) {
            fPanel.set_automatic(TChartPanel::Left, effect.automatic);
            left_axis_autoClick();
        }
        if (shown.right.automatic != effect.automatic) {
            fPanel.set_automatic(TChartPanel::Right, effect.automatic);
            right_axis_autoClick();
        }
        if (effect.apply_limits)
            apply_axis_limits();
        if (effect.take_focus)
            fChart.setFocus();
        show_axis_limits(fChart.left_axis());
        show_axis_limits(fChart.right_axis());
    }
    fPanel.show_axis_mode(v);
}

void TMonitorChart::left_axis_autoClick()
{
    f_axis_automatic = fPanel.read().left.automatic;
    show_axis_limits(fChart.left_axis());
}

void TMonitorChart::right_axis_autoClick()
{
    fChart.set_auto_scaling(fChart.right_axis(), fPanel.read().right.automatic);
    show_axis_limits(fChart.right_axis());
}

void TMonitorChart::apply_axis_limits()
{
    fChart.set_axis_range(fChart.left_axis(), f_left_min, f_left_max);
    fChart.set_axis_range(fChart.right_axis(), f_right_min, f_right_max);
}

void TMonitorChart::Set_left_min(double x)
{
    f_left_min = chart_axes::with_min({f_left_min, f_left_max}, x).min;
    apply_axis_limits();
}

void TMonitorChart::Set_left_max(double x)
{
    f_left_max = chart_axes::with_max({f_left_min, f_left_max}, x).max;
    apply_axis_limits();
}

void TMonitorChart::Set_right_min(double x)
{
    f_right_min = chart_axes::with_min({f_right_min, f_right_max}, x).min;
    apply_axis_limits();
}

void TMonitorChart::Set_right_max(double x)
{
    f_right_max = chart_axes::with_max({f_right_min, f_right_max}, x).max;
    apply_axis_limits();
}

// Labels, steps and grids ---------------------------------------------------------------------

void TMonitorChart::Set_leftaxis_digits(int n)
{
    f_leftaxis_digits = n;
    Set_left_axis_lbl_format(chart_axes::label_format(n));
}

void TMonitorChart::Set_rightaxis_digits(int n)
{
    f_rightaxis_digits = n;
    Set_right_axis_lbl_format(chart_axes::label_format(n));
}

void TMonitorChart::Set_left_axis_lbl_format(const QString &format)
{
    f_left_axis_lbl_format = format;
    fChart.set_value_format(fChart.left_axis(), format);
}

void TMonitorChart::Set_right_axis_lbl_format(const QString &format)
{
    f_right_axis_lbl_format = format;
    fChart.set_value_format(fChart.right_axis(), format);
}

QString TMonitorChart::format_axis_label(QCPAxis *axis, const QString &label)
{
    const bool left = axis == fChart.left_axis();
    if (!left && axis != fChart.right_axis())
        return label;
    const QString text = chart_axes::format_axis_label(label, left ? f_leftaxis_digits : f_rightaxis_digits,
                                                       ZString::LocaleDecimalSeparator());
    fChart.reserve_label_width(
        axis, chart_axes::reserved_label_width(fChart.reserved_label_width(axis), int(text.size())));
    return text;
}

void TMonitorChart::Set_left_increment(double x)
{
    f_left_increment = x;
    fChart.set_label_step(fChart.left_axis(), x);
    write_increment(true, x);
}

void TMonitorChart::Set_right_increment(double x)
{
    f_right_increment = x;
    fChart.set_label_step(fChart.right_axis(), x);
    write_increment(false, x);
}

void TMonitorChart::write_increment(bool left, double x)
{
    try {
        left ? fIni.Set_left_increment(x) : fIni.Set_right_increment(x);
    } catch (const EInOutError &e) {
        TLogFile::getInstance()->addEvent(catViewer, lError, QString::fromLocal8Bit(e.what()));
    }
}

void TMonitorChart::Set_show_left_grid(bool b)
{
    f_show_left_grid = b;
    fChart.set_grid_visible(fChart.left_axis(), b);
}

void TMonitorChart::Set_show_right_grid(bool b)
{
    f_show_right_grid = b;
    fChart.set_grid_visible(fChart.right_axis(), b);
}
