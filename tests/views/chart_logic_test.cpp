// Rules of the monitor chart without widgets: ranges, modes, limits, labels, steps, time labels,
// gradient directions, the number-entry key filter and the lock pictures.
#include "chart_axes.h"
#include "chart_gradient.h"
#include "chart_time.h"
#include "input_fields.h"
#include "locale_guard.h"
#include "lock_pictures.h"
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

TEST(ChartGradient, EveryEntryNamesItsDirection)
{
    const QStringList labels = chart_gradient::entry_labels();
    ASSERT_EQ(labels.size(), 10);
    QStringList sorted = labels;
    sorted.sort();
    EXPECT_EQ(labels, sorted) << "alphabetical";
    const struct {
        const char *label;
        int code;
    } expected[] = {{"Top Bottom", 0},    {"Bottom Top", 1},       {"Left Right", 2},        {"Right Left", 3},
                    {"From Center", 4},   {"From Top Left", 5},    {"From Bottom Left", 6},  {"Radial", 7},
                    {"Diagonal Up", 8},   {"Diagonal Down", 9}};
    for (const auto &e : expected) {
        const int entry = int(labels.indexOf(QString::fromLatin1(e.label)));
        ASSERT_GE(entry, 0) << e.label;
        EXPECT_EQ(chart_gradient::code_of_entry(entry), e.code) << e.label;
        EXPECT_EQ(chart_gradient::entry_of_code(e.code), entry) << e.label;
    }
    EXPECT_EQ(chart_gradient::code_of_entry(10), -1);
    EXPECT_EQ(chart_gradient::entry_of_code(42), chart_gradient::entry_of_code(0));
}

TEST(ChartGradient, StartColourWhereTheDirectionBegins)
{
    // Where each direction starts (t = 0) and ends (t = 1), as x, y fractions from the top left.
    const struct {
        int code;
        double sx, sy, ex, ey;
    } cases[] = {{0, 0.5, 0, 0.5, 1}, {1, 0.5, 1, 0.5, 0}, {2, 0, 0.5, 1, 0.5}, {3, 1, 0.5, 0, 0.5},
                 {4, 0.5, 0.5, 0, 0}, {5, 0, 0, 1, 1},     {6, 0, 1, 1, 0},     {7, 0.5, 0.5, 1, 1},
                 {8, 0, 1, 1, 0},     {9, 0, 0, 1, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_NEAR(chart_gradient::position(c.code, c.sx, c.sy), 0.0, 1e-12);
        EXPECT_NEAR(chart_gradient::position(c.code, c.ex, c.ey), 1.0, 1e-12);
    }
    // From the centre outwards is rectangular; radial is round.
    EXPECT_NEAR(chart_gradient::position(4, 1.0, 0.5), 1.0, 1e-12);
    EXPECT_LT(chart_gradient::position(7, 1.0, 0.5), 0.75);

    const chart_gradient::Colors colors{0x0000FF, 0x00FF00, 0xFF0000}; // red, green, blue
    EXPECT_EQ(chart_gradient::color_at(colors, 0.0), qRgb(255, 0, 0));
    EXPECT_EQ(chart_gradient::color_at(colors, 0.5), qRgb(0, 255, 0));
    EXPECT_EQ(chart_gradient::color_at(colors, 1.0), qRgb(0, 0, 255));
    EXPECT_EQ(chart_gradient::color_at(colors, 0.25), qRgb(128, 128, 0));
    const QImage picture = chart_gradient::image(QSize(9, 5), colors, chart_gradient::TopBottom);
    EXPECT_EQ(picture.pixel(4, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture.pixel(0, 2), qRgb(0, 255, 0));
    EXPECT_EQ(picture.pixel(8, 4), qRgb(0, 0, 255));
}

TEST(InputFields, KeyFilter)
{
    const struct {
        QChar typed;
        const char *text;
        QChar separator;
        bool swallowed;
    } cases[] = {{u'.', "1.5", u'.', true},    {u'-', "1.5", u'.', false},  {u'a', "1.5", u'.', true},
                 {u'7', "1.5", u'.', false},   {u'\b', "1.5", u'.', false}, {u'-', "-1.5", u'.', true},
                 {u'-', "1-", u'.', true},     {u'.', "15", u'.', false},   {u',', "15", u'.', true},
                 {u',', "15", u',', false},    {u',', "1,5", u',', true},   {u'.', "1,5", u',', true},
                 {u'+', "", u'.', true},       {u' ', "", u'.', true},      {QChar(0x00B2), "", u'.', true},
                 {QChar(0x0663), "", u'.', true}, {QChar(0x2212), "", u'.', true}, {QChar(13), "1", u'.', true}};
    for (const auto &c : cases)
        EXPECT_EQ(input_fields::filter_numeric_key(c.typed, QString::fromLatin1(c.text), c.separator), c.swallowed)
            << "typed U+" << std::hex << c.typed.unicode() << " into \"" << c.text << "\"";
}

TEST(InputFields, LimitsReadLenientlyIncrementsStrictly)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    double value = -7.0;
    EXPECT_TRUE(input_fields::read_limit(QStringLiteral("2,5"), value));
    EXPECT_DOUBLE_EQ(value, 2.5);
    EXPECT_TRUE(input_fields::read_limit(QStringLiteral("-0.75"), value));
    EXPECT_DOUBLE_EQ(value, -0.75);
    value = 4.0;
    for (const char *bad : {"-", "", "1.2.3"}) {
        EXPECT_FALSE(input_fields::read_limit(QString::fromLatin1(bad), value)) << bad;
        EXPECT_DOUBLE_EQ(value, 4.0) << "unchanged";
    }
    EXPECT_TRUE(input_fields::read_increment(QStringLiteral("0.002"), value));
    EXPECT_DOUBLE_EQ(value, 0.002);
    EXPECT_TRUE(input_fields::read_increment(QStringLiteral("0"), value));
    EXPECT_DOUBLE_EQ(value, 0.0);
    for (const char *bad : {"0,002", "-", "", "1,000.5"})
        EXPECT_FALSE(input_fields::read_increment(QString::fromLatin1(bad), value)) << bad;
    LocaleGuard comma(LocaleGuard::commaLocale());
    EXPECT_TRUE(input_fields::read_increment(QStringLiteral("0,002"), value));
    EXPECT_DOUBLE_EQ(value, 0.002);
}

TEST(LockPictures, ThreeDistinctSixteenPixelPictures)
{
    const QImage automatic = lock_pictures::picture(0);
    const QImage manual = lock_pictures::picture(1);
    const QImage locked = lock_pictures::picture(2);
    for (const QImage *p : {&automatic, &manual, &locked}) {
        EXPECT_EQ(p->size(), QSize(16, 16));
        EXPECT_EQ(qAlpha(p->pixel(0, 15)), 0) << "transparent corner";
    }
    EXPECT_NE(automatic, manual);
    EXPECT_NE(manual, locked);
    const auto count = [](const QImage &image, auto test) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += test(QColor::fromRgba(image.pixel(x, y))) ? 1 : 0;
        return n;
    };
    const auto yellow = [](const QColor &c) {
        return c.alpha() > 128 && c.red() > 200 && c.green() > 150 && c.blue() < 80;
    };
    const auto red = [](const QColor &c) {
        return c.alpha() > 128 && c.red() > 150 && c.green() < 80 && c.blue() < 80;
    };
    EXPECT_GT(count(automatic, yellow), 3) << "the spark";
    EXPECT_EQ(count(manual, yellow), 0);
    EXPECT_GT(count(locked, red), 30);
    EXPECT_EQ(count(manual, red), 0);
    EXPECT_FALSE(lock_pictures::picture(3).isNull());
    EXPECT_EQ(qAlpha(lock_pictures::picture(3).pixel(8, 8)), 0);
}
