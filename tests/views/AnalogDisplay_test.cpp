#include "views/instruments/AnalogDisplay.h"

#include "downsample_reference.h"
#include "main_window_instruments.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPixmap>
#include <cmath>
#include <ostream>
#include <gtest/gtest.h>

namespace {

constexpr double kDegree = 3.14159265358979323846 / 180.0;

QRgb Opaque(QRgb pixel) { return pixel | 0xFF000000u; }

// Point at angle phi and distance r from the centre of a geometry, as the widget computes it.
QPoint Polar(const gauge::Geometry &g, double phi, double r)
{
    return QPoint(static_cast<int>(std::lround(g.cxf - r * std::cos(phi * kDegree))),
                  static_cast<int>(std::lround(g.cy - r * std::sin(phi * kDegree))));
}

// Bounding box of the dark pixels in a part of the picture.
QRect DarkPixels(const QImage &picture, const QRect &area)
{
    QRect box;
    const QRect inside = area & picture.rect();
    for (int y = inside.top(); y <= inside.bottom(); ++y)
        for (int x = inside.left(); x <= inside.right(); ++x)
            if (qGray(picture.pixel(x, y)) < 100)
                box |= QRect(x, y, 1, 1);
    return box;
}

// Whether a pixel within one pixel of the point has the colour (lines are 1 … 2 pixels wide).
bool ColourNear(const QImage &picture, const QPoint &point, QRgb colour)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (Opaque(picture.pixel(point + QPoint(dx, dy))) == colour)
                return true;
    return false;
}

TEST(AnalogDisplayConstruction, StartsWithTheInitialValues)
{
    TAnalogDisplay gauge;
    EXPECT_EQ(gauge.size(), QSize(225, 180));
    EXPECT_EQ(gauge.GetMinColor(), 0x008000u);
    EXPECT_EQ(gauge.GetMidColor(), 0x00FFFFu);
    EXPECT_EQ(gauge.GetMaxColor(), 0x0000FFu);
    EXPECT_EQ(gauge.GetFaceColor(), gauge::kButtonFace);
    EXPECT_EQ(gauge.GetTicksColor(), 0u);
    EXPECT_EQ(gauge.GetValueColor(), 0u);
    EXPECT_EQ(gauge.GetCaptionColor(), 0u);
    EXPECT_EQ(gauge.GetArrowColor(), 0u);
    EXPECT_EQ(gauge.GetMarginColor(), 0u);
    EXPECT_EQ(gauge.GetCenterColor(), 0x808080u);
    EXPECT_EQ(gauge.GetCircleColor(), 0xFF0000u);
    EXPECT_EQ(gauge.GetCenterRadius(), 8);
    EXPECT_EQ(gauge.GetCircleRadius(), 3);
    EXPECT_EQ(gauge.GetAngle(), 120);
    EXPECT_EQ(gauge.GetMargin(), 10);
    EXPECT_EQ(gauge.GetStyle(), gauge::CenterStyle);
    EXPECT_EQ(gauge.GetArrowWidth(), 1);
    EXPECT_EQ(gauge.GetNumberMainTicks(), 10);
    EXPECT_EQ(gauge.GetNumberMinorTicks(), 5);
    EXPECT_EQ(gauge.GetDigits(), 2);
    EXPECT_EQ(gauge.GetDigitsDigital(), 2);
    EXPECT_EQ(gauge.GetIndMinWidth(), 1);
    EXPECT_EQ(gauge.GetIndMidWidth(), 1);
    EXPECT_EQ(gauge.GetIndMaxWidth(), 1);
    EXPECT_EQ(gauge.GetLengthMainTicks(), 15);
    EXPECT_EQ(gauge.GetLengthSubTicks(), 8);
    EXPECT_EQ(gauge.GetFaceOptions().Mask(), 4045);
    EXPECT_EQ(gauge.GetPosition(), 0.0);
    EXPECT_EQ(gauge.GetScaleMax(), 100.0);
    EXPECT_EQ(gauge.GetScaleMin(), 0.0);
    EXPECT_EQ(gauge.GetIndMaximum(), 80.0);
    EXPECT_EQ(gauge.GetIndMinimum(), 30.0);
    EXPECT_EQ(gauge.GetCaption(), QStringLiteral("mV"));
    EXPECT_EQ(gauge.GetAntiAliased(), gauge::aaNone);
    EXPECT_FALSE(gauge.Getup_date());
    EXPECT_TRUE(gauge.isEnabled());
    // Drawn at once: the face colour away from the scale.
    EXPECT_EQ(Opaque(gauge.grab().toImage().pixel(112, 170)), TColorToRgb(gauge::kButtonFace));
}

// The main window's gauge for a 0 … 10 bar transmitter.
class MainGauge : public ::testing::Test
{
protected:
    MainGauge()
    {
        instrument_design::DesignGauge(gauge);
        instrument_design::RunGauge(gauge, 0.0, 10.0, 5.0);
    }

    // Works on the exact pixels of k = 1.
    void WithoutSupersampling() { gauge.SetAntiAliased(gauge::aaNone); }
    QImage Picture() { return gauge.grab().toImage(); }

    TAnalogDisplay gauge;
};

TEST_F(MainGauge, SupersamplesFourTimesWithTheGivenGeometry)
{
    EXPECT_EQ(gauge.BackBitmap().size(), QSize(1252, 2120));
    EXPECT_EQ(gauge.FaceBitmap().size(), QSize(1252, 2120));
    EXPECT_EQ(gauge.AABitmap().size(), QSize(313, 530));
    const gauge::Geometry g = gauge.SurfaceGeometry();
    EXPECT_EQ(g.cx, 626);
    EXPECT_EQ(g.R, 677);
    EXPECT_EQ(g.cy, 1398);
    EXPECT_DOUBLE_EQ(g.theta0, 30.0);
}

TEST_F(MainGauge, WithoutSupersamplingUsesTheControlSize)
{
    WithoutSupersampling();
    EXPECT_EQ(gauge.BackBitmap().size(), QSize(313, 530));
    EXPECT_TRUE(gauge.AABitmap().isNull());
    const gauge::Geometry g = gauge.SurfaceGeometry();
    EXPECT_EQ(g.cx, 156);
    EXPECT_DOUBLE_EQ(g.cxf, 156.5);
    EXPECT_EQ(g.R, 169);
    EXPECT_EQ(g.cy, 350);
    EXPECT_EQ(Picture(), gauge.FaceBitmap().convertToFormat(Picture().format()));
}

class MainGaugeFactor : public MainGauge, public ::testing::WithParamInterface<gauge::TAntialiased>
{
};

TEST_P(MainGaugeFactor, ShowsTheBoxFilteredSupersampledPicture)
{
    gauge.SetAntiAliased(GetParam());
    const int k = gauge::ScaleFactor(GetParam());
    ASSERT_EQ(gauge.FaceBitmap().size(), QSize(313 * k, 530 * k));
    const QImage expected = ReferenceDownsample(gauge.FaceBitmap(), QSize(313, 530), k);
    EXPECT_EQ(gauge.AABitmap(), expected);
    EXPECT_EQ(Picture().convertToFormat(QImage::Format_RGB32), expected);
}

INSTANTIATE_TEST_SUITE_P(Factors, MainGaugeFactor, ::testing::Values(gauge::aaBiline, gauge::aaTriline, gauge::aaQuadral));

TEST_F(MainGauge, MovingTheNeedleGivesTheSamePictureAsDrawingAfresh)
{
    gauge.SetFaceOptions(gauge.GetFaceOptions().With(gauge::ShowDigital));
    for (double position : {9.5, 0.2, 12.0, 7.0, -3.0, 2.5})
        gauge.SetPosition(position);

    TAnalogDisplay fresh;
    instrument_design::DesignGauge(fresh);
    instrument_design::RunGauge(fresh, 0.0, 10.0, 2.5);
    fresh.SetFaceOptions(fresh.GetFaceOptions().With(gauge::ShowDigital));
    EXPECT_EQ(gauge.FaceBitmap(), fresh.FaceBitmap());
    EXPECT_EQ(gauge.AABitmap(), fresh.AABitmap());
}

TEST_F(MainGauge, NeedlePointsAtThePosition)
{
    WithoutSupersampling();
    const gauge::Geometry g = gauge.SurfaceGeometry();
    struct Case
    {
        double position;
        double phi;
    };
    for (const Case c : {Case{5.0, 90.0}, Case{2.5, 60.0}, Case{10.0, 150.0}, Case{0.0, 30.0}}) {
        gauge.SetPosition(c.position);
        const QImage picture = Picture();
        EXPECT_TRUE(ColourNear(picture, Polar(g, c.phi, g.R * 0.6), qRgb(0, 0, 0))) << c.position;
        EXPECT_FALSE(ColourNear(picture, Polar(g, c.phi + 20.0, g.R * 0.6), qRgb(0, 0, 0))) << c.position;
    }
}

struct OutOfScale
{
    double position;
    double needlePhi;
    const char *text;
};

void PrintTo(const OutOfScale &c, std::ostream *os) { *os << "position " << c.position; }

class MainGaugeOutOfScale : public MainGauge, public ::testing::WithParamInterface<OutOfScale>
{
};

TEST_P(MainGaugeOutOfScale, PinsTheNeedleAndWarnsAboveTheCaption)
{
    WithoutSupersampling();
    const OutOfScale &c = GetParam();
    const gauge::Geometry g = gauge.SurfaceGeometry();
    // Caption row: halfway out along the middle direction; the warning three font heights above.
    const int captionTop = static_cast<int>(std::lround(g.cy - g.R / 2.0));
    const QFont font = instrument_design::MainWindowFont();
    QFont pixelFont = font;
    pixelFont.setPixelSize(11);
    const QFontMetrics metrics(pixelFont);
    const QRect band(g.cx - 50, captionTop - 33, 100, metrics.height());

    gauge.SetPosition(2.0); // keeps the needle out of the band
    EXPECT_TRUE(DarkPixels(Picture(), band).isNull()) << "no warning inside the scale";
    gauge.SetPosition(c.position);
    const QImage picture = Picture();
    EXPECT_TRUE(ColourNear(picture, Polar(g, c.needlePhi, g.R * 0.6), qRgb(0, 0, 0)));
    const QRect warning = DarkPixels(picture, band);
    ASSERT_FALSE(warning.isNull());
    EXPECT_NEAR(warning.width(), metrics.horizontalAdvance(QString::fromLatin1(c.text)), 4);
    EXPECT_NEAR(warning.center().x(), g.cxf, 3);
    EXPECT_LT(warning.bottom(), captionTop);
}

INSTANTIATE_TEST_SUITE_P(Limits, MainGaugeOutOfScale,
                         ::testing::Values(OutOfScale{10.5, 150.0, "OVERFLOW !"},
                                           OutOfScale{-0.5, 30.0, "UNDERFLOW !"}));

TEST(AnalogDisplayNotices, FireAtTheRangeLimitsOnlyForNewPositions)
{
    TAnalogDisplay gauge;
    int overMax = 0;
    int overMin = 0;
    int inRange = 0;
    gauge.SetPosition(50.0); // no handlers yet: nothing to call
    gauge.SetOnOverMax([&] { ++overMax; });
    gauge.SetOnOverMin([&] { ++overMin; });
    gauge.SetOnInOKRange([&] { ++inRange; });

    struct Step
    {
        double position;
        int overMax;
        int overMin;
        int inRange;
    };
    const Step steps[] = {
        {80.0, 1, 0, 0},  // at IndMaximum
        {80.0, 1, 0, 0},  // the same value: nothing
        {30.0, 1, 1, 0},  // at IndMinimum
        {55.0, 1, 1, 1},  // inside
        {120.0, 2, 1, 1}, // above the scale
        {-5.0, 2, 2, 1},  // below the scale
    };
    for (const Step &s : steps) {
        gauge.SetPosition(s.position);
        EXPECT_EQ(overMax, s.overMax) << s.position;
        EXPECT_EQ(overMin, s.overMin) << s.position;
        EXPECT_EQ(inRange, s.inRange) << s.position;
    }
}

TEST_F(MainGauge, AngleOutsideItsRangeIsRefusedButRedraws)
{
    WithoutSupersampling();
    gauge.SetFaceOptions({gauge::ShowIndicatorMax});
    gauge.Setup_date(false);
    gauge.SetIndMaximum(5.0); // not drawn yet
    const gauge::Geometry g = gauge.SurfaceGeometry();
    // With IndMaximum 0 the high-range arc covers the whole scale until the face is redrawn.
    const QPoint lowRange = Polar(g, 75.0, g.R + 1);   // value 3.75
    const QPoint highRange = Polar(g, 120.0, g.R + 1); // value 7.5
    const QRgb maxColour = TColorToRgb(gauge.GetMaxColor());
    EXPECT_EQ(Opaque(Picture().pixel(lowRange)), maxColour);

    gauge.SetAngle(5);
    EXPECT_EQ(gauge.GetAngle(), 120);
    EXPECT_NE(Opaque(Picture().pixel(lowRange)), maxColour) << "redrawn with IndMaximum 5";
    EXPECT_EQ(Opaque(Picture().pixel(highRange)), maxColour);
    gauge.SetAngle(400);
    EXPECT_EQ(gauge.GetAngle(), 120);
    gauge.SetAngle(180);
    EXPECT_EQ(gauge.GetAngle(), 180);
}

TEST(AnalogDisplayArrowWidth, IsKeptWithinOneToFive)
{
    TAnalogDisplay gauge;
    gauge.SetArrowWidth(0);
    EXPECT_EQ(gauge.GetArrowWidth(), 1);
    gauge.SetArrowWidth(9);
    EXPECT_EQ(gauge.GetArrowWidth(), 5);
    gauge.SetArrowWidth(3);
    EXPECT_EQ(gauge.GetArrowWidth(), 3);
}

TEST(AnalogDisplayStyle, SideStylesReduceTheAngleTo90ForGood)
{
    for (gauge::TStyle style : {gauge::LeftStyle, gauge::RightStyle}) {
        TAnalogDisplay gauge;
        gauge.SetStyle(style);
        EXPECT_EQ(gauge.GetAngle(), 90);
        gauge.SetStyle(gauge::CenterStyle);
        EXPECT_EQ(gauge.GetAngle(), 90);
    }
    TAnalogDisplay left;
    left.SetAngle(60);
    left.SetStyle(gauge::LeftStyle);
    EXPECT_EQ(left.GetAngle(), 60);
}

TEST(AnalogDisplaySize, NeverShrinksBelow60By50)
{
    TAnalogDisplay gauge;
    gauge.SetAntiAliased(gauge::aaBiline);
    gauge.resize(10, 10);
    EXPECT_EQ(gauge.size(), QSize(60, 50));
    gauge.SetPosition(42.0);
    EXPECT_EQ(gauge.BackBitmap().size(), QSize(120, 100));
    EXPECT_EQ(gauge.AABitmap().size(), QSize(60, 50));
    gauge.resize(80, 40);
    EXPECT_EQ(gauge.size(), QSize(80, 50));
}

TEST_F(MainGauge, ScaleChangesWaitForRedrawWhileUpdatingIsOff)
{
    WithoutSupersampling();
    gauge.Setup_date(false);
    const QImage face = gauge.BackBitmap();
    gauge.SetScaleMax(20.0);
    EXPECT_EQ(gauge.BackBitmap(), face) << "labels keep the old scale";
    // The needle already uses the new scale: 5 of 0 … 20 lies at 60 degrees.
    gauge.SetPosition(5.5);
    gauge.SetPosition(5.0);
    const gauge::Geometry g = gauge.SurfaceGeometry();
    EXPECT_TRUE(ColourNear(Picture(), Polar(g, 60.0, g.R * 0.6), qRgb(0, 0, 0)));
    gauge.Setup_date(true);
    EXPECT_NE(gauge.BackBitmap(), face);
}

TEST_F(MainGauge, MiddleArcOnlyForIncreasingLimits)
{
    WithoutSupersampling();
    gauge.SetFaceOptions({gauge::ShowIndicatorMid});
    const gauge::Geometry g = gauge.SurfaceGeometry();
    const QPoint middle = Polar(g, 90.0, g.R + 1); // value 5
    const QRgb midColour = TColorToRgb(gauge.GetMidColor());
    // The main window sets IndMinimum 10 above IndMaximum 0: no middle arc.
    EXPECT_NE(Opaque(Picture().pixel(middle)), midColour);
    gauge.SetIndMaximum(8.0);
    gauge.SetIndMinimum(2.0);
    EXPECT_EQ(Opaque(Picture().pixel(middle)), midColour);
    EXPECT_NE(Opaque(Picture().pixel(Polar(g, 145.0, g.R + 1))), midColour) << "beyond IndMaximum";
}

TEST_F(MainGauge, LowArcCoversTheWholeScaleInThePressureColour)
{
    WithoutSupersampling();
    const gauge::Geometry g = gauge.SurfaceGeometry();
    const QRgb pressure = TColorToRgb(instrument_design::kPressureColour);
    // Between sub ticks (every 2.4 degrees) just outside the scale circle.
    for (double phi : {31.2, 61.2, 91.2, 121.2, 148.8})
        EXPECT_EQ(Opaque(Picture().pixel(Polar(g, phi, g.R + 1))), pressure) << phi;
    EXPECT_EQ(Opaque(Picture().pixel(Polar(g, 25.0, g.R + 1))), qRgb(255, 255, 255)) << "before the scale";
}

TEST_F(MainGauge, DisabledLookGreysTheColoursAndComesBack)
{
    WithoutSupersampling();
    const QPoint face(40, 500);
    EXPECT_EQ(Opaque(Picture().pixel(face)), qRgb(255, 255, 255));
    gauge.setEnabled(false);
    EXPECT_EQ(gauge.GetFaceColor(), 0xB6C1C7u);
    EXPECT_EQ(gauge.GetArrowColor(), 0x747474u);
    EXPECT_EQ(Opaque(Picture().pixel(face)), TColorToRgb(0xB6C1C7));
    const gauge::Geometry g = gauge.SurfaceGeometry();
    EXPECT_TRUE(ColourNear(Picture(), Polar(g, 90.0, g.R * 0.6), TColorToRgb(0x747474))) << "needle";
    gauge.setEnabled(true);
    EXPECT_EQ(gauge.GetFaceColor(), instrument_design::kChartBackground);
    EXPECT_EQ(gauge.GetMinColor(), instrument_design::kPressureColour);
    EXPECT_EQ(Opaque(Picture().pixel(face)), qRgb(255, 255, 255));
}

TEST_F(MainGauge, FontChangeRedrawsTheFace)
{
    const QImage before = gauge.BackBitmap();
    QFont larger = instrument_design::MainWindowFont();
    larger.setPointSize(12);
    gauge.setFont(larger);
    EXPECT_NE(gauge.BackBitmap(), before);
}

TEST_F(MainGauge, DoubleClickCallsItsHandler)
{
    int doubleClicks = 0;
    gauge.SetOnDblClick([&] { ++doubleClicks; });
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(100, 100), QPointF(100, 100), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&gauge, &event);
    EXPECT_EQ(doubleClicks, 1);
}

} // namespace
