#include "views/instruments/bar_scale.h"

#include <gtest/gtest.h>
#include <cmath>
#include <set>

namespace {

// The main window's pressure bar: 107 x 238, scale 0 … 10, 10 intervals of 5 minor stripes.
bar_scale::BarProperties PressureBar()
{
    bar_scale::BarProperties p;
    p.CountMajor = 10;
    p.CountMinor = 5;
    p.Scale_Min = 0.0;
    p.Scale_Max = 10.0;
    return p;
}

bar_scale::BarProperties Thermometer()
{
    bar_scale::BarProperties p;
    p.CountMajor = 7;
    p.CountMinor = 5;
    p.Scale_Min = -50.0;
    p.Scale_Max = 125.0;
    p.Major_Digits = 0;
    return p;
}

std::set<int> PaintedRows(const std::vector<bar_scale::Stripe> &stripes)
{
    std::set<int> rows;
    for (const bar_scale::Stripe &s : stripes)
        for (int row = s.top; row < s.bottom; ++row)
            rows.insert(row);
    return rows;
}

TEST(BarStripeLayout, PressureBarOccupiesRows60To191WithAGapBeforeEveryStripe)
{
    const auto stripes = bar_scale::StripeLayout(PressureBar(), 107, 238);
    int majors = 0;
    for (const bar_scale::Stripe &s : stripes)
        majors += s.major ? 1 : 0;
    EXPECT_EQ(majors, 11);
    EXPECT_EQ(stripes.size() - static_cast<std::size_t>(majors), 50u);

    const std::set<int> rows = PaintedRows(stripes);
    EXPECT_EQ(*rows.begin(), 60);
    EXPECT_EQ(*rows.rbegin(), 191);
    EXPECT_EQ(rows.size(), 11u * 2u + 50u);
    for (std::size_t i = 1; i < stripes.size(); ++i)
        EXPECT_EQ(stripes[i].top, stripes[i - 1].bottom + 1) << "stripe " << i;
}

TEST(BarStripeLayout, MinorStripesEndOneFrameWidthLeftOfMajorStripes)
{
    const auto stripes = bar_scale::StripeLayout(PressureBar(), 107, 238);
    ASSERT_GE(stripes.size(), 2u);
    EXPECT_EQ(stripes[0].left, 10);
    EXPECT_EQ(stripes[0].right, 57);
    EXPECT_EQ(stripes[0].bottom - stripes[0].top, 2);
    EXPECT_EQ(stripes[1].left, 10);
    EXPECT_EQ(stripes[1].right, 47);
    EXPECT_EQ(stripes[1].bottom - stripes[1].top, 1);
    EXPECT_EQ(bar_scale::LabelLeft(PressureBar(), 107), 62);
}

TEST(BarStripeLayout, ValuesRunDownFromScaleMaxAndTheLastMinorMatchesTheNextMajor)
{
    const auto stripes = bar_scale::StripeLayout(PressureBar(), 107, 238);
    ASSERT_EQ(stripes.size(), 61u);
    const double expected[] = {10.0, 9.8, 9.6, 9.4, 9.2, 9.0, 9.0};
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_DOUBLE_EQ(stripes[i].value, expected[i]) << "stripe " << i;
    EXPECT_TRUE(stripes[6].major);
    EXPECT_DOUBLE_EQ(stripes.back().value, 0.0);
    EXPECT_TRUE(stripes.back().major);
}

TEST(BarStripeLayout, ThermometerLabelsAreWholeNumbers)
{
    const bar_scale::BarProperties p = Thermometer();
    QStringList labels;
    for (const bar_scale::Stripe &s : bar_scale::StripeLayout(p, 107, 187))
        if (s.major)
            labels << bar_scale::LabelText(s.value, p.Major_Digits, QLatin1Char('.'));
    EXPECT_EQ(labels, QStringList({"125", "100", "75", "50", "25", "0", "-25", "-50"}));
}

TEST(BarStripeLayout, WithoutMinorStripesOnlyMajorsAreLaidOut)
{
    bar_scale::BarProperties p = PressureBar();
    p.CountMinor = 0;
    const auto stripes = bar_scale::StripeLayout(p, 107, 238);
    EXPECT_EQ(stripes.size(), 11u);
    EXPECT_EQ(stripes.back().bottom - 1, 60 + 10 * 3 + 1);
}

TEST(BarStripeLayout, StripesFarBelowASmallControlAreLeftOut)
{
    const auto stripes = bar_scale::StripeLayout(PressureBar(), 107, 100);
    ASSERT_FALSE(stripes.empty());
    EXPECT_LT(stripes.size(), 61u);
    EXPECT_LT(stripes.back().top, 100 + 8);
    EXPECT_GE(stripes.back().top, 100 - 3);
}

struct UnusableScale
{
    const char *what;
    int countMajor;
    double scaleMin;
    double scaleMax;
};

class BarUnusableScale : public ::testing::TestWithParam<UnusableScale>
{
};

TEST_P(BarUnusableScale, HasNoStripes)
{
    bar_scale::BarProperties p = PressureBar();
    p.CountMajor = GetParam().countMajor;
    p.Scale_Min = GetParam().scaleMin;
    p.Scale_Max = GetParam().scaleMax;
    EXPECT_TRUE(bar_scale::StripeLayout(p, 107, 238).empty()) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Scales, BarUnusableScale,
                         ::testing::Values(UnusableScale{"no interval", 0, 0.0, 10.0},
                                           UnusableScale{"negative intervals", -3, 0.0, 10.0},
                                           UnusableScale{"equal limits", 10, 5.0, 5.0},
                                           UnusableScale{"infinite limit", 10, 0.0, HUGE_VAL}));

// Range colours as designed for the main window's bars.
bar_scale::BarProperties Coloured(bar_scale::TFaceOptions options, double midRange, double maxRange)
{
    bar_scale::BarProperties p = PressureBar();
    p.MajorColor = 0x111111;
    p.MinorColor = 0x222222;
    p.MinColor = 0xFF0000;
    p.MidColor = 0x4080FF;
    p.MaxColor = 0x0000FF;
    p.MinColor_minor = 0xC08000;
    p.MidColor_minor = 0x53A9FF;
    p.MaxColor_minor = 0x88AEFF;
    p.FaceOptions = options;
    p.Mid_Range = midRange;
    p.Max_Range = maxRange;
    return p;
}

struct ColourCase
{
    const char *what;
    bar_scale::TFaceOptions options;
    double midRange;
    double maxRange;
    double value;
    TColor major;
    TColor minor;
};

class BarRangeColour : public ::testing::TestWithParam<ColourCase>
{
};

TEST_P(BarRangeColour, PicksTheColourOfTheLastMatchingRule)
{
    const ColourCase &c = GetParam();
    const bar_scale::BarProperties p = Coloured(c.options, c.midRange, c.maxRange);
    bar_scale::Stripe stripe;
    stripe.value = c.value;
    stripe.major = true;
    EXPECT_EQ(bar_scale::ActiveStripeColour(p, stripe), c.major) << c.what;
    stripe.major = false;
    EXPECT_EQ(bar_scale::ActiveStripeColour(p, stripe), c.minor) << c.what;
}

const bar_scale::TFaceOptions kAllIndicators{bar_scale::ShowIndicatorMin, bar_scale::ShowIndicatorMid, bar_scale::ShowIndicatorMax};

INSTANTIATE_TEST_SUITE_P(
    Rules, BarRangeColour,
    ::testing::Values(
        ColourCase{"low range", kAllIndicators, 2.0, 8.0, 1.0, 0xFF0000, 0xC08000},
        ColourCase{"middle range starts at Mid_Range", kAllIndicators, 2.0, 8.0, 2.0, 0x4080FF, 0x53A9FF},
        ColourCase{"high range starts at Max_Range", kAllIndicators, 2.0, 8.0, 8.0, 0x0000FF, 0x88AEFF},
        ColourCase{"no indicator", bar_scale::TFaceOptions{}, 2.0, 8.0, 9.0, 0x111111, 0x222222},
        ColourCase{"high indicator only, low value", bar_scale::TFaceOptions{bar_scale::ShowIndicatorMax}, 2.0, 8.0, 1.0,
                   0x111111, 0x222222},
        ColourCase{"the default options show the high range", bar_scale::TFaceOptions::FromMask(999), 2.0, 8.0, 9.0,
                   0x0000FF, 0x88AEFF},
        ColourCase{"crossed ranges: the low rule comes last", kAllIndicators, 6.0, 4.0, 5.0, 0xFF0000, 0xC08000},
        ColourCase{"crossed ranges without the low rule", bar_scale::TFaceOptions{bar_scale::ShowIndicatorMax}, 6.0, 4.0, 5.0,
                   0x0000FF, 0x88AEFF}));

struct GradientCase
{
    double value;
    double scaleMin;
    double scaleMax;
    int green;
};

class BarGradient : public ::testing::TestWithParam<GradientCase>
{
};

TEST_P(BarGradient, IsRedWithGreenFromTheValue)
{
    const GradientCase &c = GetParam();
    EXPECT_EQ(bar_scale::GradientColour(c.value, c.scaleMin, c.scaleMax), static_cast<TColor>(c.green * 256 + 255))
        << c.value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, BarGradient,
    ::testing::Values(GradientCase{0.0, 0.0, 10.0, 0}, GradientCase{10.0, 0.0, 10.0, 255},
                      GradientCase{5.0, 0.0, 10.0, 128},   // 127.5: tie to even
                      GradientCase{1.0, 0.0, 10.0, 26},    // 25.5: tie to even
                      GradientCase{3.0, 0.0, 10.0, 76},    // 76.5: tie to even
                      GradientCase{11.0, 0.0, 10.0, 24},   // 280 modulo 256
                      GradientCase{-50.0, -50.0, 125.0, 183}, // -73 modulo 256: the value, not its distance
                      GradientCase{125.0, -50.0, 125.0, 182}));

TEST(BarGradientRule, OverridesTheRangeColours)
{
    bar_scale::BarProperties p = Coloured(kAllIndicators, 2.0, 8.0);
    p.Gradient = true;
    bar_scale::Stripe stripe;
    stripe.value = 5.0;
    stripe.major = false;
    EXPECT_EQ(bar_scale::ActiveStripeColour(p, stripe), 128u * 256u + 255u);
}

} // namespace
