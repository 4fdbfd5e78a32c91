// The monitor chart as one piece: the chart, its slide-out settings panel, the value-axis
// settings and modes, the tracked extremes, the time origin and the chart's stored settings.
// User-interface thread only.
#pragma once

#include "views/chart/chart_axes.h"
#include "views/chart/chart_panel.h"
#include "views/chart/measurement_store.h"
#include "views/instruments/tcolor.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <memory>

class QCPAxis;
class QMouseEvent;
class TChart;
class TIniHandler;

class TMonitorChart : public QObject
{
    Q_OBJECT
public:
    // The chart and the panel stay where the window laid them out; `ini` outlives this object.
    TMonitorChart(TChart &chart, TChartPanel &panel, TIniHandler &ini, QObject *parent = nullptr);
    ~TMonitorChart() override;

    TChart &chart() const { return fChart; }
    TChartPanel &panel() const { return fPanel; }

    // Stored settings (monitor_chart_settings.cpp). init_series loads them, then creates the series.
    void init_series();
    void load_chart_settings();
    void read_axis_limits();
    // Throws EInOutError when the settings file cannot be written.
    void save_chart_settings() const;

    // Manual limits; each setter applies the limits of both value axes.
    double Get_left_min() const { return f_left_min; }
    void Set_left_min(double x);
    double Get_left_max() const { return f_left_max; }
    void Set_left_max(double x);
    double Get_right_min() const { return f_right_min; }
    void Set_right_min(double x);
    double Get_right_max() const { return f_right_max; }
    void Set_right_max(double x);
    // Label steps, 0 letting the chart choose; written to the settings at once.
    double Get_left_increment() const { return f_left_increment; }
    void Set_left_increment(double x);
    double Get_right_increment() const { return f_right_increment; }
    void Set_right_increment(double x);
    bool Get_show_left_grid() const { return f_show_left_grid; }
    void Set_show_left_grid(bool b);
    bool Get_show_right_grid() const { return f_show_right_grid; }
    void Set_show_right_grid(bool b);
    int Get_leftaxis_digits() const { return f_leftaxis_digits; }
    void Set_leftaxis_digits(int n);
    int Get_rightaxis_digits() const { return f_rightaxis_digits; }
    void Set_rightaxis_digits(int n);
    const QString &Get_left_axis_lbl_format() const { return f_left_axis_lbl_format; }
    void Set_left_axis_lbl_format(const QString &format);
    const QString &Get_right_axis_lbl_format() const { return f_right_axis_lbl_format; }
    void Set_right_axis_lbl_format(const QString &format);
    // 0 automatic, 1 manual, 2 locked.
    int Get_axis_mode() const { return f_axis_mode; }
    void Set_axis_mode(int v);
    bool Get_axis_automatic() const { return f_axis_automatic; }
    bool Get_sidebar_expanded() const { return f_sidebar_expanded; }

    void lock_iconClick();
    void left_axis_autoClick();
    void right_axis_autoClick();
    void apply_axis_limits();
    void collapse_sidebar();
    void expand_sidebar();
    void apply_chart_settings();
    // The chart's label request: value-axis labels with the axis's decimals.
    QString format_axis_label(QCPAxis *axis, const QString &label);

    // The panel's captions and the value-axis titles in the current language; on making and
    // after a change of language.
    void translateCaptions();

    // One hundredth of the transmitter's pressure range: the margin of the first ranges.
    void set_pressure_full_scale(double fullScale) { f_pressure_full_scale = fullScale; }
    // A run begins: after a clear it sets the time origin, otherwise its points start new lines.
    void start_run(const QDateTime &now);
    // A single measurement after a scan: the first ranges, while the series are nearly empty.
    void initial_ranges(double pressure, double temperature);
    // A measurement of a run, recorded at once as one point of each series; nothing is drawn, so
    // that a burst of them costs only the store.
    void record(const QDateTime &now, const TMeasurementStore::Reading &reading);
    // The ranges widen to what was recorded since, and the chart repaints at its next frame.
    void show_recorded();
    // Both at once.
    void add_measurement(const QDateTime &now, const TMeasurementStore::Reading &reading);
    // Empties the series and forgets the extremes and the time origin; the ranges stay.
    void clear();
    // A recorded run instead of what the chart held, read-only: the time axis spans it and
    // automatic value axes fit it; `full_scale` as for set_pressure_full_scale. A clear or the
    // next run's start ends it.
    void show_run(std::shared_ptr<TMeasurementStore> store, double full_scale);
    bool showing_run() const { return f_showing_run; }
    void show_series(int index, bool visible);
    const chart_axes::Extremes &pressure_extremes() const { return fPressure; }
    const chart_axes::Extremes &temperature_extremes() const { return fTemperature; }
    bool chart_cleared() const { return f_chart_cleared; }

    TColor pressure_color() const { return p_color; }
    TColor temperature_color() const { return t_color; }
    TColor back_color() const;

signals:
    // The curve colours, read at start-up or picked on the panel; the instruments follow them.
    void curve_colors_changed(TColor pressure, TColor temperature);

private:
    // After a clear the time axis starts again at `now`; false when it had not been cleared.
    bool restart_time_if_cleared(const QDateTime &now);
    void ChartMouseEnter();
    void ChartMouseMove(QMouseEvent *event);
    void panel_changed(TChartPanel::Field field);
    void commit_limit(TChartPanel::Field field, double value);
    void show_axis_limits(QCPAxis *axis);
    TChartPanelAxis axis_values(QCPAxis *axis, TChartPanelAxis shown) const;
    void write_increment(bool left, double x);

    TChart &fChart;
    TChartPanel &fPanel;
    TIniHandler &fIni;

    chart_axes::Extremes fPressure;
    chart_axes::Extremes fTemperature;
    // Values were tracked that the ranges have not yet been widened to.
    bool f_tracked_unshown = false;
    QDateTime fstart_time;
    bool f_chart_cleared = true;
    bool f_showing_run = false;
    double f_pressure_full_scale = 0;
    double f_left_min = 0.0;
    double f_left_max = 1.0;
    double f_right_min = 0.0;
    double f_right_max = 30.0;
    double f_left_increment = 0.001;
    double f_right_increment = 0.05;
    int f_axis_mode = 0;
    bool f_axis_automatic = true;
    int f_leftaxis_digits = 3;
    int f_rightaxis_digits = 3;
    bool f_show_left_grid = true;
    bool f_show_right_grid = true;
    QString f_left_axis_lbl_format;
    QString f_right_axis_lbl_format;
    TColor p_color = 0x00CA6500;
    TColor t_color = 0x001111FF;
    bool f_sidebar_expanded = false;
};
