#pragma once
// Geometry of the round gauge on a surface of W x H pixels, free of widgets.
#include <QPoint>

namespace gauge {

enum TStyle { LeftStyle, RightStyle, CenterStyle };
enum TAntialiased { aaNone, aaBiline, aaTriline, aaQuadral };

// Supersampling factor k: 1, 2, 3 or 4.
int ScaleFactor(TAntialiased antiAliased);

struct Geometry
{
    int W = 0;
    int H = 0;
    int M = 0;          // margin x k
    double theta0 = 0;  // start angle in degrees; 0 left of the centre, 90 above it
    int cx = 0;
    double cxf = 0;
    int cy = 0;
    int R = 0;          // scale radius, never negative
    int angle = 0;      // sweep in degrees, reduced to 90 for the side styles
};

// `angle` is the stored sweep; the result's `angle` is what it must become.
Geometry ComputeGeometry(int W, int H, int margin, int k, TStyle style, int angle);

// Point at angle phi (degrees) and distance r from the centre.
QPoint PointAt(const Geometry &g, double phi, double r);

// Angle of a value on the scale; an empty scale puts every value at its start.
double ValueAngle(const Geometry &g, double value, double scaleMin, double scaleMax);

// The same, kept within the scale's sweep.
double ValueAngleOnScale(const Geometry &g, double value, double scaleMin, double scaleMax);

// An arc of the scale circle between two angles, in the 1/16 degree units of QPainter::drawArc
// (0 at three o'clock, counter-clockwise positive). Zero span: nothing to draw.
struct ArcAngles
{
    int start16 = 0;
    int span16 = 0;
};
ArcAngles ArcBetween(double phi1, double phi2);

} // namespace gauge
