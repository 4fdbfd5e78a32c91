#include "views/instruments/gauge_geometry.h"
#include "views/instruments/round_half_even.h"

#include <gtest/gtest.h>
#include <climits>
#include <cmath>
#include <limits>

namespace {

struct GeometryCase
{
    const char *what;
    int W;
    int H;
    int k;
    gauge::TStyle style;
    int angle;
    double theta0;
    int cx;
    double cxf;
    int R;
    int cy;
    int angleAfter;
};

class GaugeGeometry : public ::testing::TestWithParam<GeometryCase>
{
};

TEST_P(GaugeGeometry, PlacesCentreAndRadius)
{
    const GeometryCase &c = GetParam();
    const gauge::Geometry g = gauge::ComputeGeometry(c.W, c.H, 10, c.k, c.style, c.angle);
    EXPECT_DOUBLE_EQ(g.theta0, c.theta0) << c.what;
    EXPECT_EQ(g.cx, c.cx) << c.what;
    EXPECT_DOUBLE_EQ(g.cxf, c.cxf) << c.what;
    EXPECT_EQ(g.R, c.R) << c.what;
    EXPECT_EQ(g.cy, c.cy) << c.what;
    EXPECT_EQ(g.angle, c.angleAfter) << c.what;
    EXPECT_EQ(g.M, 10 * c.k) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Styles, GaugeGeometry,
    ::testing::Values(
        // 156.5 and 349.5 both go to the even neighbour.
        GeometryCase{"main gauge, k = 1", 313, 530, 1, gauge::CenterStyle, 120, 30.0, 156, 156.5, 169, 350, 120},
        GeometryCase{"main gauge, k = 4", 1252, 2120, 4, gauge::CenterStyle, 120, 30.0, 626, 626.0, 677, 1398, 120},
        GeometryCase{"main gauge, k = 2", 626, 1060, 2, gauge::CenterStyle, 120, 30.0, 313, 313.0, 338, 699, 120},
        GeometryCase{"initial size", 225, 180, 1, gauge::CenterStyle, 120, 30.0, 112, 112.5, 118, 149, 120},
        GeometryCase{"radius capped by the height", 313, 100, 1, gauge::CenterStyle, 120, 30.0, 156, 156.5, 80, 90,
                     120},
        GeometryCase{"half circle", 225, 180, 1, gauge::CenterStyle, 180, 0.0, 112, 112.5, 102, 90, 180},
        GeometryCase{"full circle", 225, 180, 1, gauge::CenterStyle, 360, -90.0, 112, 112.5, 102, 90, 360},
        GeometryCase{"left style reduces the sweep", 225, 180, 1, gauge::LeftStyle, 120, 90.0, 10, 10.0, 205, 170,
                     90},
        GeometryCase{"right style reduces the sweep", 225, 180, 1, gauge::RightStyle, 120, 0.0, 215, 215.0, 205, 170,
                     90},
        GeometryCase{"left style keeps a small sweep", 225, 180, 1, gauge::LeftStyle, 60, 90.0, 10, 10.0, 205, 170,
                     60},
        GeometryCase{"margins wider than the surface", 60, 50, 4, gauge::CenterStyle, 120, 30.0, 30, 30.0, 0, 25,
                     120}));

TEST(GaugeScaleFactor, IsOneToFour)
{
    EXPECT_EQ(gauge::ScaleFactor(gauge::aaNone), 1);
    EXPECT_EQ(gauge::ScaleFactor(gauge::aaBiline), 2);
    EXPECT_EQ(gauge::ScaleFactor(gauge::aaTriline), 3);
    EXPECT_EQ(gauge::ScaleFactor(gauge::aaQuadral), 4);
}

TEST(GaugePoint, ZeroIsLeftNinetyAboveHundredEightyRight)
{
    gauge::Geometry g;
    g.cxf = 100.5;
    g.cy = 100;
    EXPECT_EQ(gauge::PointAt(g, 0.0, 50.0), QPoint(50, 100));   // 50.5 to even
    EXPECT_EQ(gauge::PointAt(g, 90.0, 50.0), QPoint(100, 50));
    EXPECT_EQ(gauge::PointAt(g, 180.0, 50.0), QPoint(150, 100)); // 150.5 to even
    EXPECT_EQ(gauge::PointAt(g, 45.0, 0.0), QPoint(100, 100));
}

TEST(GaugeValueAngle, RunsFromTheStartOfTheScaleToItsEnd)
{
    const gauge::Geometry g = gauge::ComputeGeometry(313, 530, 10, 1, gauge::CenterStyle, 120);
    EXPECT_DOUBLE_EQ(gauge::ValueAngle(g, 0.0, 0.0, 10.0), 30.0);
    EXPECT_DOUBLE_EQ(gauge::ValueAngle(g, 10.0, 0.0, 10.0), 150.0);
    EXPECT_DOUBLE_EQ(gauge::ValueAngle(g, 5.0, 0.0, 10.0), 90.0);
    EXPECT_DOUBLE_EQ(gauge::ValueAngle(g, 12.0, 0.0, 10.0), 174.0);
    // ScaleMin at the upper left of the arc, ScaleMax at its upper right.
    const QPoint start = gauge::PointAt(g, gauge::ValueAngle(g, 0.0, 0.0, 10.0), g.R);
    const QPoint end = gauge::PointAt(g, gauge::ValueAngle(g, 10.0, 0.0, 10.0), g.R);
    EXPECT_LT(start.x(), g.cx);
    EXPECT_GT(end.x(), g.cx);
    EXPECT_LT(start.y(), g.cy);
    EXPECT_EQ(start.y(), end.y());
}

TEST(GaugeValueAngle, EmptyScalePutsEveryValueAtTheStart)
{
    const gauge::Geometry g = gauge::ComputeGeometry(313, 530, 10, 1, gauge::CenterStyle, 120);
    EXPECT_DOUBLE_EQ(gauge::ValueAngle(g, 7.0, 5.0, 5.0), 30.0);
}

TEST(GaugeValueAngle, OnScaleStaysWithinTheSweep)
{
    const gauge::Geometry g = gauge::ComputeGeometry(313, 530, 10, 1, gauge::CenterStyle, 120);
    EXPECT_DOUBLE_EQ(gauge::ValueAngleOnScale(g, 12.0, 0.0, 10.0), 150.0);
    EXPECT_DOUBLE_EQ(gauge::ValueAngleOnScale(g, -3.0, 0.0, 10.0), 30.0);
    EXPECT_DOUBLE_EQ(gauge::ValueAngleOnScale(g, 2.5, 0.0, 10.0), 60.0);
}

TEST(GaugeArc, RunsCounterClockwiseFromTheLargerAngle)
{
    // From 150 (right) down to 30 (left), over the top: screen angles 30 … 150.
    const gauge::ArcAngles arc = gauge::ArcBetween(150.0, 30.0);
    EXPECT_EQ(arc.start16, 30 * 16);
    EXPECT_EQ(arc.span16, 120 * 16);
    const gauge::ArcAngles same = gauge::ArcBetween(30.0, 150.0);
    EXPECT_EQ(same.start16, arc.start16);
    EXPECT_EQ(same.span16, arc.span16);
    EXPECT_EQ(gauge::ArcBetween(66.0, 66.0).span16, 0);
}

struct RoundCase
{
    double x;
    int expected;
};

class RoundingHalfEven : public ::testing::TestWithParam<RoundCase>
{
};

TEST_P(RoundingHalfEven, GoesToTheNearestOrEvenInteger)
{
    EXPECT_EQ(RoundHalfEven(GetParam().x), GetParam().expected) << GetParam().x;
}

INSTANTIATE_TEST_SUITE_P(
    Values, RoundingHalfEven,
    ::testing::Values(RoundCase{156.5, 156}, RoundCase{349.5, 350}, RoundCase{1398.5, 1398}, RoundCase{2.4999, 2},
                      RoundCase{2.5001, 3}, RoundCase{-0.5, 0}, RoundCase{-1.5, -2}, RoundCase{-2.7, -3},
                      RoundCase{std::numeric_limits<double>::quiet_NaN(), 0}, RoundCase{1e300, INT_MAX},
                      RoundCase{-1e300, INT_MIN}));

} // namespace
