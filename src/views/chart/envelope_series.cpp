#include "views/chart/envelope_series.h"

#include "views/chart/chart_envelope.h"

TEnvelopeSeries::TEnvelopeSeries(QCPAxis *keyAxis, QCPAxis *valueAxis,
                                 std::shared_ptr<const TMeasurementStore> store, int series)
    : QCPAbstractPlottable(keyAxis, valueAxis), fStore(std::move(store)), fSeries(series)
{
    setSelectable(QCP::stNone);
}

double TEnvelopeSeries::selectTest(const QPointF &, bool, QVariant *) const
{
    return -1;
}

QCPRange TEnvelopeSeries::getKeyRange(bool &foundRange, QCP::SignDomain) const
{
    foundRange = fStore && !fStore->empty();
    if (!foundRange)
        return {};
    return QCPRange(fStore->key(0), fStore->key(fStore->size() - 1));
}

QCPRange TEnvelopeSeries::getValueRange(bool &foundRange, QCP::SignDomain inSignDomain,
                                        const QCPRange &inKeyRange) const
{
    foundRange = false;
    if (!fStore || fStore->empty())
        return {};
    std::size_t first = 0, last = fStore->size();
    if (inKeyRange != QCPRange()) {
        first = fStore->lower_bound(inKeyRange.lower);
        last = std::max(first, fStore->lower_bound(std::nextafter(inKeyRange.upper, HUGE_VAL)));
    }
    const MinMax range = fStore->extremes(fSeries, first, last);
    if (range.empty() || (inSignDomain == QCP::sdPositive && range.max <= 0) ||
        (inSignDomain == QCP::sdNegative && range.min >= 0))
        return {};
    foundRange = true;
    return QCPRange(range.min, range.max);
}

QPointF TEnvelopeSeries::point(std::size_t row) const
{
    return {mKeyAxis->coordToPixel(fStore->key(row)), mValueAxis->coordToPixel(fStore->value(fSeries, row))};
}

void TEnvelopeSeries::draw(QCPPainter *painter)
{
    if (!fStore || fStore->empty() || !mKeyAxis || !mValueAxis)
        return;
    const QCPRange view = mKeyAxis->range();
    const QRect rect = mKeyAxis->axisRect()->rect();
    const int width = rect.width();
    const chart_envelope::Rows rows = chart_envelope::visible_rows(*fStore, view.lower, view.upper, width);
    // The rows beside the view, so that the line runs on to its edges.
    const std::size_t before = rows.first > 0 ? rows.first - 1 : rows.first;
    const std::size_t after = std::min(rows.last + 1, fStore->size());
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->setBrush(Qt::NoBrush);
    const bool envelope = rows.last - rows.first > std::size_t(2 * width);
    if (!envelope) {
        QVector<QPointF> line, all;
        line.reserve(int(after - before));
        all.reserve(int(after - before));
        for (std::size_t row = before; row < after; ++row) {
            // A new run starts a new line.
            if (row > before && !fStore->joined(row - 1, row)) {
                if (line.size() > 1)
                    painter->drawPolyline(line.constData(), int(line.size()));
                line.clear();
            }
            line.append(point(row));
            all.append(line.back());
        }
        if (line.size() > 1)
            painter->drawPolyline(line.constData(), int(line.size()));
        if (!fScatter.isNone()) {
            applyScattersAntialiasingHint(painter);
            fScatter.applyTo(painter, mPen);
            for (const QPointF &p : all)
                fScatter.drawShape(painter, p);
        }
        return;
    }
    // Separate strokes: one polyline of thousands of zig-zags makes the stroker's joins slow.
    const auto columns = chart_envelope::columns(*fStore, fSeries, view.lower, view.upper, width);
    QVector<QLineF> lines;
    lines.reserve(int(2 * columns.size() + 2));
    QPointF previous = before < rows.first ? point(before) : QPointF();
    bool joined = before < rows.first;
    std::size_t previousRow = before;
    for (const chart_envelope::Column &c : columns) {
        const double x = rect.left() + c.pixel + 0.5;
        const QPointF first(x, mValueAxis->coordToPixel(fStore->value(fSeries, c.first)));
        if (joined && fStore->joined(previousRow, c.first))
            lines.append(QLineF(previous, first));
        lines.append(QLineF(x, mValueAxis->coordToPixel(c.extremes.min), x, mValueAxis->coordToPixel(c.extremes.max)));
        previous = QPointF(x, mValueAxis->coordToPixel(fStore->value(fSeries, c.last - 1)));
        previousRow = c.last - 1;
        joined = true;
    }
    if (rows.last < after && fStore->joined(previousRow, rows.last))
        lines.append(QLineF(previous, point(rows.last)));
    painter->drawLines(lines);
}

void TEnvelopeSeries::drawLegendIcon(QCPPainter *painter, const QRectF &rect) const
{
    applyDefaultAntialiasingHint(painter);
    painter->setPen(mPen);
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}
