#include "views/instruments/gauge_look.h"

#include <gtest/gtest.h>

namespace {

struct AngleCase
{
    int angle;
    bool accepted;
};

class GaugeAngleRule : public ::testing::TestWithParam<AngleCase>
{
};

TEST_P(GaugeAngleRule, AcceptsAboveTenUpToThreeSixty)
{
    EXPECT_EQ(gauge::AngleAccepted(GetParam().angle), GetParam().accepted) << GetParam().angle;
}

INSTANTIATE_TEST_SUITE_P(Angles, GaugeAngleRule,
                         ::testing::Values(AngleCase{5, false}, AngleCase{10, false}, AngleCase{11, true},
                                           AngleCase{120, true}, AngleCase{360, true}, AngleCase{361, false},
                                           AngleCase{400, false}, AngleCase{-120, false}));

TEST(GaugeArrowWidth, StaysWithinOneToFive)
{
    EXPECT_EQ(gauge::ClampArrowWidth(-3), 1);
    EXPECT_EQ(gauge::ClampArrowWidth(0), 1);
    EXPECT_EQ(gauge::ClampArrowWidth(1), 1);
    EXPECT_EQ(gauge::ClampArrowWidth(3), 3);
    EXPECT_EQ(gauge::ClampArrowWidth(5), 5);
    EXPECT_EQ(gauge::ClampArrowWidth(9), 5);
}

struct NoticeCase
{
    const char *what;
    double position;
    double indMinimum;
    double indMaximum;
    bool overMax;
    bool overMin;
    bool inOk;
};

class GaugeNotices : public ::testing::TestWithParam<NoticeCase>
{
};

TEST_P(GaugeNotices, FollowTheRangeLimits)
{
    const NoticeCase &c = GetParam();
    const gauge::RangeNotices n = gauge::NoticesFor(c.position, c.indMinimum, c.indMaximum);
    EXPECT_EQ(n.overMax, c.overMax) << c.what;
    EXPECT_EQ(n.overMin, c.overMin) << c.what;
    EXPECT_EQ(n.inOkRange, c.inOk) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Positions, GaugeNotices,
    ::testing::Values(NoticeCase{"at the upper limit", 80.0, 30.0, 80.0, true, false, false},
                      NoticeCase{"at the lower limit", 30.0, 30.0, 80.0, false, true, false},
                      NoticeCase{"inside", 50.0, 30.0, 80.0, false, false, true},
                      NoticeCase{"above", 120.0, 30.0, 80.0, true, false, false},
                      NoticeCase{"below", -5.0, 30.0, 80.0, false, true, false},
                      NoticeCase{"main window's crossed limits", 4.0, 10.0, 0.0, true, true, false}));

} // namespace
