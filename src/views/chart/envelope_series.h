#pragma once
// A line series of the chart that draws from the run's measurement store: where a pixel column
// holds many rows it draws their lowest to highest value, so the cost follows the pixels and
// every peak stays visible; where there is room it draws the rows themselves with their point
// markers. Zoom, pan and axes stay the chart's business. User-interface thread only.
#include "views/chart/measurement_store.h"

#include <memory>
#include <qcustomplot.h>

class TEnvelopeSeries : public QCPAbstractPlottable
{
    Q_OBJECT
public:
    // The chart owns the series; `series` picks the store's column.
    TEnvelopeSeries(QCPAxis *keyAxis, QCPAxis *valueAxis, std::shared_ptr<const TMeasurementStore> store,
                    int series);

    void set_store(std::shared_ptr<const TMeasurementStore> store) { fStore = std::move(store); }
    const QCPScatterStyle &scatterStyle() const { return fScatter; }
    void setScatterStyle(const QCPScatterStyle &style) { fScatter = style; }

    int dataCount() const { return fStore ? int(fStore->size()) : 0; }
    double key_at(int i) const { return fStore->key(std::size_t(i)); }
    double value_at(int i) const { return fStore->value(fSeries, std::size_t(i)); }

    double selectTest(const QPointF &pos, bool onlySelectable, QVariant *details = nullptr) const override;
    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
                           const QCPRange &inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter *painter) override;
    void drawLegendIcon(QCPPainter *painter, const QRectF &rect) const override;

private:
    QPointF point(std::size_t row) const;

    std::shared_ptr<const TMeasurementStore> fStore;
    int fSeries;
    QCPScatterStyle fScatter;
};
