#include "views/instruments/gauge_geometry.h"

#include "views/instruments/round_half_even.h"

#include <algorithm>
#include <cmath>

namespace gauge {

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

} // namespace

int ScaleFactor(TAntialiased antiAliased)
{
    switch (antiAliased) {
    case aaBiline:
        return 2;
    case aaTriline:
        return 3;
    case aaQuadral:
        return 4;
    case aaNone:
        break;
    }
    return 1;
}

Geometry ComputeGeometry(int W, int H, int margin, int k, TStyle style, int angle)
{
    Geometry g;
    g.W = W;
    g.H = H;
    g.M = std::clamp(margin, -100000, 100000) * k;
    g.angle = angle;
    const int M = g.M;
    switch (style) {
    case LeftStyle:
    case RightStyle:
        g.theta0 = style == LeftStyle ? 90.0 : 0.0;
        g.cx = style == LeftStyle ? M : W - M;
        g.cxf = g.cx;
        g.cy = H - M;
        g.R = W - 2 * M;
        g.angle = std::min(angle, 90);
        break;
    case CenterStyle:
        g.cx = RoundHalfEven(W / 2.0);
        g.cxf = W / 2.0;
        g.theta0 = (180.0 - angle) / 2.0;
        if (angle < 180) {
            g.R = std::max(std::min(RoundHalfEven(((W - 2.0 * M) / 2.0) / std::cos(g.theta0 * kDegree)), H - 2 * M), 0);
            g.cy = RoundHalfEven(g.R + (H - g.R) / 2.0);
        } else {
            g.R = (W - 2 * M) / 2;
            g.cy = H / 2;
        }
        break;
    }
    g.R = std::max(g.R, 0);
    return g;
}

QPoint PointAt(const Geometry &g, double phi, double r)
{
    return QPoint(RoundHalfEven(g.cxf - r * std::cos(phi * kDegree)), RoundHalfEven(g.cy - r * std::sin(phi * kDegree)));
}

double ValueAngle(const Geometry &g, double value, double scaleMin, double scaleMax)
{
    if (scaleMax == scaleMin)
        return g.theta0;
    return g.theta0 + (value - scaleMin) * g.angle / (scaleMax - scaleMin);
}

double ValueAngleOnScale(const Geometry &g, double value, double scaleMin, double scaleMax)
{
    const double phi = ValueAngle(g, value, scaleMin, scaleMax);
    if (std::isnan(phi))
        return g.theta0;
    return std::clamp(phi, g.theta0, g.theta0 + g.angle);
}

ArcAngles ArcBetween(double phi1, double phi2)
{
    // Screen angle a = 180 - phi; the arc runs counter-clockwise from the larger phi.
    const double from = std::max(phi1, phi2);
    const double span = std::min(std::fabs(phi1 - phi2), 360.0);
    ArcAngles arc;
    arc.start16 = RoundHalfEven((180.0 - from) * 16.0);
    arc.span16 = RoundHalfEven(span * 16.0);
    return arc;
}

} // namespace gauge
