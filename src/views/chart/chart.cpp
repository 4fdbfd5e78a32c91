#include "views/chart/chart.h"

#include "views/chart/chart_gradient.h"
#include "views/chart/chart_tickers.h"
#include "views/chart/chart_time.h"
#include "views/chart/envelope_series.h"
#include "views/chart/measurement_store.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QMenu>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Design colours of the value axes: axis line and grid.
constexpr TColor LeftAxisColor = 0xC08000;
constexpr TColor LeftGridColor = 0xFFD784;
constexpr TColor RightAxisColor = 0x4080FF;
constexpr TColor RightGridColor = 0x91B5FF;

constexpr int ZoomSteps = 16;
constexpr int ZoomStepMs = 12;
// Repaint pacing: about the screen's rate, slower while a repaint takes long (many points).
constexpr int MinFrameMs = 25;
constexpr int MaxFrameMs = 400;
// The shortest time span the bottom axis shows: one second.
constexpr double MinTimeSpan = 1.0 / 86400.0;
// The gradient is drawn once at this size and stretched over the chart.
constexpr int GradientPictureSize = 256;

QColor qcolor(TColor color)
{
    return TColorToQColor(color);
}

} // namespace

TChart::TChart(QWidget *parent)
    : QCustomPlot(parent),
      fStore(std::make_shared<TMeasurementStore>()),
      fTimeTicker(new TTimeTicker),
      fLeftTicker(new TValueTicker),
      fRightTicker(new TValueTicker)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAntialiasedElements(QCP::aePlottables | QCP::aeAxes | QCP::aeGrid);
    setNoAntialiasingOnDrag(true);
    setPlottingHint(QCP::phCacheLabels, true);
    legend->setVisible(false);
    setSelectionRectMode(QCP::srmCustom);
    setInteractions(QCP::Interactions());

    xAxis->setTicker(fTimeTicker);
    yAxis->setTicker(fLeftTicker);
    yAxis2->setTicker(fRightTicker);
    yAxis->setLabel(QStringLiteral("Pressure [bar]"));
    yAxis2->setLabel(QStringLiteral("Temperature [°C]"));
    yAxis2->setVisible(true);
    yAxis2->setTickLabels(true);
    xAxis2->setVisible(false);
    xAxis->setRange(0.0, 10 * MinTimeSpan);
    yAxis->setRange(0.0, 1.0);
    yAxis2->setRange(0.0, 30.0);
    for (QCPAxis *axis : all_axes())
        axis->grid()->setSubGridVisible(false);

    TChartProps design;
    design.left.axis_color = LeftAxisColor;
    design.left.grid_color = LeftGridColor;
    design.right.axis_color = RightAxisColor;
    design.right.grid_color = RightGridColor;
    set_props(design);

    fZoomTimer.setInterval(ZoomStepMs);
    connect(&fZoomTimer, &QTimer::timeout, this, &TChart::zoom_step);
    fReplotTimer.setSingleShot(true);
    fReplotTimer.setInterval(MinFrameMs);
    connect(&fReplotTimer, &QTimer::timeout, this, &TChart::replot_tick);
    connect(this, &QCustomPlot::beforeReplot, this, &TChart::prepare_replot);
    connect(selectionRect(), &QCPSelectionRect::accepted, this, [this](const QRect &rect, QMouseEvent *) {
        // Dragged to the left: back to the whole view.
        if (rect.width() < 0)
            undo_zoom();
        else
            zoom_to(rect.normalized());
    });
}

TChart::~TChart() = default;

void TChart::init_series(TColor pressure, TColor temperature)
{
    clearPlottables();
    const struct {
        const char *name;
        QCPAxis *axis;
        int column;
    } series[] = {{"Pressure", yAxis, TMeasurementStore::Pressure},
                  {"Temperature", yAxis2, TMeasurementStore::Temperature}};
    for (const auto &s : series) {
        // The chart takes the series as its own.
        auto *line = new TEnvelopeSeries(xAxis, s.axis, fStore, s.column);
        line->setName(QString::fromLatin1(s.name));
    }
    set_series_color(PressureSeries, pressure);
    set_series_color(TemperatureSeries, temperature);
    request_replot();
}

TEnvelopeSeries *TChart::series(int index) const
{
    return index >= 0 && index < plottableCount() ? qobject_cast<TEnvelopeSeries *>(mPlottables.at(index)) : nullptr;
}

void TChart::set_series_color(int index, TColor color)
{
    TEnvelopeSeries *line = series(index);
    if (!line)
        return;
    line->setPen(QPen(qcolor(color), 2));
    line->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssSquare, qcolor(color), qcolor(color), 1));
    request_replot();
}

int TChart::point_count(int index) const
{
    return series(index) ? int(fStore->size()) : 0;
}

void TChart::set_store(std::shared_ptr<TMeasurementStore> store)
{
    fStore = std::move(store);
    for (int i = 0; i < plottableCount(); ++i)
        if (TEnvelopeSeries *line = series(i))
            line->set_store(fStore);
    points_added();
}

void TChart::add_point(std::int64_t elapsed_ms, const TMeasurementStore::Reading &reading)
{
    if (!series(PressureSeries) || !series(TemperatureSeries))
        return;
    fStore->append(0, elapsed_ms, reading);
    points_added();
}

void TChart::points_added()
{
    follow_time();
    request_replot();
}

void TChart::break_line()
{
    fStore->break_line();
}

void TChart::clear_series()
{
    fStore->clear();
    follow_time();
    request_replot();
}

// The bottom axis scales itself to the points unless the user zoomed or panned.
void TChart::follow_time()
{
    if (!fAuto[0])
        return;
    if (!series(PressureSeries) || fStore->empty())
        return;
    const double first = fStore->key(0);
    const double last = fStore->key(fStore->size() - 1);
    xAxis->setRange(first, std::max(last, first + MinTimeSpan));
}

int TChart::axis_slot(QCPAxis *axis) const
{
    return axis == xAxis ? 0 : axis == yAxis ? 1 : axis == yAxis2 ? 2 : -1;
}

TValueTicker *TChart::value_ticker(QCPAxis *axis) const
{
    return axis == yAxis ? fLeftTicker.data() : axis == yAxis2 ? fRightTicker.data() : nullptr;
}

void TChart::set_axis_range(QCPAxis *axis, double min, double max)
{
    const int slot = axis_slot(axis);
    if (slot < 0)
        return;
    fAuto[slot] = false;
    if (!(max - min > std::max(std::fabs(min), std::fabs(max)) * 1e-12)) {
        // Equal limits have no height to draw: show a little around the value.
        const double centre = (min + max) / 2;
        const double half = std::max(std::fabs(centre) * 0.05, 1e-3);
        min = centre - half;
        max = centre + half;
    }
    axis->setRange(min, max);
    request_replot();
}

void TChart::set_auto_scaling(QCPAxis *axis, bool on)
{
    const int slot = axis_slot(axis);
    if (slot < 0)
        return;
    fAuto[slot] = on;
    if (slot == 0)
        follow_time();
    request_replot();
}

bool TChart::auto_scaling(QCPAxis *axis) const
{
    const int slot = axis_slot(axis);
    return slot >= 0 && fAuto[slot];
}

void TChart::set_value_format(QCPAxis *axis, const QString &format)
{
    if (TValueTicker *ticker = value_ticker(axis))
        ticker->set_format(format);
    request_replot();
}

QString TChart::value_format(QCPAxis *axis) const
{
    const TValueTicker *ticker = value_ticker(axis);
    return ticker ? ticker->format() : QString();
}

void TChart::set_label_step(QCPAxis *axis, double increment)
{
    if (TValueTicker *ticker = value_ticker(axis))
        ticker->set_increment(increment);
    request_replot();
}

void TChart::set_grid_visible(QCPAxis *axis, bool visible)
{
    axis->grid()->setVisible(visible);
    request_replot();
}

void TChart::set_label_hook(LabelHook hook)
{
    for (QCPAxis *axis : {yAxis, yAxis2}) {
        if (!hook) {
            value_ticker(axis)->set_hook(nullptr);
            continue;
        }
        value_ticker(axis)->set_hook([hook, axis](const QString &label) { return hook(axis, label); });
    }
}

int TChart::reserved_label_width(QCPAxis *axis) const
{
    const int slot = axis_slot(axis);
    return slot > 0 ? fReserved[slot] : 0;
}

void TChart::reserve_label_width(QCPAxis *axis, int width)
{
    const int slot = axis_slot(axis);
    if (slot <= 0 || width <= fReserved[slot])
        return;
    fReserved[slot] = width;
    // Everything else the axis needs beside its labels: ticks, paddings and its title.
    int margin = axis->offset() + std::max(axis->tickLengthOut(), axis->subTickLengthOut()) +
                 axis->tickLabelPadding() + width + axis->padding();
    if (!axis->label().isEmpty())
        margin += axis->labelPadding() + QFontMetrics(axis->labelFont()).height();
    QMargins minimum = axisRect()->minimumMargins();
    if (axis == yAxis)
        minimum.setLeft(margin);
    else
        minimum.setRight(margin);
    axisRect()->setMinimumMargins(minimum);
}

void TChart::apply_axis_props(QCPAxis *axis, const TAxisProps &props)
{
    const int width = std::clamp(props.axis_width, 1, 20);
    axis->setBasePen(QPen(qcolor(props.axis_color), width, Qt::SolidLine, Qt::SquareCap));
    axis->setTickPen(QPen(qcolor(props.ticks_color), 1));
    axis->setSubTickPen(QPen(qcolor(props.ticks_color), 1));
    axis->setTickLabelColor(qcolor(props.labels_color));
    axis->grid()->setPen(QPen(qcolor(props.grid_color), 1, Qt::DotLine));
}

TChartProps TChart::props() const
{
    return fProps;
}

void TChart::set_props(const TChartProps &props)
{
    fProps = props;
    for (TAxisProps *axis : {&fProps.left, &fProps.bottom, &fProps.right})
        axis->axis_width = std::clamp(axis->axis_width, 1, 20);
    apply_axis_props(yAxis, fProps.left);
    apply_axis_props(xAxis, fProps.bottom);
    apply_axis_props(yAxis2, fProps.right);
    apply_background();
    request_replot();
}

void TChart::apply_background()
{
    if (fProps.gradient) {
        const chart_gradient::Colors colors{fProps.gradient_start, fProps.gradient_middle, fProps.gradient_end};
        const QImage picture = chart_gradient::image(QSize(GradientPictureSize, GradientPictureSize), colors,
                                                     fProps.gradient_direction);
        setBackground(QBrush(Qt::NoBrush));
        setBackground(QPixmap::fromImage(picture), true, Qt::IgnoreAspectRatio);
    } else {
        setBackground(QPixmap());
        setBackground(QBrush(qcolor(fProps.back_color)));
    }
}

void TChart::set_zoom_allowed(bool allowed)
{
    fZoomAllowed = allowed;
    setSelectionRectMode(allowed ? QCP::srmCustom : QCP::srmNone);
}

// The view before the user first zoomed or panned, to come back to.
void TChart::keep_view()
{
    if (fSaved.valid)
        return;
    fSaved.valid = true;
    const QList<QCPAxis *> axes = all_axes();
    for (int i = 0; i < 3; ++i)
        fSaved.axes[i] = {axes[i]->range(), fAuto[i]};
    std::fill(std::begin(fAuto), std::end(fAuto), false);
}

void TChart::zoom_to(const QRect &rect)
{
    if (!fZoomAllowed || rect.width() < 3 || rect.height() < 3)
        return;
    keep_view();
    const QList<QCPAxis *> axes = all_axes();
    for (int i = 0; i < 3; ++i) {
        QCPAxis *axis = axes[i];
        const bool horizontal = axis->orientation() == Qt::Horizontal;
        const double a = axis->pixelToCoord(horizontal ? rect.left() : rect.bottom());
        const double b = axis->pixelToCoord(horizontal ? rect.right() : rect.top());
        fZoomFrom[i] = axis->range();
        fZoomTo[i] = QCPRange(std::min(a, b), std::max(a, b));
    }
    fZoomStep = 0;
    fZoomTimer.start();
}

void TChart::zoom_step()
{
    ++fZoomStep;
    const double f = double(fZoomStep) / ZoomSteps;
    const QList<QCPAxis *> axes = all_axes();
    for (int i = 0; i < 3; ++i) {
        const QCPRange &from = fZoomFrom[i], &to = fZoomTo[i];
        axes[i]->setRange(from.lower + (to.lower - from.lower) * f, from.upper + (to.upper - from.upper) * f);
    }
    if (fZoomStep >= ZoomSteps)
        fZoomTimer.stop();
    replot();
}

void TChart::undo_zoom()
{
    fZoomTimer.stop();
    if (!fSaved.valid)
        return;
    const QList<QCPAxis *> axes = all_axes();
    for (int i = 0; i < 3; ++i) {
        axes[i]->setRange(fSaved.axes[i].range);
        fAuto[i] = fSaved.axes[i].auto_scaling;
    }
    fSaved.valid = false;
    follow_time();
    request_replot();
}

void TChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::RightButton) {
        QCustomPlot::mousePressEvent(event);
        return;
    }
    emit mousePress(event);
    fPanning = true;
    fPanMoved = false;
    fPanStart = event->pos();
    const QList<QCPAxis *> axes = all_axes();
    for (int i = 0; i < 3; ++i)
        fPanRanges[i] = axes[i]->range();
}

void TChart::mouseMoveEvent(QMouseEvent *event)
{
    if (!fPanning) {
        QCustomPlot::mouseMoveEvent(event);
        return;
    }
    emit mouseMove(event);
    const QPoint now = event->pos();
    if (!fPanMoved && (now - fPanStart).manhattanLength() < QApplication::startDragDistance())
        return;
    fPanMoved = true;
    if (now != fPanStart)
        keep_view();
    const QList<QCPAxis *> axes = all_axes();
    for (int i = 0; i < 3; ++i) {
        QCPAxis *axis = axes[i];
        if (!fPan.testFlag(axis->orientation()))
            continue;
        const bool horizontal = axis->orientation() == Qt::Horizontal;
        axis->setRange(fPanRanges[i]);
        const double shift = axis->pixelToCoord(horizontal ? fPanStart.x() : fPanStart.y()) -
                             axis->pixelToCoord(horizontal ? now.x() : now.y());
        axis->setRange(fPanRanges[i].lower + shift, fPanRanges[i].upper + shift);
    }
    request_replot();
}

void TChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton && fPanning) {
        fPanning = false;
        emit mouseRelease(event);
        if (!fPanMoved)
            show_context_menu(event->globalPosition().toPoint());
        return;
    }
    QCustomPlot::mouseReleaseEvent(event);
}

void TChart::contextMenuEvent(QContextMenuEvent *event)
{
    // A press of the right button may still become a pan: its release opens the menu.
    event->accept();
    if (event->reason() != QContextMenuEvent::Mouse)
        show_context_menu(event->globalPos());
}

void TChart::show_context_menu(const QPoint &globalPos)
{
    if (actions().isEmpty())
        return;
    auto *menu = new QMenu(this); // owned by the chart, gone once closed
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->addActions(actions());
    menu->popup(globalPos);
}

void TChart::enterEvent(QEnterEvent *event)
{
    QCustomPlot::enterEvent(event);
    emit mouse_entered();
}

void TChart::showEvent(QShowEvent *event)
{
    QCustomPlot::showEvent(event);
    if (fReplotPending)
        fReplotTimer.start(0);
}

void TChart::request_replot()
{
    fReplotPending = true;
    if (!fReplotTimer.isActive() && isVisible())
        fReplotTimer.start();
}

void TChart::flush_replot()
{
    if (fReplotPending)
        replot_tick();
}

void TChart::replot_tick()
{
    fReplotTimer.stop();
    if (!isVisible() || !fReplotPending)
        return;
    QElapsedTimer took;
    took.start();
    replot(QCustomPlot::rpQueuedRefresh);
    fReplotPending = false;
    // Leave the main thread at least twice the repaint's time for everything else.
    fReplotTimer.setInterval(std::clamp(int(3 * took.elapsed()), MinFrameMs, MaxFrameMs));
}

bool TChart::paint_picture(QPaintDevice &device, const QSize &size, bool vector)
{
    QCPPainter painter;
    if (size.isEmpty() || !painter.begin(&device))
        return false;
    painter.setMode(QCPPainter::pmNoCaching);
    painter.setMode(QCPPainter::pmVectorized, vector);
    const QRect picture(QPoint(0, 0), size);
    // A page is only about as large as the picture: whole points, not whole pixels.
    if (vector)
        painter.setWindow(picture);
    // What the screen's size set, to be put back as it was.
    const QRect screen = viewport();
    const int offset = xAxis->offset();
    const int labels[] = {fTimeTicker->max_labels(), fLeftTicker->max_labels(), fRightTicker->max_labels()};
    setViewport(picture);
    // Label counts and the time axis's offset follow the picture's size, as a replot does.
    updateLayout();
    prepare_replot();
    if (mBackgroundBrush.style() != Qt::NoBrush)
        painter.fillRect(picture, mBackgroundBrush);
    draw(&painter);
    const bool painted = painter.end();
    setViewport(screen);
    xAxis->setOffset(offset);
    fTimeTicker->set_max_labels(labels[0]);
    fLeftTicker->set_max_labels(labels[1]);
    fRightTicker->set_max_labels(labels[2]);
    updateLayout();
    return painted;
}

// Runs inside every replot, before the axes make their ticks.
void TChart::prepare_replot()
{
    if (fAuto[1])
        yAxis->rescale();
    if (fAuto[2])
        yAxis2->rescale();
    const QFontMetrics metrics(yAxis->tickLabelFont());
    const int height = std::max(axisRect()->height(), 1);
    fLeftTicker->set_max_labels(std::max(2, height / (2 * metrics.height())));
    fRightTicker->set_max_labels(std::max(2, height / (2 * metrics.height())));
    const int label_width = QFontMetrics(xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("00:00:00.000 "));
    fTimeTicker->set_max_labels(std::max(2, axisRect()->width() / label_width));
    // The bottom axis line lies 2 % of the plot height below the plot.
    xAxis->setOffset(int(height * 0.02));
}
