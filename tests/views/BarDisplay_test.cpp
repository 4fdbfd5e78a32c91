#include "views/instruments/BarDisplay.h"

#include "main_window_instruments.h"

#include <QPixmap>
#include <functional>
#include <ostream>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kMajorInactive = qRgb(0xC0, 0xC0, 0xC0);
constexpr QRgb kMinorInactive = qRgb(0x80, 0x80, 0x80);
// The main window's designed range colours.
constexpr QRgb kMin = TColorToRgb(0xFF0000);
constexpr QRgb kMid = TColorToRgb(0x4080FF);
constexpr QRgb kMax = TColorToRgb(0x0000FF);
constexpr QRgb kMinMinor = TColorToRgb(0xC08000);
constexpr QRgb kMidMinor = TColorToRgb(0x53A9FF);

// Rows of the pressure bar (scale 0 … 10): each interval takes 13 rows from the top of its major stripe.
constexpr int kRowOfMajor10 = 60;
constexpr int kRowOfMinor9_8 = 63;
constexpr int kRowOfMinor5_2 = 121;
constexpr int kRowOfMinor5_0 = 123;
constexpr int kRowOfMajor5 = 125;
constexpr int kRowOfMinor1_8 = 167;
constexpr int kRowOfMinor0_2 = 186;
constexpr int kRowOfMajor0 = 190;
constexpr int kStripeColumn = 20;

QRgb Opaque(QRgb pixel) { return pixel | 0xFF000000u; }

class PressureBar : public ::testing::Test
{
protected:
    PressureBar()
        : bar(nullptr, QStringLiteral("pressure_bar"))
    {
        instrument_design::DesignBar(bar, instrument_design::Bar::Pressure);
    }

    QImage Picture() { return bar.grab().toImage(); }
    QRgb At(int x, int y) { return Opaque(Picture().pixel(x, y)); }

    // Pixels of the stripe area in a colour other than the face and the inactive colours.
    int ActivePixels()
    {
        const QImage picture = Picture();
        const std::set<QRgb> passive = {TColorToRgb(bar.GetFaceColor()), TColorToRgb(bar.GetMajorColor_inactive()),
                                        TColorToRgb(bar.GetMinorColor_inactive())};
        int active = 0;
        for (int y = 60; y < 192; ++y)
            for (int x = 10; x < 47; ++x)
                active += passive.count(Opaque(picture.pixel(x, y))) ? 0 : 1;
        return active;
    }

    // A first-group change: the scale is drawn again and the bar is gone.
    void HideBar() { bar.SetFaceColor(bar.GetFaceColor() ^ 0x000001); }

    TBarDisplay bar;
};

TEST(BarDisplayConstruction, StartsWithTheInitialValuesAndAnEmptyFace)
{
    TBarDisplay bar(nullptr, QStringLiteral("bar1"));
    EXPECT_EQ(bar.size(), QSize(128, 480));
    EXPECT_EQ(bar.GetCaption(), QStringLiteral("bar1"));
    EXPECT_EQ(bar.objectName(), QStringLiteral("bar1"));
    EXPECT_EQ(bar.GetFaceColor(), 0xFFFFFFu);
    EXPECT_EQ(bar.GetFrameColor(), 0x000000u);
    EXPECT_EQ(bar.GetCountMajor(), 10);
    EXPECT_EQ(bar.GetCountMinor(), 9);
    EXPECT_EQ(bar.GetCountSub(), 0);
    EXPECT_EQ(bar.GetframeWidth(), 10);
    EXPECT_EQ(bar.GetMajorTick_Width(), 2);
    EXPECT_EQ(bar.GetMinorTick_Width(), 1);
    EXPECT_EQ(bar.GetSubTick_Width(), 0);
    EXPECT_EQ(bar.GetMajorColor(), 0xC0C0C0u);
    EXPECT_EQ(bar.GetMinorColor(), 0x808080u);
    EXPECT_EQ(bar.GetMajorColor_inactive(), 0xC0C0C0u);
    EXPECT_EQ(bar.GetMinorColor_inactive(), 0x808080u);
    EXPECT_EQ(bar.GetCaption_Color(), 0x000000u);
    EXPECT_EQ(bar.GetLabel_Color(), 0x000000u);
    EXPECT_EQ(bar.GetMinColor(), 0xFFC753u);
    EXPECT_EQ(bar.GetMidColor(), 0x00FF80u);
    EXPECT_EQ(bar.GetMaxColor(), 0x115FFFu);
    EXPECT_EQ(bar.GetMinColor_minor(), 0xC08000u);
    EXPECT_EQ(bar.GetMidColor_minor(), 0x7DFFBEu);
    EXPECT_EQ(bar.GetMaxColor_minor(), 0x88AEFFu);
    EXPECT_EQ(bar.GetScale_Min(), 0.0);
    EXPECT_EQ(bar.GetScale_Max(), 10.0);
    EXPECT_EQ(bar.GetCaption_Space(), 60);
    EXPECT_EQ(bar.GetCaption_Size(), 10);
    EXPECT_EQ(bar.GetMajorLabelSize(), 8);
    EXPECT_EQ(bar.GetMajor_Digits(), 3);
    EXPECT_EQ(bar.GetMid_Range(), 2.0);
    EXPECT_EQ(bar.GetMax_Range(), 8.0);
    EXPECT_EQ(bar.GetFaceOptions().Mask(), 999);
    EXPECT_FALSE(bar.GetGradient());
    EXPECT_EQ(bar.GetPosition(), 0.0);

    const QImage picture = bar.grab().toImage();
    EXPECT_EQ(Opaque(picture.pixel(0, 0)), kBlack);
    EXPECT_EQ(Opaque(picture.pixel(127, 479)), kBlack);
    EXPECT_EQ(Opaque(picture.pixel(64, 10)), kWhite);
    EXPECT_EQ(Opaque(picture.pixel(kStripeColumn, 60)), kWhite) << "no scale before the first change";
}

TEST_F(PressureBar, StripesFillRows60To191WithAnEmptyRowBeforeEach)
{
    const QImage picture = Picture();
    ASSERT_EQ(picture.size(), QSize(107, 238));
    std::set<int> expected;
    for (int interval = 0; interval < 10; ++interval) {
        const int top = 60 + 13 * interval;
        expected.insert({top, top + 1, top + 3, top + 5, top + 7, top + 9, top + 11});
    }
    expected.insert({190, 191});
    std::set<int> painted;
    for (int y = 40; y < 237; ++y)
        if (Opaque(picture.pixel(kStripeColumn, y)) != kWhite)
            painted.insert(y);
    EXPECT_EQ(painted, expected);

    // Major stripes reach column 56, minor ones column 46; both start at column 10.
    EXPECT_NE(Opaque(picture.pixel(56, kRowOfMajor10)), kWhite);
    EXPECT_EQ(Opaque(picture.pixel(57, kRowOfMajor10)), kWhite);
    EXPECT_NE(Opaque(picture.pixel(46, kRowOfMinor9_8)), kWhite);
    EXPECT_EQ(Opaque(picture.pixel(47, kRowOfMinor9_8)), kWhite);
    EXPECT_EQ(Opaque(picture.pixel(9, kRowOfMajor10)), kWhite);
    EXPECT_EQ(Opaque(picture.pixel(0, 120)), kBlack);
    EXPECT_EQ(Opaque(picture.pixel(106, 237)), kBlack);
}

struct PositionCase
{
    double position;
    int row;
    QRgb expected;
};

void PrintTo(const PositionCase &c, std::ostream *os) { *os << "position " << c.position << ", row " << c.row; }

class PressureBarPosition : public PressureBar, public ::testing::WithParamInterface<PositionCase>
{
};

TEST_P(PressureBarPosition, PaintsStripesAtOrBelowThePositionActive)
{
    const PositionCase &c = GetParam();
    bar.SetPosition(c.position);
    EXPECT_EQ(At(kStripeColumn, c.row), c.expected) << "position " << c.position << ", row " << c.row;
}

INSTANTIATE_TEST_SUITE_P(
    Positions, PressureBarPosition,
    ::testing::Values(
        // Below the scale: nothing is active.
        PositionCase{-1.0, kRowOfMajor0, kMajorInactive}, PositionCase{-1.0, kRowOfMinor0_2, kMinorInactive},
        PositionCase{-1.0, kRowOfMajor10, kMajorInactive},
        // At the bottom value: only the bottom stripe.
        PositionCase{0.0, kRowOfMajor0, kMin}, PositionCase{0.0, kRowOfMinor0_2, kMinorInactive},
        // Inside: the range colours below the position, inactive above it.
        PositionCase{5.1, kRowOfMajor5, kMid}, PositionCase{5.1, kRowOfMinor5_0, kMidMinor},
        PositionCase{5.1, kRowOfMinor5_2, kMinorInactive}, PositionCase{5.1, kRowOfMinor1_8, kMinMinor},
        PositionCase{5.1, kRowOfMajor10, kMajorInactive},
        // At and above the top value: everything is active.
        PositionCase{10.0, kRowOfMajor10, kMid}, PositionCase{100.0, kRowOfMajor10, kMid},
        PositionCase{100.0, kRowOfMinor9_8, kMidMinor}, PositionCase{100.0, kRowOfMajor0, kMin}));

TEST_F(PressureBar, GradientPaintsRedToYellowByValue)
{
    bar.SetGradient(true);
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor10), qRgb(255, 255, 0));
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor5), qRgb(255, 128, 0));
    EXPECT_EQ(At(kStripeColumn, kRowOfMinor5_0), qRgb(255, 128, 0));
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor0), qRgb(255, 0, 0));
    bar.SetGradient(false);
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor5), kMid);
}

TEST_F(PressureBar, LaterIndicatorRulesOverrideEarlierOnes)
{
    // Crossed ranges: 5 is in the high range (>= 4) and in the low range (< 6); the low rule wins.
    bar.SetMax_Range(4.0);
    bar.SetMid_Range(6.0);
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor5), kMin);
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor10), kMax);
    bar.SetFaceOptions(TBarDisplay::TFaceOptions{bar_scale::ShowIndicatorMax});
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor5), kMax);
    bar.SetFaceOptions(TBarDisplay::TFaceOptions{});
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor5), kMajorInactive) << "MajorColor is $C0C0C0 too";
    bar.SetMajorColor(0x00FF00);
    bar.SetPosition(9.0);
    EXPECT_EQ(At(kStripeColumn, kRowOfMajor5), qRgb(0, 255, 0));
}

struct RedrawCase
{
    const char *property;
    std::function<void(TBarDisplay &)> change;
    bool barShownAfter;
};

void PrintTo(const RedrawCase &c, std::ostream *os) { *os << c.property; }

class PressureBarRedraw : public PressureBar, public ::testing::WithParamInterface<RedrawCase>
{
};

// First-group changes draw the scale alone and so hide the bar; the others bring it back.
TEST_P(PressureBarRedraw, ShowsTheBarOnlyAfterSecondGroupChanges)
{
    const RedrawCase &c = GetParam();
    bar.SetPosition(5.1);
    if (c.barShownAfter)
        HideBar();
    ASSERT_EQ(ActivePixels() > 0, !c.barShownAfter) << c.property;
    c.change(bar);
    EXPECT_EQ(ActivePixels() > 0, c.barShownAfter) << c.property;
}

INSTANTIATE_TEST_SUITE_P(
    Properties, PressureBarRedraw,
    ::testing::Values(
        RedrawCase{"FaceColor", [](TBarDisplay &b) { b.SetFaceColor(0xEEEEEE); }, false},
        RedrawCase{"FrameColor", [](TBarDisplay &b) { b.SetFrameColor(0x0000FF); }, false},
        RedrawCase{"CountMajor", [](TBarDisplay &b) { b.SetCountMajor(5); }, false},
        RedrawCase{"CountMinor", [](TBarDisplay &b) { b.SetCountMinor(4); }, false},
        RedrawCase{"CountSub", [](TBarDisplay &b) { b.SetCountSub(3); }, false},
        RedrawCase{"frameWidth", [](TBarDisplay &b) { b.SetframeWidth(8); }, false},
        RedrawCase{"MajorTick_Width", [](TBarDisplay &b) { b.SetMajorTick_Width(3); }, false},
        RedrawCase{"MinorTick_Width", [](TBarDisplay &b) { b.SetMinorTick_Width(2); }, false},
        RedrawCase{"SubTick_Width", [](TBarDisplay &b) { b.SetSubTick_Width(2); }, false},
        RedrawCase{"MajorColor", [](TBarDisplay &b) { b.SetMajorColor(0x00FF00); }, false},
        RedrawCase{"MinorColor", [](TBarDisplay &b) { b.SetMinorColor(0x00FF00); }, false},
        RedrawCase{"MajorColor_inactive", [](TBarDisplay &b) { b.SetMajorColor_inactive(0x303030); }, false},
        RedrawCase{"MinorColor_inactive", [](TBarDisplay &b) { b.SetMinorColor_inactive(0x505050); }, false},
        RedrawCase{"Caption_Color", [](TBarDisplay &b) { b.SetCaption_Color(0x0000FF); }, false},
        RedrawCase{"Label_Color", [](TBarDisplay &b) { b.SetLabel_Color(0x0000FF); }, false},
        RedrawCase{"Caption_Size", [](TBarDisplay &b) { b.SetCaption_Size(10); }, false},
        RedrawCase{"Caption", [](TBarDisplay &b) { b.SetCaption(QStringLiteral("Druck")); }, true},
        RedrawCase{"MinColor", [](TBarDisplay &b) { b.SetMinColor(0x00FF00); }, true},
        RedrawCase{"MidColor", [](TBarDisplay &b) { b.SetMidColor(0x00FF00); }, true},
        RedrawCase{"MaxColor", [](TBarDisplay &b) { b.SetMaxColor(0x00FF00); }, true},
        RedrawCase{"MinColor_minor", [](TBarDisplay &b) { b.SetMinColor_minor(0x00FF00); }, true},
        RedrawCase{"MidColor_minor", [](TBarDisplay &b) { b.SetMidColor_minor(0x00FF00); }, true},
        RedrawCase{"MaxColor_minor", [](TBarDisplay &b) { b.SetMaxColor_minor(0x00FF00); }, true},
        RedrawCase{"Scale_Min", [](TBarDisplay &b) { b.SetScale_Min(-1.0); }, true},
        RedrawCase{"Scale_Max", [](TBarDisplay &b) { b.SetScale_Max(12.0); }, true},
        RedrawCase{"Caption_Space", [](TBarDisplay &b) { b.SetCaption_Space(62); }, true},
        RedrawCase{"MajorLabelSize", [](TBarDisplay &b) { b.SetMajorLabelSize(9); }, true},
        RedrawCase{"Major_Digits", [](TBarDisplay &b) { b.SetMajor_Digits(1); }, true},
        RedrawCase{"Mid_Range", [](TBarDisplay &b) { b.SetMid_Range(3.0); }, true},
        RedrawCase{"Max_Range", [](TBarDisplay &b) { b.SetMax_Range(40.0); }, true},
        RedrawCase{"FaceOptions",
                   [](TBarDisplay &b) { b.SetFaceOptions(b.GetFaceOptions().Without(bar_scale::ShowDigital)); }, true},
        RedrawCase{"Position", [](TBarDisplay &b) { b.SetPosition(5.3); }, true},
        RedrawCase{"Gradient", [](TBarDisplay &b) { b.SetGradient(true); }, true}));

class PressureBarSameValue : public PressureBar, public ::testing::WithParamInterface<RedrawCase>
{
};

TEST_P(PressureBarSameValue, DrawsNothing)
{
    const RedrawCase &c = GetParam();
    bar.SetPosition(5.1);
    HideBar();
    c.change(bar);
    EXPECT_EQ(ActivePixels(), 0) << c.property;
}

INSTANTIATE_TEST_SUITE_P(
    Properties, PressureBarSameValue,
    ::testing::Values(
        RedrawCase{"Caption", [](TBarDisplay &b) { b.SetCaption(b.GetCaption()); }, false},
        RedrawCase{"MinColor", [](TBarDisplay &b) { b.SetMinColor(b.GetMinColor()); }, false},
        RedrawCase{"MidColor_minor", [](TBarDisplay &b) { b.SetMidColor_minor(b.GetMidColor_minor()); }, false},
        RedrawCase{"Scale_Min", [](TBarDisplay &b) { b.SetScale_Min(b.GetScale_Min()); }, false},
        RedrawCase{"Scale_Max", [](TBarDisplay &b) { b.SetScale_Max(b.GetScale_Max()); }, false},
        RedrawCase{"Caption_Space", [](TBarDisplay &b) { b.SetCaption_Space(b.GetCaption_Space()); }, false},
        RedrawCase{"Major_Digits", [](TBarDisplay &b) { b.SetMajor_Digits(b.GetMajor_Digits()); }, false},
        RedrawCase{"Max_Range", [](TBarDisplay &b) { b.SetMax_Range(b.GetMax_Range()); }, false},
        RedrawCase{"FaceOptions", [](TBarDisplay &b) { b.SetFaceOptions(b.GetFaceOptions()); }, false},
        RedrawCase{"Position", [](TBarDisplay &b) { b.SetPosition(b.GetPosition()); }, false},
        RedrawCase{"Gradient", [](TBarDisplay &b) { b.SetGradient(b.GetGradient()); }, false}));

TEST_F(PressureBar, ResizeHidesTheBarUntilThePositionChanges)
{
    bar.SetPosition(5.1);
    ASSERT_GT(ActivePixels(), 0);
    bar.resize(107, 240);
    EXPECT_EQ(ActivePixels(), 0);
    bar.SetPosition(5.1);
    EXPECT_EQ(ActivePixels(), 0);
    bar.SetPosition(5.2);
    EXPECT_GT(ActivePixels(), 0);
    EXPECT_EQ(Picture().size(), QSize(107, 240));
    EXPECT_EQ(At(106, 239), kBlack) << "outline follows the new size";
}

// Bounding box of the dark (text) pixels in a part of the picture.
QRect DarkPixels(const QImage &picture, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(picture.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(PressureBar, CaptionIsCentredAboveTheStripes)
{
    bar.SetCaption(QStringLiteral("Pressure [bar]"));
    // Above the first label, which starts at row 52.
    const QRect caption = DarkPixels(Picture(), QRect(1, 1, 105, 50));
    ASSERT_FALSE(caption.isNull());
    EXPECT_NEAR(caption.center().x(), 107 / 2, 2);
    EXPECT_GE(caption.top(), 60 / 2 - 8);
    EXPECT_LT(caption.bottom(), 50);

    bar.SetCaption_Space(100);
    const QRect lower = DarkPixels(Picture(), QRect(1, 1, 105, 90));
    EXPECT_GE(lower.top(), 100 / 2 - 8);
}

TEST_F(PressureBar, LabelsStandRightOfTheirMajorStripes)
{
    const QImage picture = Picture();
    // The label of 10.000 starts 8 rows above its stripe; the next one 13 rows further down.
    const QRect first = DarkPixels(picture, QRect(62, 50, 44, 13));
    const QRect second = DarkPixels(picture, QRect(62, 63, 44, 13));
    ASSERT_FALSE(first.isNull());
    ASSERT_FALSE(second.isNull());
    EXPECT_GE(first.left(), 62);
    EXPECT_GE(first.top(), 52);
    EXPECT_EQ(second.top() - first.top(), 13);
    EXPECT_TRUE(DarkPixels(picture, QRect(57, 40, 5, 160)).isNull()) << "nothing between stripes and labels";
}

TEST(ThermometerLabels, WholeNumbersAreNarrowerThanThreeDecimals)
{
    TBarDisplay thermometer(nullptr, QStringLiteral("thermometer"));
    instrument_design::DesignBar(thermometer, instrument_design::Bar::Thermometer);
    const QRect band(62, 50, 44, 13);
    const QRect whole = DarkPixels(thermometer.grab().toImage(), band);
    thermometer.SetMajor_Digits(3);
    const QRect decimals = DarkPixels(thermometer.grab().toImage(), band);
    ASSERT_FALSE(whole.isNull());
    EXPECT_LT(whole.right() + 15, decimals.right());
}

TEST_F(PressureBar, WithoutMinorStripesOnlyMajorStripesAreDrawn)
{
    bar.SetCountMinor(0);
    const QImage picture = Picture();
    int painted = 0;
    for (int y = 40; y < 237; ++y)
        painted += Opaque(picture.pixel(kStripeColumn, y)) != kWhite ? 1 : 0;
    EXPECT_EQ(painted, 11 * 2);
}

TEST_F(PressureBar, StripesPastTheBottomAreClipped)
{
    bar.resize(107, 100);
    bar.SetPosition(9.5);
    // The major stripe of 7 starts on the last row and covers the outline there.
    const QImage picture = Picture();
    EXPECT_EQ(Opaque(picture.pixel(kStripeColumn, 99)), kMid);
    EXPECT_EQ(Opaque(picture.pixel(kStripeColumn, 97)), kMidMinor);
    EXPECT_EQ(Opaque(picture.pixel(kStripeColumn - 15, 99)), kBlack);
}

} // namespace
