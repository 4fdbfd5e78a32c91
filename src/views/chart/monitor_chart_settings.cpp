// The chart's stored settings: section "viewer" (limits, mode, labels, grids, curve colours) and
// section "Chart" (appearance), read at start-up and written when the window closes.
#include "views/chart/monitor_chart.h"

#include "services/settings/IniHandler.h"
#include "views/chart/chart_props.h"
#include "views/chart/chart.h"

void TMonitorChart::init_series()
{
    load_chart_settings();
    fChart.init_series(p_color, t_color);
}

void TMonitorChart::read_axis_limits()
{
    f_left_min = fIni.Get_l_min();
    f_left_max = fIni.Get_l_max();
    f_right_min = fIni.Get_r_min();
    f_right_max = fIni.Get_r_max();
}

void TMonitorChart::load_chart_settings()
{
    read_axis_limits();
    TChartProps props = fChart.props();
    if (read_chart_props(fIni, props))
        fChart.set_props(props);
    Set_axis_mode(fIni.Get_axismode());
    Set_show_left_grid(fIni.Get_show_left_grid());
    Set_show_right_grid(fIni.Get_show_right_grid());
    Set_left_increment(fIni.Get_left_increment());
    Set_right_increment(fIni.Get_right_increment());
    Set_leftaxis_digits(fIni.Get_l_decimals());
    Set_rightaxis_digits(fIni.Get_r_decimals());

    p_color = fIni.Get_pressure_color();
    t_color = fIni.Get_temperature_color();
    // The axis lines follow the curve colours, whatever colours were stored for them.
    props = fChart.props();
    props.left.axis_color = p_color;
    props.right.axis_color = t_color;
    fChart.set_props(props);
    emit curve_colors_changed(p_color, t_color);
}

void TMonitorChart::save_chart_settings() const
{
    save_chart_props(fIni, fChart.props());
    fIni.Set_l_min(f_left_min);
    fIni.Set_l_max(f_left_max);
    fIni.Set_r_min(f_right_min);
    fIni.Set_r_max(f_right_max);
    fIni.Set_axismode(f_axis_mode);
    fIni.Set_l_decimals(f_leftaxis_digits);
    fIni.Set_r_decimals(f_rightaxis_digits);
    fIni.Set_left_increment(f_left_increment);
    fIni.Set_right_increment(f_right_increment);
    fIni.Set_show_left_grid(f_show_left_grid);
    fIni.Set_show_right_grid(f_show_right_grid);
    fIni.Set_pressure_color(p_color);
    fIni.Set_temperature_color(t_color);
}
