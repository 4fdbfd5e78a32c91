// Time labels and steps of the monitor chart's time axis.
#include "views/chart/chart_time.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

TEST(ChartTime, LabelsShowTheTimeOfDayPart)
{
    constexpr double Hour = 1.0 / 24;
    struct {
        double days;
        const char *text;
    } cases[] = {{0.0, "00:00:00.000"},
                 {1.5 / 86400, "00:00:01.500"},
                 {(3 * 3600 + 25 * 60 + 7.125) / 86400, "03:25:07.125"},
                 {25 * Hour, "01:00:00.000"},
                 {24 * Hour, "00:00:00.000"},
                 {59.9996 / 86400, "00:01:00.000"},
                 {86399.9996 / 86400, "00:00:00.000"},
                 {-6 * Hour, "06:00:00.000"}};
    for (const auto &c : cases)
        EXPECT_EQ(chart_time::elapsed_label(c.days), QString::fromLatin1(c.text)) << c.days;
    EXPECT_EQ(chart_time::elapsed_label(std::nan("")), QString());
    EXPECT_DOUBLE_EQ(chart_time::elapsed_days(43200000), 0.5);
}

TEST(ChartTime, StepsAreReadableTimes)
{
    constexpr double Second = 1.0 / 86400;
    struct {
        double range;
        int labels;
        double step;
    } cases[] = {{10 * Second, 6, 2 * Second},
                 {10 * Second, 10, 1 * Second},
                 {0.05 * Second, 5, 0.01 * Second},
                 {3600 * Second, 6, 600 * Second},
                 {3600 * Second, 3, 1800 * Second},
                 {1.0, 6, 6 * 3600 * Second},
                 {30.0, 6, 5.0},
                 {30.0, 2, 20.0}};
    for (const auto &c : cases)
        EXPECT_NEAR(chart_time::label_step(c.range, c.labels), c.step, c.step * 1e-9) << c.range;
}
