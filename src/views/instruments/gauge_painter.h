#pragma once
// Drawing of the round gauge's face and pointer on a surface of k times the widget's size.
#include "views/instruments/gauge_geometry.h"
#include "views/instruments/gauge_look.h"

#include <QFont>
#include <QImage>
#include <QRect>

namespace gauge {

// `font` is the widget's font at k = 1; it is drawn k times as high.
void DrawFace(QImage &surface, const GaugeProperties &p, const Geometry &g, int k, const QFont &font);

// Returns the area it painted, so that a later pointer can be erased there alone.
QRect DrawPointer(QImage &surface, const GaugeProperties &p, const Geometry &g, int k, const QFont &font);

} // namespace gauge
