// Value-axis rules of the monitor chart: ranges, modes, limits, label formats and steps.
#include "views/chart/chart_axes.h"
#include "qt_printers.h"

#include <cmath>
#include <gtest/gtest.h>

using chart_axes::Range;

namespace {

void ExpectRange(const Range &actual, double min, double max)
{
    EXPECT_NEAR(actual.min, min, 1e-12);
    EXPECT_NEAR(actual.max, max, 1e-12);
}

} // namespace

TEST(ChartAxes, InitialRangesAfterAScan)
{
    struct {
        double pressure;
        double full_scale;
        double min;
        double max;
    } cases[] = {{2.0, 0.1, 1.9, 2.1},   {0.05, 0.1, -0.05, 0.15}, {-0.95, 0.1, -1.0, -0.85},
                 {-1.0, 0.1, -1.0, -0.9}, {5.0, 0.0, 5.0, 5.0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pressure);
        ExpectRange(chart_axes::initial_left_range(c.pressure, c.full_scale), c.min, c.max);
    }
    ExpectRange(chart_axes::initial_right_range(23.0), 22.5, 24.0);
    ExpectRange(chart_axes::initial_right_range(-40.0), -40.5, -39.0);
}

TEST(ChartAxes, RangesOnlyWidenAndNeverShrink)
{
    // A run rising from 2.0 to 3.0 bar on the range of the first scan, [1.9, 2.1].
    chart_axes::Extremes seen;
    Range left{1.9, 2.1};
    int changes = 0;
    for (double p = 2.0; p <= 3.0 + 1e-9; p += 0.25) {
        seen.track(p);
        if (const auto widened = chart_axes::extended_range(left, seen, chart_axes::LeftMarginDivisor)) {
            left = *widened;
            ++changes;
        }
    }
    ExpectRange(left, 1.9, 3.15);
    EXPECT_EQ(changes, 4); // 2.25, 2.5, 2.75 and 3.0 each passed the maximum
    // Falling again changes nothing until below the minimum, then the margin is taken from the value.
    seen.track(2.0);
    EXPECT_FALSE(chart_axes::extended_range(left, seen, chart_axes::LeftMarginDivisor));
    seen.track(-2.0);
    ExpectRange(*chart_axes::extended_range(left, seen, chart_axes::LeftMarginDivisor), -2.1, 3.15);

    // Temperature: a tenth of the value's size, outwards also below zero, so the value stays in view.
    chart_axes::Extremes t;
    t.track(20.0);
    ExpectRange(*chart_axes::extended_range({0.0, 10.0}, t, chart_axes::RightMarginDivisor), 0.0, 22.0);
    t.track(-5.0);
    ExpectRange(*chart_axes::extended_range({0.0, 22.0}, t, chart_axes::RightMarginDivisor), -5.5, 22.0);
    chart_axes::Extremes below_zero;
    below_zero.track(-0.5);
    below_zero.track(-0.9);
    // The reset maximum (one millionth) stays the highest value seen; it lies inside the axis.
    EXPECT_FALSE(chart_axes::extended_range({-1.0, 0.5}, below_zero, 20));
    ExpectRange(*chart_axes::extended_range({-0.8, 0.5}, below_zero, 20), -0.945, 0.5);

    // Reset values: nothing tracked yet widens nothing a sensible axis holds.
    chart_axes::Extremes none;
    none.track(1.0E7);
    none.reset();
    EXPECT_EQ(none.min, 1.0E6);
    EXPECT_EQ(none.max, 1.0E-6);
    EXPECT_FALSE(chart_axes::extended_range({-1.0, 1.0}, none, 20));
}

TEST(ChartAxes, ModesCycleAndWhatEachAllows)
{
    EXPECT_EQ(chart_axes::next_axis_mode(0), 1);
    EXPECT_EQ(chart_axes::next_axis_mode(1), 2);
    EXPECT_EQ(chart_axes::next_axis_mode(2), 0);
    EXPECT_EQ(chart_axes::next_axis_mode(7), 0);
    EXPECT_EQ(chart_axes::next_axis_mode(-1), 0);

    struct {
        int mode;
        bool known, automatic, zoom, pan_vertical, apply_limits, take_focus;
    } cases[] = {{0, true, true, true, true, false, true},
                 {1, true, false, true, true, true, false},
                 {2, true, false, false, false, true, false},
                 {3, false, false, false, false, false, false},
                 {-1, false, false, false, false, false, false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.mode);
        const chart_axes::AxisModeEffect e = chart_axes::axis_mode_effect(c.mode);
        EXPECT_EQ(e.known, c.known);
        EXPECT_EQ(e.automatic, c.automatic);
        EXPECT_EQ(e.zoom, c.zoom);
        EXPECT_EQ(e.pan_vertical, c.pan_vertical);
        EXPECT_EQ(e.apply_limits, c.apply_limits);
        EXPECT_EQ(e.take_focus, c.take_focus);
    }
}

TEST(ChartAxes, ManualLimitsHoldAtTheOtherOne)
{
    ExpectRange(chart_axes::with_min({0.0, 1.0}, 0.5), 0.5, 1.0);
    ExpectRange(chart_axes::with_min({0.0, 1.0}, 2.0), 1.0, 1.0);
    ExpectRange(chart_axes::with_min({0.0, 1.0}, -3.0), -3.0, 1.0);
    ExpectRange(chart_axes::with_max({0.0, 1.0}, 5.0), 0.0, 5.0);
    ExpectRange(chart_axes::with_max({0.0, 1.0}, -1.0), 0.0, 0.0);
}

TEST(ChartAxes, LabelFormatsAndTexts)
{
    EXPECT_EQ(chart_axes::label_format(3), QStringLiteral("###0.###"));
    EXPECT_EQ(chart_axes::label_format(0), QStringLiteral("###0."));
    EXPECT_EQ(chart_axes::format_decimals(QStringLiteral("###0.##")), 2);
    EXPECT_EQ(chart_axes::format_decimals(QStringLiteral("###0")), 0);

    struct {
        double value;
        const char *format;
        const char *text;
    } values[] = {{2.5, "###0.###", "2.5"},     {2.0, "###0.###", "2"},     {0.1 + 0.2, "###0.###", "0.3"},
                  {-1.25, "###0.#", "-1.3"},    {1234.5678, "###0.##", "1234.57"}};
    for (const auto &c : values)
        EXPECT_EQ(chart_axes::format_value(c.value, QString::fromLatin1(c.format), u'.'), QString::fromLatin1(c.text));

    // Whatever the chart wrote first, the label shows the axis's decimals.
    struct {
        const char *label;
        int decimals;
        QChar separator;
        const char *text;
    } labels[] = {{"2", 3, u'.', "2.000"},     {"2.5", 3, u'.', "2.500"},    {"2,5", 3, u'.', "2.500"},
                  {"-0.05", 2, u'.', "-0.05"}, {"7.06", 1, u',', "7,1"},      {"23.15", 0, u'.', "23"},
                  {"123456789", 2, u'.', "1.2345679E8"}, {"abc", 2, u'.', "abc"}};
    for (const auto &c : labels)
        EXPECT_EQ(chart_axes::format_axis_label(QString::fromLatin1(c.label), c.decimals, c.separator),
                  QString::fromLatin1(c.text))
            << c.label;

    // The reserved width grows with longer labels and never shrinks.
    EXPECT_EQ(chart_axes::reserved_label_width(0, 5), 40);
    EXPECT_EQ(chart_axes::reserved_label_width(40, 7), 56);
    EXPECT_EQ(chart_axes::reserved_label_width(56, 3), 56);
}

TEST(ChartAxes, LabelStepGrowsUntilTheLabelsFit)
{
    struct {
        double increment;
        double range;
        int max_labels;
        double step;
    } cases[] = {{0.0, 1.0, 10, 0.0},     {-1.0, 1.0, 10, 0.0},  {0.1, 1.0, 10, 0.1},  {0.001, 1.0, 10, 0.1},
                 {0.001, 0.2, 10, 0.02},  {0.05, 1.5, 10, 0.25},  {0.05, 0.0, 10, 0.05}, {1.0, 1e9, 5, 2e8}};
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.increment << " over " << c.range);
        EXPECT_NEAR(chart_axes::label_step(c.increment, c.range, c.max_labels), c.step, c.step * 1e-9);
    }
}
