// The monitor chart component on its own: time origin, tracked extremes and automatic ranges
// across runs and clears, and the panel's edits reaching the axes.
#include "services/settings/IniHandler.h"
#include "views/chart/chart.h"
#include "exact_readings.h"
#include "locale_guard.h"
#include "views/chart/monitor_chart.h"
#include "qt_printers.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MonitorChart : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        monitor.init_series();
    }
    QCPRange left() const { return chart.left_axis()->range(); }

    QTemporaryDir folder;
    TIniHandler ini{folder.path(), folder.path()};
    TChart chart;
    TChartPanel panel;
    TMonitorChart monitor{chart, panel, ini};
    const QDateTime t0 = QDateTime(QDate(2026, 3, 1), QTime(12, 0));
};

} // namespace

TEST_F(MonitorChart, RunsShareTheTimeAxisUntilAClear)
{
    monitor.start_run(t0);
    monitor.add_measurement(t0, exact_readings::reading(2.0, 20.0));
    monitor.add_measurement(t0.addSecs(3600), exact_readings::reading(2.0, 20.0));
    monitor.start_run(t0.addSecs(7200)); // stopped and started again: same origin
    monitor.add_measurement(t0.addSecs(7200), exact_readings::reading(2.0, 20.0));
    const TMeasurementStore &store = *chart.store();
    ASSERT_EQ(store.size(), 3u);
    EXPECT_DOUBLE_EQ(store.key(1), 1.0 / 24);
    EXPECT_DOUBLE_EQ(store.key(2), 2.0 / 24);
    EXPECT_FALSE(store.joined(1, 2)) << "the second run is a new line";

    monitor.clear();
    EXPECT_EQ(store.size(), 0u);
    EXPECT_TRUE(monitor.chart_cleared());
    EXPECT_EQ(monitor.pressure_extremes().min, chart_axes::Extremes::ResetMin);
    // A clear during a run: the next point starts a new time axis.
    monitor.add_measurement(t0.addSecs(9000), exact_readings::reading(2.0, 20.0));
    ASSERT_EQ(store.size(), 1u);
    EXPECT_EQ(store.key(0), 0.0);
    EXPECT_EQ(store.pu16(0), exact_readings::reading(2.0, 20.0).pu16);
    EXPECT_EQ(store.tu16(0), exact_readings::reading(2.0, 20.0).tu16);
    EXPECT_EQ(store.pressure(0), 2.0);
    EXPECT_EQ(store.temperature(0), 20.0);
}

TEST_F(MonitorChart, AutomaticRangesOnlyWidenAndOnlyInAutomaticMode)
{
    monitor.set_pressure_full_scale(0.1);
    monitor.initial_ranges(2.0, 20.0);
    EXPECT_NEAR(left().lower, 1.9, 1e-12);
    EXPECT_NEAR(left().upper, 2.1, 1e-12);
    monitor.start_run(t0);
    const double pressures[] = {2.0, 2.5, 3.0, 2.2};
    for (double p : pressures)
        monitor.add_measurement(t0, exact_readings::reading(p, 20.0));
    EXPECT_NEAR(left().upper, 3.15, 1e-12);
    EXPECT_NEAR(left().lower, 1.9, 1e-12) << "2.0 lies inside";
    EXPECT_EQ(monitor.pressure_extremes().max, 3.0);

    // Manual: the limits stand and the values pass untracked.
    monitor.Set_axis_mode(chart_axes::Manual);
    EXPECT_EQ(left(), QCPRange(0.0, 1.0));
    monitor.add_measurement(t0, exact_readings::reading(9.0, 20.0));
    monitor.initial_ranges(9.0, 20.0);
    EXPECT_EQ(left(), QCPRange(0.0, 1.0));
    EXPECT_EQ(monitor.pressure_extremes().max, 3.0);
    monitor.Set_axis_mode(chart_axes::Automatic);
    monitor.add_measurement(t0, exact_readings::reading(2.0, 20.0));
    EXPECT_NEAR(left().upper, 3.15, 1e-12) << "widened from the tracked 3.0, not the untracked 9.0";
}

TEST_F(MonitorChart, PanelEditsReachTheAxes)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    panel.show();
    monitor.expand_sidebar();
    auto *edit = panel.findChild<QLineEdit *>(QStringLiteral("left_max"));
    ASSERT_NE(edit, nullptr);
    edit->setText(QStringLiteral("5"));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(monitor.Get_left_max(), 5.0);
    EXPECT_EQ(left(), QCPRange(0.0, 5.0));
    EXPECT_EQ(monitor.Get_axis_mode(), chart_axes::Manual) << "a typed limit ends the automatic mode";
    EXPECT_FALSE(panel.read().left.automatic);
    EXPECT_FALSE(monitor.Get_axis_automatic());

    panel.findChild<QCheckBox *>(QStringLiteral("left_axis_auto"))->click();
    EXPECT_TRUE(monitor.Get_axis_automatic()) << "the box alone switches the tracking on";
    EXPECT_EQ(monitor.Get_axis_mode(), chart_axes::Manual);
}
