// The monitor: the numbers, bars and gauge of the pressure and temperature, the chart with its
// settings panel, the run's Start/Stop, the speed slider, Clear Chart and Table. It is told what
// to show in plain records and never reads the device model. A run's measurements are stored at
// once and drawn at most 60 times a second, so that handing one over stays cheap however fast
// they come. User-interface thread only.
#pragma once

#include "session/session_records.h"
#include "views/instruments/tcolor.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>

class QCPAxis;
class TIniHandler;
class TChartPictureSave;
class TMeasurementStore;
class TMonitorChart;

namespace Ui {
class TMonitorView;
}

class TMonitorView : public QWidget
{
    Q_OBJECT
public:
    explicit TMonitorView(QWidget *parent = nullptr);
    ~TMonitorView() override;

    // Makes the chart component, which keeps its settings in `ini`; once, before anything else is
    // asked of the view. `ini` outlives the view.
    void setup(TIniHandler &ini);
    // Reads the chart's stored settings and creates its series.
    void init_series();
    // Throws EInOutError when the settings file cannot be written.
    void save_chart_settings() const;
    // The run's measurements; the table window shows the same rows.
    const std::shared_ptr<TMeasurementStore> &store() const;
    // Saves the chart as a picture; its action is in the chart's context menu. Made by setup.
    TChartPictureSave &picture_save() const { return *fPictureSave; }

    // The transmitter's range: the chart's margins, the pressure bar's scale and the gauge.
    void show_range(double pmin, double pmax);
    // A scan's single measurement, drawn now; it also gives the chart its first ranges.
    void show_measurement(const session::Measurement &m);
    // A run's measurement: stored at once, drawn with the next frame.
    void add_measurement(const session::Measurement &m);
    // Nothing is measured: greyed instruments and placeholders instead of the numbers.
    void show_no_device();
    // Something recorded waits for the next frame.
    bool draw_pending() const { return fDrawTimer.isActive(); }

    // A recorded run in the chart instead of the live one, read-only, until the chart is cleared
    // or a run starts; the table is the owner's to share. `pmin`, `pmax`: the run's range.
    void show_run(std::shared_ptr<TMeasurementStore> store, double pmin, double pmax);
    bool showing_run() const;
    // Names the recorded run shown beside the monitor's caption; in the current language.
    void set_run_caption(const QString &caption);

    // A run began: Stop instead of Start, and the chart goes on from `now`; a recorded run shown
    // goes first (cleared).
    void run_started(const QDateTime &now);
    void run_ended();
    // A run needs a transmitter the scan has read.
    void allow_start(bool allowed);
    bool running() const;
    // The wait between two measurements the slider sets, in milliseconds.
    int delay() const;

    // Its captions and the chart's in the current language; on making and after a change of
    // language. The chart/gauge switch names what is shown in the language of the moment.
    void translateCaptions();

    // The chart's manual limits, label steps, grids, label decimals and axis mode.
    double Get_left_min() const;
    void Set_left_min(double x);
    double Get_left_max() const;
    void Set_left_max(double x);
    double Get_right_min() const;
    void Set_right_min(double x);
    double Get_right_max() const;
    void Set_right_max(double x);
    double Get_left_increment() const;
    void Set_left_increment(double x);
    double Get_right_increment() const;
    void Set_right_increment(double x);
    bool Get_show_left_grid() const;
    void Set_show_left_grid(bool b);
    bool Get_show_right_grid() const;
    void Set_show_right_grid(bool b);
    int Get_leftaxis_digits() const;
    void Set_leftaxis_digits(int n);
    int Get_rightaxis_digits() const;
    void Set_rightaxis_digits(int n);
    const QString &Get_left_axis_lbl_format() const;
    void Set_left_axis_lbl_format(const QString &format);
    const QString &Get_right_axis_lbl_format() const;
    void Set_right_axis_lbl_format(const QString &format);
    int Get_axis_mode() const;
    void Set_axis_mode(int v);

    void lock_iconClick();
    void left_axis_autoClick();
    void right_axis_autoClick();
    void apply_axis_limits();
    void clear_btnClick();
    void collapse_sidebar();
    void expand_sidebar();
    void apply_chart_settings();
    QString format_axis_label(QCPAxis *axis, const QString &label);
    void switch_buttonClick();
    void TrackBar1Change(int position);
    void AnalogDisplayDblClick();

signals:
    void start_clicked();
    void stop_clicked();
    void table_clicked();
    void delay_changed(int ms);
    // The chart was cleared; the rows it shared are gone.
    void cleared();

private:
    void show_values(const session::Measurement &m);
    void schedule_draw();
    void draw();
    void show_switch_caption();
    void follow_curve_colors(TColor pressure, TColor temperature);

    std::unique_ptr<Ui::TMonitorView> ui;
    // Goes before the view's child widgets it works on.
    std::unique_ptr<TMonitorChart> fChart;
    std::unique_ptr<TChartPictureSave> fPictureSave;

    double fPmin = 0;
    double fPmax = 0;
    QString fRunCaption; // the recorded run shown, if any

    // What the next frame draws: the newest values, and whether the chart has new points.
    session::Measurement fLast;
    bool fValuesPending = false;
    bool fChartPending = false;
    QTimer fDrawTimer;
    QElapsedTimer fSinceDraw;
};
