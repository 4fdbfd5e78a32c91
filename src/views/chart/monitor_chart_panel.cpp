// The chart settings panel of the monitor chart: sliding it open and shut, filling it from the
// chart, and carrying the user's edits back onto the chart.
#include "views/chart/monitor_chart.h"

#include "views/chart/chart.h"
#include "services/dialogs/msgDialogForm.h"

#include <QMouseEvent>

namespace {

constexpr int CollapsedWidth = 2;
constexpr int ExpandedWidth = 280;
// The panel slides open when the mouse comes this close to the chart's left edge.
constexpr int SidebarEdge = 4;

} // namespace

void TMonitorChart::ChartMouseEnter()
{
    collapse_sidebar();
    if (f_axis_mode == chart_axes::Automatic)
        fChart.setFocus();
}

void TMonitorChart::ChartMouseMove(QMouseEvent *event)
{
    const int x = int(event->position().x());
    if (x <= SidebarEdge && !f_sidebar_expanded)
        expand_sidebar();
    else if (x > SidebarEdge && f_sidebar_expanded)
        collapse_sidebar();
}

void TMonitorChart::collapse_sidebar()
{
    fPanel.setFixedWidth(CollapsedWidth);
    f_sidebar_expanded = false;
}

// An axis's limits, step, decimals and grid as the panel shows them; a hidden axis keeps what is shown.
TChartPanelAxis TMonitorChart::axis_values(QCPAxis *axis, TChartPanelAxis shown) const
{
    const bool left = axis == fChart.left_axis();
    shown.grid = left ? f_show_left_grid : f_show_right_grid;
    shown.enabled = axis->visible();
    if (!shown.enabled)
        return shown;
    shown.max = axis->range().upper;
    shown.min = axis->range().lower;
    shown.increment = left ? f_left_increment : f_right_increment;
    shown.decimals = left ? f_leftaxis_digits : f_rightaxis_digits;
    return shown;
}

void TMonitorChart::expand_sidebar()
{
    f_sidebar_expanded = true;
    fPanel.setFixedWidth(ExpandedWidth);
    TChartPanelValues values = fPanel.read();
    values.look = fChart.props();
    values.left = axis_values(fChart.left_axis(), values.left);
    values.right = axis_values(fChart.right_axis(), values.right);
    values.pressure_color = p_color;
    values.temperature_color = t_color;
    fPanel.fill(values);
    // A stored number of decimals outside the field's range is shown clamped and taken.
    const TChartPanelValues shown = fPanel.read();
    if (shown.left.decimals != f_leftaxis_digits)
        Set_leftaxis_digits(shown.left.decimals);
    if (shown.right.decimals != f_rightaxis_digits)
        Set_rightaxis_digits(shown.right.decimals);
}

// The axis's current range in its two limit edits.
void TMonitorChart::show_axis_limits(QCPAxis *axis)
{
    fPanel.show_axis_range(axis == fChart.left_axis() ? TChartPanel::Left : TChartPanel::Right,
                           axis->range().lower, axis->range().upper);
}

void TMonitorChart::panel_changed(TChartPanel::Field field)
{
    const TChartPanelValues values = fPanel.read();
    switch (field) {
    case TChartPanel::LeftAuto:
        left_axis_autoClick();
        break;
    case TChartPanel::RightAuto:
        right_axis_autoClick();
        break;
    case TChartPanel::LeftMax:
        commit_limit(field, values.left.max);
        break;
    case TChartPanel::LeftMin:
        commit_limit(field, values.left.min);
        break;
    case TChartPanel::RightMax:
        commit_limit(field, values.right.max);
        break;
    case TChartPanel::RightMin:
        commit_limit(field, values.right.min);
        break;
    case TChartPanel::LeftIncrement:
        Set_left_increment(values.left.increment);
        break;
    case TChartPanel::RightIncrement:
        Set_right_increment(values.right.increment);
        break;
    case TChartPanel::LeftDecimals:
        Set_leftaxis_digits(values.left.decimals);
        break;
    case TChartPanel::RightDecimals:
        Set_rightaxis_digits(values.right.decimals);
        break;
    case TChartPanel::LeftGrid:
        Set_show_left_grid(values.left.grid);
        break;
    case TChartPanel::RightGrid:
        Set_show_right_grid(values.right.grid);
        break;
    case TChartPanel::PressureColor:
        p_color = values.pressure_color;
        apply_chart_settings();
        break;
    case TChartPanel::TemperatureColor:
        t_color = values.temperature_color;
        apply_chart_settings();
        break;
    case TChartPanel::Look:
        apply_chart_settings();
        break;
    }
}

void TMonitorChart::commit_limit(TChartPanel::Field field, double value)
{
    switch (field) {
    case TChartPanel::LeftMax:
        Set_left_max(value);
        break;
    case TChartPanel::LeftMin:
        Set_left_min(value);
        break;
    case TChartPanel::RightMax:
        Set_right_max(value);
        break;
    default:
        Set_right_min(value);
        break;
    }
    // A limit typed while the axes scale themselves would be overwritten by the next
    // measurement: the axes take the typed limits for good.
    if (f_axis_mode == chart_axes::Automatic)
        Set_axis_mode(chart_axes::Manual);
    show_axis_limits(fChart.left_axis());
    show_axis_limits(fChart.right_axis());
}

void TMonitorChart::apply_chart_settings()
{
    fChart.set_props(fPanel.read().look);
    fChart.set_series_color(TChart::PressureSeries, p_color);
    fChart.set_series_color(TChart::TemperatureSeries, t_color);
    emit curve_colors_changed(p_color, t_color);
}
