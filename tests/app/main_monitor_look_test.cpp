// The monitor as it looks during a run: chart, gauge, the open settings panel and the table
// window. With ZORBIT_SCREENSHOT_DIR set, the pictures are also written there.
#include "views/chart/chart.h"
#include "main_window_fixture.h"
#include "views/monitor/monitor_view.h"

#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>

namespace {

using MonitorLook = MainWindowTest;

void SaveIfAsked(const QImage &image, const char *name)
{
    const QString dir = qEnvironmentVariable("ZORBIT_SCREENSHOT_DIR");
    if (!dir.isEmpty())
        image.save(dir + u'/' + QString::fromLatin1(name));
}

int PixelsOf(const QImage &image, const QColor &color, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += QColor(image.pixel(x, y)) == color ? 1 : 0;
    return count;
}

} // namespace

TEST_F(MonitorLook, ChartGaugePanelAndTableDuringARun)
{
    ASSERT_TRUE(waitForScan());
    // A full scan cycle, so that the table takes the settled device panel.
    ASSERT_TRUE(waitFor([this] { return child<QLineEdit>("dev_status_ed")->text() == QStringLiteral("Normal Mode"); }));
    child<QPushButton>("start_btn")->click();
    auto *chart = child<TChart>("Chart");
    // Enough of a run for both curves and a table of more than a hundred rows.
    ASSERT_TRUE(waitFor(
        [&] {
            table->update_view();
            return table->row_count() > 100 && chart->point_count(TChart::PressureSeries) > 100;
        },
        60000));
    chart->flush_replot();

    const QImage whole = form->grab().toImage();
    const QRect chartArea(chart->mapTo(form.get(), QPoint(0, 0)), chart->size());
    EXPECT_GT(PixelsOf(whole, TColorToQColor(0x00CA6500), chartArea), 200) << "the pressure curve";
    EXPECT_GT(PixelsOf(whole, TColorToQColor(0x001111FF), chartArea), 200) << "the temperature curve";
    SaveIfAsked(whole, "monitor_chart.png");

    table->show();
    table->update_view();
    QTest::qWait(100);
    const QImage tableLook = table->grab().toImage();
    EXPECT_GT(table->row_count(), 100);
    SaveIfAsked(tableLook, "table_run.png");
    table->hide();

    child<TMonitorView>("monitor")->expand_sidebar();
    auto *panel = child<QTabWidget>("graph_control");
    EXPECT_TRUE(waitFor([panel] { return panel->width() == 280; }, 2000)) << panel->width();
    chart->flush_replot();
    SaveIfAsked(form->grab().toImage(), "chart_panel.png");
    // The other two pages, each control inside the panel.
    const char *pages[] = {"chart_panel_chart_color.png", "chart_panel_axis_color.png"};
    // With the gradient on, so that all of the colour page shows.
    child<QCheckBox>("solid_box")->click();
    for (int page = 1; page <= 2; ++page) {
        panel->setCurrentIndex(page);
        QTest::qWait(50);
        for (QWidget *control : panel->currentWidget()->findChildren<QWidget *>()) {
            if (control->isVisible()) {
                EXPECT_TRUE(panel->rect().contains(QRect(control->mapTo(panel, QPoint(0, 0)), control->size())))
                    << control->objectName().toStdString();
            }
        }
        SaveIfAsked(panel->grab().toImage(), pages[page - 1]);
    }
    panel->setCurrentIndex(0);

    child<QToolButton>("switch_button")->click();
    auto *stack = child<QStackedWidget>("chart_stack");
    EXPECT_TRUE(waitFor([stack] { return stack->currentWidget()->objectName() == QStringLiteral("gauge_page"); }, 2000))
        << stack->currentWidget()->objectName().toStdString();
    SaveIfAsked(form->grab().toImage(), "monitor_gauge.png");
}
