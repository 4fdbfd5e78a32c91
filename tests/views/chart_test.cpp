// The monitor chart widget: series, time axis, ranges and scaling, zoom and pan, appearance,
// label hook and coalesced repaints.
#include "views/chart/chart.h"
#include "views/chart/envelope_series.h"
#include "exact_readings.h"
#include "locale_guard.h"
#include "qt_printers.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr double Second = 1.0 / 86400;

class Chart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        chart.resize(640, 400);
        chart.init_series(0xCA6500, 0x1111FF);
        chart.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&chart));
        chart.flush_replot();
    }
    void press(QEvent::Type type, Qt::MouseButton button, QPoint at)
    {
        QMouseEvent event(type, at, chart.mapToGlobal(at), button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                          Qt::NoModifier);
        QApplication::sendEvent(&chart, &event);
    }
    void drag(Qt::MouseButton button, QPoint from, QPoint to)
    {
        press(QEvent::MouseButtonPress, button, from);
        const QPoint middle = (from + to) / 2;
        for (QPoint at : {middle, to}) {
            QMouseEvent move(QEvent::MouseMove, at, chart.mapToGlobal(at), Qt::NoButton, button, Qt::NoModifier);
            QApplication::sendEvent(&chart, &move);
        }
        press(QEvent::MouseButtonRelease, button, to);
    }
    // A point `days` after the time origin, its values on the raw words' steps.
    void add(double days, double pressure, double temperature)
    {
        chart.add_point(std::llround(days * 86400000.0), exact_readings::reading(pressure, temperature));
    }
    QStringList labels(QCPAxis *axis)
    {
        chart.replot();
        return axis->tickVectorLabels();
    }

    TChart chart;
};

} // namespace

TEST_F(Chart, TwoSeriesOnTheirAxesWithLinesAndSquareMarkers)
{
    ASSERT_EQ(chart.plottableCount(), 2);
    const struct {
        int index;
        const char *name;
        QCPAxis *axis;
        QColor color;
    } series[] = {{TChart::PressureSeries, "Pressure", chart.left_axis(), QColor(0x00, 0x65, 0xCA)},
                  {TChart::TemperatureSeries, "Temperature", chart.right_axis(), QColor(0xFF, 0x11, 0x11)}};
    for (const auto &s : series) {
        const TEnvelopeSeries *graph = chart.series(s.index);
        ASSERT_NE(graph, nullptr);
        EXPECT_EQ(graph->name(), QString::fromLatin1(s.name));
        EXPECT_EQ(graph->valueAxis(), s.axis);
        EXPECT_EQ(graph->keyAxis(), chart.bottom_axis());
        EXPECT_EQ(graph->pen().color(), s.color);
        EXPECT_EQ(graph->pen().width(), 2);
        EXPECT_EQ(graph->scatterStyle().shape(), QCPScatterStyle::ssSquare);
        EXPECT_EQ(graph->scatterStyle().size(), 1.0);
        EXPECT_EQ(graph->scatterStyle().brush().color(), s.color);
        EXPECT_EQ(graph->scatterStyle().pen().color(), s.color);
    }
    EXPECT_EQ(chart.left_axis()->label(), QStringLiteral("Pressure [bar]"));
    EXPECT_EQ(chart.right_axis()->label(), QStringLiteral("Temperature [°C]"));
    EXPECT_FALSE(chart.legend->visible());
    // A second start-up replaces the series instead of adding to them.
    chart.init_series(0x0000FF, 0x00FF00);
    EXPECT_EQ(chart.plottableCount(), 2);
    EXPECT_EQ(chart.series(TChart::PressureSeries)->pen().color(), QColor(Qt::red));
    EXPECT_EQ(chart.series(2), nullptr);
}

TEST_F(Chart, BottomAxisFollowsThePointsAndShowsTheTimeOfDay)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    for (int i = 0; i <= 10; ++i)
        add(24.5 / 24 + i * 0.1 / 24, 2.0, 20.0);
    EXPECT_EQ(chart.point_count(TChart::PressureSeries), 11);
    EXPECT_EQ(chart.point_count(TChart::TemperatureSeries), 11);
    EXPECT_NEAR(chart.bottom_axis()->range().lower, 24.5 / 24, 1e-12);
    EXPECT_NEAR(chart.bottom_axis()->range().upper, 25.5 / 24, 1e-12);
    const QStringList texts = labels(chart.bottom_axis());
    EXPECT_TRUE(texts.contains(QStringLiteral("01:00:00.000"))) << texts.join(u' ').toStdString();
    EXPECT_TRUE(texts.contains(QStringLiteral("00:30:00.000"))) << texts.join(u' ').toStdString();

    // Cleared, the next point starts a new span of at least a second.
    chart.clear_series();
    EXPECT_EQ(chart.point_count(TChart::PressureSeries), 0);
    add(3 * Second, 1.0, 1.0);
    EXPECT_NEAR(chart.bottom_axis()->range().lower, 3 * Second, 1e-15);
    EXPECT_NEAR(chart.bottom_axis()->range().size(), Second, 1e-15);
}

TEST_F(Chart, SettingARangeEndsTheAxisAutomaticScaling)
{
    add(0.0, 5.0, 21.0);
    add(Second, 7.0, 25.0);
    chart.set_auto_scaling(chart.right_axis(), true);
    chart.replot();
    EXPECT_EQ(chart.right_axis()->range(), QCPRange(21.0, 25.0)) << "fitted to its series";
    chart.set_axis_range(chart.right_axis(), 0.0, 30.0);
    EXPECT_FALSE(chart.auto_scaling(chart.right_axis()));
    add(2 * Second, 7.0, 40.0);
    chart.replot();
    EXPECT_EQ(chart.right_axis()->range(), QCPRange(0.0, 30.0));
    // A range without width is shown around its value.
    chart.set_axis_range(chart.left_axis(), 3.0, 3.0);
    EXPECT_LT(chart.left_axis()->range().lower, 3.0);
    EXPECT_GT(chart.left_axis()->range().upper, 3.0);
    EXPECT_NEAR(chart.left_axis()->range().center(), 3.0, 1e-12);
}

TEST_F(Chart, RectangleZoomAnimatesAndDraggingLeftUndoesIt)
{
    chart.set_axis_range(chart.left_axis(), 0.0, 10.0);
    add(0.0, 5.0, 20.0);
    add(100 * Second, 5.0, 20.0);
    chart.replot();
    const QRect plot = chart.axisRect()->rect();
    const QRect zoom(plot.left() + plot.width() / 4, plot.top() + plot.height() / 4, plot.width() / 2,
                     plot.height() / 2);
    const double expectedLow = chart.left_axis()->pixelToCoord(zoom.bottom());
    const double expectedHigh = chart.left_axis()->pixelToCoord(zoom.top());
    QSignalSpy replots(&chart, &QCustomPlot::afterReplot);
    drag(Qt::LeftButton, zoom.topLeft(), zoom.bottomRight());
    EXPECT_TRUE(chart.zoomed());
    EXPECT_NE(chart.left_axis()->range().lower, expectedLow) << "not there at once";
    const auto arrived = [&] { return std::fabs(chart.left_axis()->range().lower - expectedLow) < 1e-9; };
    ASSERT_TRUE(QTest::qWaitFor(arrived, 2000));
    EXPECT_GE(replots.count(), 16) << "in steps";
    EXPECT_NEAR(chart.left_axis()->range().lower, expectedLow, 1e-9);
    EXPECT_NEAR(chart.left_axis()->range().upper, expectedHigh, 1e-9);
    EXPECT_NEAR(chart.bottom_axis()->range().size(), 50 * Second, 2 * Second);
    // While zoomed the time axis stays where the user put it.
    add(200 * Second, 5.0, 20.0);
    EXPECT_LT(chart.bottom_axis()->range().upper, 100 * Second);

    drag(Qt::LeftButton, zoom.bottomRight(), zoom.topLeft());
    EXPECT_FALSE(chart.zoomed());
    EXPECT_EQ(chart.left_axis()->range(), QCPRange(0.0, 10.0));
    EXPECT_NEAR(chart.bottom_axis()->range().upper, 200 * Second, 1e-12) << "following the points again";

    chart.set_zoom_allowed(false);
    drag(Qt::LeftButton, zoom.topLeft(), zoom.bottomRight());
    QTest::qWait(300);
    EXPECT_FALSE(chart.zoomed());
    EXPECT_EQ(chart.left_axis()->range(), QCPRange(0.0, 10.0));
}

TEST_F(Chart, RightButtonPansInTheAllowedDirections)
{
    chart.set_axis_range(chart.left_axis(), 0.0, 10.0);
    chart.set_axis_range(chart.right_axis(), 0.0, 30.0);
    add(0.0, 5.0, 20.0);
    add(100 * Second, 5.0, 20.0);
    chart.replot();
    const QPoint centre = chart.axisRect()->rect().center();
    const QCPRange time = chart.bottom_axis()->range();
    drag(Qt::RightButton, centre, centre + QPoint(-60, 40));
    EXPECT_GT(chart.bottom_axis()->range().lower, time.lower) << "dragged left shows later times";
    EXPECT_NEAR(chart.bottom_axis()->range().size(), time.size(), 1e-12);
    EXPECT_GT(chart.left_axis()->range().lower, 0.0) << "dragged down shows higher values";
    EXPECT_NEAR(chart.left_axis()->range().size(), 10.0, 1e-9);
    EXPECT_TRUE(chart.zoomed());
    chart.undo_zoom();

    chart.set_pan_orientations(Qt::Horizontal);
    drag(Qt::RightButton, centre, centre + QPoint(-60, 40));
    EXPECT_EQ(chart.left_axis()->range(), QCPRange(0.0, 10.0));
    EXPECT_EQ(chart.right_axis()->range(), QCPRange(0.0, 30.0));
    EXPECT_GT(chart.bottom_axis()->range().lower, time.lower);
}

// The chart's menu opens on a right click, not on a right drag, and from the keyboard.
TEST_F(Chart, RightClickOpensTheMenuOfItsActionsARightDragPans)
{
    add(0.0, 5.0, 20.0);
    add(100 * Second, 5.0, 20.0);
    chart.replot();
    const QPoint at = chart.axisRect()->rect().center();
    const auto menu = [] { return qobject_cast<QMenu *>(QApplication::activePopupWidget()); };
    const auto closeMenu = [&] {
        menu()->close();
        QTest::qWait(10);
    };

    // Without actions there is nothing to show.
    press(QEvent::MouseButtonPress, Qt::RightButton, at);
    press(QEvent::MouseButtonRelease, Qt::RightButton, at);
    EXPECT_EQ(menu(), nullptr);

    QAction first(QStringLiteral("First")), second(QStringLiteral("Second"));
    chart.addActions({&first, &second});
    press(QEvent::MouseButtonPress, Qt::RightButton, at);
    // The press may still become a pan: the platform's request on the press opens nothing.
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, chart.mapToGlobal(at));
    QApplication::sendEvent(&chart, &request);
    EXPECT_EQ(menu(), nullptr);
    press(QEvent::MouseButtonRelease, Qt::RightButton, at);
    ASSERT_NE(menu(), nullptr);
    EXPECT_EQ(menu()->actions(), (QList<QAction *>{&first, &second}));
    closeMenu();
    EXPECT_EQ(menu(), nullptr);
    EXPECT_FALSE(chart.zoomed()) << "a click moves nothing";

    const QCPRange time = chart.bottom_axis()->range();
    drag(Qt::RightButton, at, at - QPoint(60, 0));
    EXPECT_EQ(menu(), nullptr) << "a pan opens no menu";
    EXPECT_GT(chart.bottom_axis()->range().lower, time.lower);

    QContextMenuEvent key(QContextMenuEvent::Keyboard, at, chart.mapToGlobal(at));
    QApplication::sendEvent(&chart, &key);
    ASSERT_NE(menu(), nullptr);
    closeMenu();
}

// A picture laid out at its own size; the screen keeps its layout and its look.
TEST_F(Chart, PictureOfAnotherSizeLeavesTheScreenAsItWas)
{
    chart.set_axis_range(chart.left_axis(), 0.0, 10.0);
    for (int i = 0; i < 100; ++i)
        add(i * Second, 5.0 + std::sin(i / 10.0), 20.0);
    chart.replot();
    const QImage before = chart.grab().toImage();
    const QRect plot = chart.axisRect()->rect();
    const int offset = chart.bottom_axis()->offset();

    const QSize size(1900, 1300);
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    ASSERT_TRUE(chart.paint_picture(picture, size, false));
    EXPECT_EQ(picture.pixelColor(size.width() - 2, size.height() - 2), QColor(Qt::white)) << "the back panel";
    EXPECT_EQ(chart.axisRect()->rect(), plot);
    EXPECT_EQ(chart.bottom_axis()->offset(), offset);
    chart.replot();
    EXPECT_EQ(chart.grab().toImage(), before);
    EXPECT_FALSE(chart.paint_picture(picture, QSize(0, 10), false));
}

TEST_F(Chart, AppearanceRoundTripAndGradientBackground)
{
    TChartProps props = chart.props();
    EXPECT_EQ(props.left.axis_color, 0xC08000u);
    EXPECT_EQ(props.left.grid_color, 0xFFD784u);
    EXPECT_EQ(props.right.axis_color, 0x4080FFu);
    EXPECT_EQ(props.right.grid_color, 0x91B5FFu);
    props.left.axis_width = 3;
    props.right.axis_width = 40; // held at the field's largest
    props.bottom.ticks_color = 0x0000FF;
    props.bottom.labels_color = 0x00FF00;
    props.right.grid_color = 0xFF0000;
    chart.set_props(props);
    EXPECT_EQ(chart.left_axis()->basePen().width(), 3);
    EXPECT_EQ(chart.right_axis()->basePen().width(), 20);
    EXPECT_EQ(chart.props().right.axis_width, 20);
    EXPECT_EQ(chart.bottom_axis()->tickPen().color(), QColor(Qt::red));
    EXPECT_EQ(chart.bottom_axis()->tickLabelColor(), QColor(Qt::green));
    EXPECT_EQ(chart.right_axis()->grid()->pen().color(), QColor(Qt::blue));

    // Solid: the back panel colour everywhere outside the plot; gradient: top to bottom.
    props.back_color = 0x00FFFF;
    chart.set_props(props);
    chart.replot();
    QImage picture = chart.grab().toImage();
    EXPECT_EQ(QColor(picture.pixel(2, 2)), QColor(Qt::yellow));
    EXPECT_EQ(chart.back_color(), 0x00FFFFu);
    props.gradient = true;
    props.gradient_start = 0x0000FF;
    props.gradient_middle = 0x00FF00;
    props.gradient_end = 0xFF0000;
    props.gradient_direction = 0;
    chart.set_props(props);
    chart.replot();
    picture = chart.grab().toImage();
    const QColor top = picture.pixel(2, 1), bottom = picture.pixel(2, picture.height() - 2);
    EXPECT_GT(top.red(), 200) << "starts red";
    EXPECT_LT(top.blue(), 60);
    EXPECT_GT(bottom.blue(), 200) << "ends blue";
    EXPECT_LT(bottom.red(), 60);
    EXPECT_EQ(chart.back_color(), 0x00FFFFu) << "the solid colour is kept";
}

TEST_F(Chart, LabelHookRewritesValueLabelsAndWidthIsReservedForGood)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    QStringList asked;
    chart.set_label_hook([&](QCPAxis *axis, const QString &label) {
        if (axis == chart.left_axis())
            asked.append(label);
        return QStringLiteral("<") + label + u'>';
    });
    chart.set_value_format(chart.left_axis(), QStringLiteral("###0.#"));
    chart.set_label_step(chart.left_axis(), 0.5);
    chart.set_axis_range(chart.left_axis(), 2.0, 3.0);
    const QStringList texts = labels(chart.left_axis());
    EXPECT_EQ(texts, (QStringList{"<2>", "<2.5>", "<3>"}));
    EXPECT_EQ(asked, (QStringList{"2", "2.5", "3"}));
    EXPECT_TRUE(labels(chart.bottom_axis()).value(0).startsWith(QStringLiteral("00:"))) << "time labels unhooked";

    const int margin = chart.axisRect()->margins().left();
    chart.reserve_label_width(chart.left_axis(), 200);
    chart.replot();
    EXPECT_EQ(chart.reserved_label_width(chart.left_axis()), 200);
    EXPECT_GE(chart.axisRect()->margins().left(), margin + 100);
    chart.reserve_label_width(chart.left_axis(), 10);
    EXPECT_EQ(chart.reserved_label_width(chart.left_axis()), 200) << "never shrinks";
}

TEST_F(Chart, ManyPointsMakeOneRepaintPerFrame)
{
    QSignalSpy replots(&chart, &QCustomPlot::afterReplot);
    for (int i = 0; i < 1000; ++i)
        add(i * Second / 100, 1.0, 2.0);
    EXPECT_EQ(replots.count(), 0) << "nothing drawn inside the calls";
    EXPECT_TRUE(chart.replot_pending());
    ASSERT_TRUE(QTest::qWaitFor([&] { return replots.count() >= 1; }, 1000));
    QTest::qWait(100);
    EXPECT_EQ(replots.count(), 1);
    EXPECT_FALSE(chart.replot_pending());

    // Hidden, the chart waits with its repaint until it is shown again.
    chart.hide();
    add(11 * Second, 1.0, 2.0);
    QTest::qWait(100);
    EXPECT_EQ(replots.count(), 1);
    chart.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return replots.count() == 2; }, 1000));
}

namespace {

bool near_colour(QRgb pixel, QColor colour)
{
    return std::abs(qRed(pixel) - colour.red()) < 40 && std::abs(qGreen(pixel) - colour.green()) < 40 &&
           std::abs(qBlue(pixel) - colour.blue()) < 40;
}

} // namespace

// Ten million points, one of them a single-sample spike: the full view still draws it.
TEST_F(Chart, OneSampleSpikeAmongTenMillionPointsIsDrawnInTheFullView)
{
    chart.set_axis_range(chart.left_axis(), 0.0, 10.0);
    chart.series(TChart::TemperatureSeries)->setVisible(false);
    const std::size_t n = 10000000, spike = 6543210;
    TMeasurementStore &store = *chart.store();
    const TMeasurementStore::Reading calm = exact_readings::reading(1.0, 20.0), peak = exact_readings::reading(9.0, 20.0);
    for (std::size_t i = 0; i < n; ++i)
        store.append(0, std::int64_t(i) * 25, i == spike ? peak : calm);
    chart.points_added();
    const QImage image = chart.toPixmap().toImage();
    const QColor pressure = chart.series(TChart::PressureSeries)->pen().color();
    // Pixels of the pressure colour between 5 and 8.5 bar in a column, give or take one pixel.
    const auto drawn = [&](double key) {
        const int x = int(chart.bottom_axis()->coordToPixel(key));
        const int top = int(chart.left_axis()->coordToPixel(8.5)), bottom = int(chart.left_axis()->coordToPixel(5.0));
        int count = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int y = top; y <= bottom; ++y)
                count += near_colour(image.pixel(x + dx, y), pressure);
        return count;
    };
    EXPECT_GT(drawn(store.key(spike)), 10) << "the spike";
    EXPECT_EQ(drawn(store.key(spike / 2)), 0) << "elsewhere the line stays at 1 bar";
}
