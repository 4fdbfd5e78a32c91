#pragma once
// The monitor's time chart: pressure on the left and temperature on the right value axis against
// the elapsed time in days. Rectangle zoom (dragging to the left undoes it), panning with the
// right mouse button, a right click without a drag opens the menu of the chart's actions, labels
// rewritten through a hook, and repaints coalesced to the screen's pace. User-interface thread only.
#include "views/chart/chart_props.h"
#include "views/chart/envelope_series.h"
#include "views/instruments/tcolor.h"

#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <qcustomplot.h>

class TTimeTicker;
class TValueTicker;

class TChart : public QCustomPlot
{
    Q_OBJECT
public:
    enum Series { PressureSeries = 0, TemperatureSeries = 1 };

    explicit TChart(QWidget *parent = nullptr);
    ~TChart() override;

    // Removes every series and creates the pressure and the temperature series.
    void init_series(TColor pressure, TColor temperature);
    // Nullptr before init_series.
    TEnvelopeSeries *series(int index) const;
    void set_series_color(int index, TColor color);
    int point_count(int index) const;
    // The series draw from this store; the chart starts with one of its own.
    void set_store(std::shared_ptr<TMeasurementStore> store);
    const std::shared_ptr<TMeasurementStore> &store() const { return fStore; }
    // Records a point in the store, `elapsed_ms` after a time origin at 0.
    void add_point(std::int64_t elapsed_ms, const TMeasurementStore::Reading &reading);
    // Ends the curves where they are: the next points start new lines, not joined to these.
    void break_line();
    // Someone else recorded rows in the store: follow them.
    void points_added();
    // Empties the store and frees its memory.
    void clear_series();

    QCPAxis *left_axis() const { return yAxis; }
    QCPAxis *right_axis() const { return yAxis2; }
    QCPAxis *bottom_axis() const { return xAxis; }

    // Setting a range takes the axis out of its automatic scaling.
    void set_axis_range(QCPAxis *axis, double min, double max);
    // Automatic scaling fits a value axis to its series at every repaint.
    void set_auto_scaling(QCPAxis *axis, bool on);
    bool auto_scaling(QCPAxis *axis) const;
    // Value axes: the chart's label format ("###0.##") and the smallest step between labels (0: the chart chooses).
    void set_value_format(QCPAxis *axis, const QString &format);
    QString value_format(QCPAxis *axis) const;
    void set_label_step(QCPAxis *axis, double increment);
    void set_grid_visible(QCPAxis *axis, bool visible);
    // Called with each value-axis label the chart draws; returns the text to draw.
    using LabelHook = std::function<QString(QCPAxis *axis, const QString &label)>;
    void set_label_hook(LabelHook hook);
    // Width a value axis keeps free for its labels; it only ever grows.
    int reserved_label_width(QCPAxis *axis) const;
    void reserve_label_width(QCPAxis *axis, int width);

    TChartProps props() const;
    void set_props(const TChartProps &props);
    // The solid back panel colour, also when a gradient is drawn.
    TColor back_color() const { return fProps.back_color; }

    void set_zoom_allowed(bool allowed);
    bool zoom_allowed() const { return fZoomAllowed; }
    void set_pan_orientations(Qt::Orientations orientations) { fPan = orientations; }
    Qt::Orientations pan_orientations() const { return fPan; }
    bool zoomed() const { return fSaved.valid; }
    // Animated to the rectangle (widget pixels), 16 steps.
    void zoom_to(const QRect &rect);
    // Back to the ranges and scaling from before the first zoom or pan.
    void undo_zoom();

    // Repaints at most once per frame; a hidden chart repaints when shown.
    void request_replot();
    bool replot_pending() const { return fReplotPending; }
    // Replots now when a repaint is pending.
    void flush_replot();

    // Draws the chart as it shows now, laid out at `size`, onto `device` (at least that large);
    // `vector` for a drawing instead of pixels. The screen keeps its own layout.
    bool paint_picture(QPaintDevice &device, const QSize &size, bool vector);
    // The chart's actions (QWidget::actions) as a menu at `globalPos`; nothing without actions.
    void show_context_menu(const QPoint &globalPos);

signals:
    void mouse_entered();

protected:
    void enterEvent(QEnterEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    struct AxisState {
        QCPRange range;
        bool auto_scaling = false;
    };
    struct SavedView {
        bool valid = false;
        AxisState axes[3];
    };
    QList<QCPAxis *> all_axes() const { return {xAxis, yAxis, yAxis2}; }
    int axis_slot(QCPAxis *axis) const;
    TValueTicker *value_ticker(QCPAxis *axis) const;
    void apply_background();
    void apply_axis_props(QCPAxis *axis, const TAxisProps &props);
    void follow_time();
    void prepare_replot();
    void replot_tick();
    void zoom_step();
    void keep_view();

    std::shared_ptr<TMeasurementStore> fStore;
    QSharedPointer<TTimeTicker> fTimeTicker;
    QSharedPointer<TValueTicker> fLeftTicker;
    QSharedPointer<TValueTicker> fRightTicker;
    TChartProps fProps;
    bool fAuto[3] = {true, false, false};
    int fReserved[3] = {0, 0, 0};
    bool fZoomAllowed = true;
    Qt::Orientations fPan = Qt::Horizontal | Qt::Vertical;
    SavedView fSaved;

    // Pan with the right button, once it moved farther than a click; a click opens the menu.
    bool fPanning = false;
    bool fPanMoved = false;
    QPoint fPanStart;
    QCPRange fPanRanges[3];

    // Zoom animation.
    QTimer fZoomTimer;
    int fZoomStep = 0;
    QCPRange fZoomFrom[3];
    QCPRange fZoomTo[3];

    // Coalesced repaints.
    QTimer fReplotTimer;
    bool fReplotPending = false;
};
