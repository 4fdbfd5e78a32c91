// Gradient directions of the chart background.
#include "views/chart/chart_gradient.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

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
