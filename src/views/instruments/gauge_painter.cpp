#include "views/instruments/gauge_painter.h"

#include "views/instruments/font_size.h"
#include "services/utils/ZUtils.h"
#include "views/instruments/round_half_even.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>
#include <cstdint>

namespace gauge {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;
constexpr int kTextPrecision = 12;
// More ticks than this would only blacken the scale (and take ages).
constexpr std::int64_t kMaxTicks = 100000;

QFont ScaledFont(const QFont &font, int k) { return WithPixelHeight(font, FontPixelHeight(font) * k); }

QPen LinePen(TColor colour, int width, Qt::PenCapStyle cap = Qt::RoundCap)
{
    return QPen(TColorToQColor(colour), width, Qt::SolidLine, cap, Qt::RoundJoin);
}

// Text with its top-left corner at (x, y); returns the painted area.
QRect DrawTextAt(QPainter &painter, int x, int y, const QString &text, TColor colour, const TColor *background)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
    if (background)
        painter.fillRect(cell, TColorToQColor(*background));
    painter.setPen(TColorToQColor(colour));
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    return cell.united(metrics.boundingRect(text).translated(x, y + metrics.ascent()));
}

// Top-left corner of a text centred horizontally on the point halfway out along the middle direction.
QPoint MiddleTextOrigin(const Geometry &g, const QFontMetrics &metrics, const QString &text)
{
    const double phiMiddle = (g.theta0 + g.angle / 2.0) * kDegree;
    const int x = RoundHalfEven(g.cxf - std::cos(phiMiddle) * g.R / 2.0) - metrics.horizontalAdvance(text) / 2;
    const int y = RoundHalfEven(g.cy - std::sin(phiMiddle) * g.R / 2.0);
    return QPoint(x, y);
}

void DrawFrame(QPainter &painter, const GaugeProperties &p, const Geometry &g, int k)
{
    const int W = g.W;
    const int H = g.H;
    if (p.FaceOptions.Has(Show3D)) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(LinePen(kButtonShadow, 2 * k, Qt::SquareCap));
        painter.drawPolyline(QPolygon({QPoint(W, 0), QPoint(0, 0), QPoint(0, H)}));
        painter.setPen(LinePen(kButtonHighlight, 2 * k, Qt::SquareCap));
        painter.drawPolyline(QPolygon({QPoint(0, H), QPoint(W, H), QPoint(W, 0)}));
        return;
    }
    // The whole pen width lies inside the surface.
    painter.setPen(QPen(TColorToQColor(kButtonText), k, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(TColorToQColor(p.colours.FaceColor));
    painter.drawRect(QRectF(k / 2.0, k / 2.0, W - k, H - k));
}

void DrawRangeArc(QPainter &painter, const Geometry &g, int k, TColor colour, int widthFactor, double phi1, double phi2)
{
    const ArcAngles arc = ArcBetween(phi1, phi2);
    if (arc.span16 == 0 || widthFactor <= 0)
        return;
    painter.setPen(LinePen(colour, 4 * k * std::min(widthFactor, 100), Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(g.cx - g.R, g.cy - g.R, 2.0 * g.R, 2.0 * g.R), arc.start16, arc.span16);
}

void DrawRangeArcs(QPainter &painter, const GaugeProperties &p, const Geometry &g, int k)
{
    const double end = g.theta0 + g.angle;
    const double atMaximum = ValueAngleOnScale(g, p.IndMaximum, p.ScaleMin, p.ScaleMax);
    const double atMinimum = ValueAngleOnScale(g, p.IndMinimum, p.ScaleMin, p.ScaleMax);
    if (p.FaceOptions.Has(ShowIndicatorMax))
        DrawRangeArc(painter, g, k, p.colours.MaxColor, p.IndMaxWidth, end, atMaximum);
    if (p.FaceOptions.Has(ShowIndicatorMid) && p.IndMinimum < p.IndMaximum)
        DrawRangeArc(painter, g, k, p.colours.MidColor, p.IndMidWidth, atMaximum, atMinimum);
    if (p.FaceOptions.Has(ShowIndicatorMin))
        DrawRangeArc(painter, g, k, p.colours.MinColor, p.IndMinWidth, atMinimum, g.theta0);
}

void DrawSubTicks(QPainter &painter, const GaugeProperties &p, const Geometry &g, int k)
{
    const std::int64_t n = static_cast<std::int64_t>(p.NumberMainTicks) * p.NumberMinorTicks;
    if (n <= 0 || n > kMaxTicks)
        return;
    const double inner = g.R - static_cast<double>(p.LengthSubTicks) * k;
    for (std::int64_t i = 0; i <= n; ++i) {
        const double phi = g.theta0 + static_cast<double>(i) * g.angle / static_cast<double>(n);
        painter.drawLine(PointAt(g, phi, inner), PointAt(g, phi, g.R));
    }
}

void DrawMainTicks(QPainter &painter, const GaugeProperties &p, const Geometry &g, int k)
{
    const int n = p.NumberMainTicks;
    if (n <= 0 || n > kMaxTicks)
        return;
    const QPen ticksPen = painter.pen();
    const double inner = g.R - static_cast<double>(p.LengthMainTicks) * k;
    const double circle = static_cast<double>(p.CircleRadius) * k;
    const QChar separator = ZString::LocaleDecimalSeparator();
    for (int i = 0; i <= n; ++i) {
        const double phi = g.theta0 + static_cast<double>(i) * g.angle / n;
        const double value = p.ScaleMin + (p.ScaleMax - p.ScaleMin) * i / n;
        const QPoint onScale = PointAt(g, phi, g.R);
        if (p.FaceOptions.Has(ShowMainTicks))
            painter.drawLine(PointAt(g, phi, inner), onScale);
        if (p.FaceOptions.Has(ShowCircles)) {
            painter.setBrush(TColorToQColor(p.colours.CircleColor));
            painter.drawEllipse(QPointF(onScale), circle, circle);
        }
        if (p.FaceOptions.Has(ShowValues)) {
            const QString label = ZString::FormatFixed(value, p.Digits, kTextPrecision, separator);
            const QString half = QString::number(RoundHalfEven(value / 2.0));
            const int w = painter.fontMetrics().horizontalAdvance(half);
            // The 5 and i are plain pixels, whatever the supersampling.
            const double labelRadius = inner - 5.0;
            const int x = RoundHalfEven(g.cxf - std::cos(phi * kDegree) * (labelRadius - i)) - w;
            const int y = RoundHalfEven(g.cy - std::sin(phi * kDegree) * labelRadius);
            DrawTextAt(painter, x, y, label, p.colours.ValueColor, &p.colours.FaceColor);
            painter.setPen(ticksPen);
        }
    }
}

} // namespace

void DrawFace(QImage &surface, const GaugeProperties &p, const Geometry &g, int k, const QFont &font)
{
    QPainter painter(&surface);
    painter.setFont(ScaledFont(font, k));
    painter.fillRect(surface.rect(), TColorToQColor(p.colours.FaceColor));

    if (p.FaceOptions.Has(ShowFrame))
        DrawFrame(painter, p, g, k);
    if (p.FaceOptions.Has(ShowMargin)) {
        painter.setPen(LinePen(p.colours.MarginColor, k, Qt::SquareCap));
        painter.setBrush(TColorToQColor(p.colours.FaceColor));
        painter.drawRect(QRect(QPoint(g.M, g.M), QPoint(g.W - g.M, g.H - g.M)));
    }
    if (p.FaceOptions.Has(ShowCaption)) {
        const QPoint origin = MiddleTextOrigin(g, painter.fontMetrics(), p.Caption);
        DrawTextAt(painter, origin.x(), origin.y(), p.Caption, p.colours.CaptionColor, &p.colours.FaceColor);
    }
    DrawRangeArcs(painter, p, g, k);

    painter.setPen(LinePen(p.colours.TicksColor, k));
    if (p.FaceOptions.Has(ShowSubTicks))
        DrawSubTicks(painter, p, g, k);
    DrawMainTicks(painter, p, g, k);
}

QRect DrawPointer(QImage &surface, const GaugeProperties &p, const Geometry &g, int k, const QFont &font)
{
    QPainter painter(&surface);
    const QFont scaled = ScaledFont(font, k);
    painter.setFont(scaled);
    const QFontMetrics metrics = painter.fontMetrics();
    const int h = -FontPixelHeight(scaled);
    const int penWidth = ClampArrowWidth(p.ArrowWidth) * k;
    const QPen needlePen = LinePen(p.colours.ArrowColor, penWidth);
    const TColor textBackground = p.colours.FaceColor;
    QRect painted;

    auto middleText = [&](const QString &text, int lines) {
        QPoint origin = MiddleTextOrigin(g, metrics, text);
        painted |= DrawTextAt(painter, origin.x(), origin.y() + lines * h, text, p.colours.CaptionColor,
                              &textBackground);
    };
    auto needleTo = [&](const QPoint &tip) {
        const QPoint centre(g.cx, g.cy);
        painter.setPen(needlePen);
        painter.drawLine(centre, tip);
        painted |= QRect(centre, tip).normalized();
    };

    if (p.FaceOptions.Has(ShowDigital))
        middleText(ZString::FormatFixed(p.Position, p.DigitsDigital, kTextPrecision, ZString::LocaleDecimalSeparator()), 2);
    if (p.Position > p.ScaleMax) {
        needleTo(PointAt(g, g.theta0 + g.angle, g.R));
        middleText(QStringLiteral("OVERFLOW !"), 3);
    }
    if (p.Position < p.ScaleMin) {
        needleTo(PointAt(g, g.theta0, g.R));
        middleText(QStringLiteral("UNDERFLOW !"), 3);
    }
    if (p.ScaleMin <= p.Position && p.Position <= p.ScaleMax)
        needleTo(PointAt(g, ValueAngle(g, p.Position, p.ScaleMin, p.ScaleMax), g.R));
    if (p.FaceOptions.Has(ShowCenter)) {
        const int rd = std::max(p.CenterRadius, 0) * k;
        painter.setPen(needlePen);
        painter.setBrush(TColorToQColor(p.colours.CenterColor));
        painter.drawEllipse(QPoint(g.cx, g.cy), rd, rd);
        painted |= QRect(g.cx - rd, g.cy - rd, 2 * rd + 1, 2 * rd + 1);
    }
    // Pens and glyphs reach a little past the geometric shapes.
    const int reach = penWidth + 2 * k;
    return painted.isNull() ? QRect() : painted.adjusted(-reach, -reach, reach, reach);
}

} // namespace gauge
