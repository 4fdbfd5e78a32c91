// A measurement run against the simulated adapter: start and stop, chart and table, the lamp,
// the speed slider, a lost adapter and "Clear Chart".
#include "services/utils/ZUtils.h"
#include "views/chart/chart.h"
#include "views/chart/envelope_series.h"
#include "main_window_fixture.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <cmath>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>

namespace {

class Monitor : public MainWindowTest
{
protected:
    TChart *chart() const { return child<TChart>("Chart"); }
    int points() const { return chart()->point_count(TChart::PressureSeries); }
    int tableRows() const { return table->cell_text(1, 0).isEmpty() ? 0 : table->row_count() - 1; }
    QColor lamp() const { return TColorToQColor(child<TShape>("led_Shape")->Get_brush_color()); }
    bool buttonShown(const char *name) const { return !child<QPushButton>(name)->isHidden(); }
    double lastX() const
    {
        const TEnvelopeSeries *series = chart()->series(TChart::PressureSeries);
        return series->key_at(series->dataCount() - 1);
    }
    double firstX() const { return chart()->series(TChart::PressureSeries)->key_at(0); }
    // Every point of both curves is the table's row of the same number.
    void expectSameRows() const
    {
        const TEnvelopeSeries *p = chart()->series(TChart::PressureSeries);
        const TEnvelopeSeries *t = chart()->series(TChart::TemperatureSeries);
        ASSERT_EQ(tableRows(), p->dataCount());
        ASSERT_EQ(t->dataCount(), p->dataCount());
        for (int i = 0; i < p->dataCount(); ++i) {
            EXPECT_EQ(table->cell_text(i + 1, 0), QString::number(i + 1));
            EXPECT_EQ(table->cell_text(i + 1, 4), ZString::FormatFixed(p->value_at(i), table->Get_pressure_digits()));
            EXPECT_EQ(table->cell_text(i + 1, 6),
                      ZString::FormatFixed(t->value_at(i), table->Get_temperature_digits()));
        }
    }

    // Starts a run once the first scan is through and waits until it has shown `count` measurements.
    void startRun(int count = 3)
    {
        ASSERT_TRUE(waitForScan());
        child<QPushButton>("start_btn")->click();
        ASSERT_TRUE(waitFor([this] { return form->session().meas_running(); }));
        ASSERT_TRUE(waitFor([this, count] { return points() >= count; }));
    }
    // Points shown within `ms` from now.
    int pointsWithin(int ms)
    {
        const int before = points();
        QTest::qWait(ms);
        return points() - before;
    }

    static inline const QColor Blue{0, 165, 244};
    static inline const QColor Green{128, 255, 0};
    static inline const QColor Red{255, 0, 0};
};

} // namespace

TEST_F(Monitor, FirstMeasurementShownTurnsTheLampBlueThenItAlternates)
{
    ASSERT_FALSE(form->session().scan_running()) << "within the first second nothing drives the adapter";
    form->update_single_meas({});
    EXPECT_EQ(lamp(), Blue);
    form->update_single_meas({});
    EXPECT_EQ(lamp(), Green);
    form->updateGui_meas({});
    EXPECT_EQ(lamp(), Blue);
}

TEST_F(Monitor, StartWaitsForTheScanWorkerThenFillsChartAndTable)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(form->session().scan_running());
    child<QPushButton>("start_btn")->click();
    EXPECT_FALSE(form->session().meas_running()) << "the scan worker has to end first";
    EXPECT_TRUE(buttonShown("start_btn"));
    EXPECT_FALSE(buttonShown("stop_btn"));
    ASSERT_TRUE(waitFor([this] { return form->session().meas_running(); }));
    EXPECT_FALSE(form->session().scan_running());
    EXPECT_FALSE(buttonShown("start_btn"));
    EXPECT_TRUE(buttonShown("stop_btn"));
    EXPECT_TRUE(child<QToolButton>("change_addr_btn")->isHidden());
    EXPECT_EQ(table->Get_scaling(), QStringLiteral("0.000...10.000 PA"));
    EXPECT_EQ(table->Get_slave_addr(), QStringLiteral("0x28"));
    EXPECT_EQ(table->Get_calib_date(), QStringLiteral("07.04.2019"));
    EXPECT_TRUE(table->findChild<QCheckBox *>(QStringLiteral("time_axis_check"))->isHidden());

    ASSERT_TRUE(waitFor([this] { return points() >= 10; }));
    // Every measurement of the run: a point on each curve and a table row (checked between two of them).
    EXPECT_EQ(chart()->point_count(TChart::TemperatureSeries), points());
    EXPECT_EQ(tableRows(), points());
    EXPECT_EQ(text("status_left_label"), QStringLiteral("Measuring"));
    EXPECT_EQ(text("status_middle_label"), QStringLiteral("Active"));
    EXPECT_GE(firstX(), 0.0);
    EXPECT_LT(firstX(), 2.0 / 86400) << "elapsed days since the start";
    EXPECT_GT(lastX(), firstX());
    const double pressure = chart()->series(TChart::PressureSeries)->value_at(0);
    EXPECT_GT(pressure, 0.0);
    EXPECT_EQ(table->cell_text(1, 4), ZString::FormatFixed(pressure, table->Get_pressure_digits()));
    EXPECT_EQ(child<QLineEdit>("pressuredisplay")->text().isEmpty(), false);
    // In automatic mode the left axis holds every pressure shown.
    const QCPRange left = chart()->left_axis()->range();
    const TEnvelopeSeries *series = chart()->series(TChart::PressureSeries);
    for (int i = 0; i < series->dataCount(); ++i)
        EXPECT_TRUE(left.contains(series->value_at(i))) << series->value_at(i);
}

TEST_F(Monitor, StopTwiceTheSecondPressChangesNothing)
{
    startRun();
    child<QPushButton>("stop_btn")->click();
    EXPECT_TRUE(buttonShown("start_btn"));
    EXPECT_FALSE(buttonShown("stop_btn"));
    EXPECT_EQ(lamp(), Green);
    EXPECT_EQ(text("status_left_label"), QStringLiteral("Measuring"));
    EXPECT_EQ(text("status_middle_label"), QStringLiteral("Stop"));
    EXPECT_FALSE(child<QToolButton>("change_addr_btn")->isHidden());
    EXPECT_FALSE(table->findChild<QCheckBox *>(QStringLiteral("time_axis_check"))->isHidden());

    // Once the worker has ended, a second press finds no run to stop.
    ASSERT_TRUE(waitFor([this] { return !form->session().meas_running(); }));
    form->set_status_middle(QStringLiteral("marker"));
    form->set_led(3);
    child<QPushButton>("stop_btn")->click();
    EXPECT_EQ(text("status_middle_label"), QStringLiteral("marker"));
    EXPECT_EQ(lamp(), Blue);
    EXPECT_TRUE(buttonShown("start_btn"));
    ASSERT_TRUE(waitFor([this] { return form->session().scan_running(); })) << "scanning again";
    const int after = points();
    QTest::qWait(700);
    EXPECT_EQ(points(), after) << "a scan adds nothing to the chart";
}

TEST_F(Monitor, SliderChangesThePaceOfTheRunningWorker)
{
    auto *slider = child<QSlider>("TrackBar1");
    EXPECT_EQ(slider->minimum(), 10);
    EXPECT_EQ(slider->maximum(), 1000);
    EXPECT_EQ(slider->value(), 10);
    startRun();
    EXPECT_GE(pointsWithin(600), 8) << "every 10 ms plus the transaction";
    slider->setValue(1000);
    // The wait under way ends first; from the next one on a second passes between two points.
    const int from = points();
    ASSERT_TRUE(waitFor([&] { return points() > from + 1; }, 3000));
    EXPECT_LE(pointsWithin(2500), 3);
    slider->setValue(10);
    const int back = points();
    ASSERT_TRUE(waitFor([&] { return points() > back + 1; }, 3000));
    EXPECT_GE(pointsWithin(600), 8);
}

namespace {

struct LostLink {
    const char *name;
    int transmitter; // -1: the adapter
    iowsim_fault fault;
};

void PrintTo(const LostLink &link, std::ostream *os)
{
    *os << link.name;
}

class LinkLostDuringARun : public Monitor, public ::testing::WithParamInterface<LostLink>
{
};

} // namespace

TEST_P(LinkLostDuringARun, ShowsCommunicationErrorAndTheRunRecovers)
{
    const LostLink link = GetParam();
    startRun();
    ASSERT_TRUE(sim.iowsim_set_fault(link.transmitter, link.fault, 1));
    ASSERT_TRUE(waitFor([this] { return text("status_middle_label") == QStringLiteral("Communication Error"); }));
    EXPECT_EQ(text("status_left_label"), QStringLiteral("Measuring"));
    EXPECT_TRUE(form->session().meas_running()) << "the run goes on";
    ASSERT_TRUE(waitFor([this] { return lamp() == Red; }));
    const int during = points();

    ASSERT_TRUE(sim.iowsim_set_fault(link.transmitter, link.fault, 0));
    ASSERT_TRUE(waitFor([&] { return points() >= during + 5; }, 10000));
    ASSERT_TRUE(waitFor([this] { return text("status_middle_label") == QStringLiteral("Active"); }));
    EXPECT_TRUE(waitFor([this] { return !child<QLineEdit>("pressuredisplay")->text().startsWith(u'-'); }));
    EXPECT_TRUE(
        waitFor([this] { return child<QLineEdit>("scaling_Ed")->text() == QStringLiteral("0.000...10.000 PA"); }));
    EXPECT_TRUE(form->session().meas_running());
}

INSTANTIATE_TEST_SUITE_P(Faults, LinkLostDuringARun,
                         ::testing::Values(LostLink{"AdapterUnplugged", -1, IOWSIM_FAULT_UNPLUGGED},
                                           LostLink{"TransmitterRemoved", 0, IOWSIM_FAULT_REMOVED}),
                         [](const ::testing::TestParamInfo<LostLink> &info) { return info.param.name; });

TEST_F(Monitor, HiddenCurveKeepsCollectingPoints)
{
    startRun();
    auto *check = child<QCheckBox>("p_check");
    check->click();
    EXPECT_FALSE(chart()->series(TChart::PressureSeries)->visible());
    EXPECT_TRUE(chart()->series(TChart::TemperatureSeries)->visible());
    const int hidden_at = points();
    ASSERT_TRUE(waitFor([&] { return points() >= hidden_at + 5; }));
    check->click();
    EXPECT_TRUE(chart()->series(TChart::PressureSeries)->visible());
    EXPECT_EQ(points(), chart()->point_count(TChart::TemperatureSeries)) << "the whole curve is back";
    child<QCheckBox>("t_Check")->click();
    EXPECT_FALSE(chart()->series(TChart::TemperatureSeries)->visible());
}

TEST_F(Monitor, RestartContinuesTheTimeAxisUntilTheChartIsCleared)
{
    startRun();
    child<QPushButton>("stop_btn")->click();
    ASSERT_TRUE(waitFor([this] { return form->session().scan_running(); }));
    QTest::qWait(1200);
    const int before = points();
    child<QPushButton>("start_btn")->click();
    ASSERT_TRUE(waitFor([&] { return points() > before; }));
    EXPECT_GT(chart()->series(TChart::PressureSeries)->key_at(before), 1.2 / 86400) << "the same time origin";
    // The runs are not joined by a line; the table has no row for the gap.
    EXPECT_FALSE(chart()->store()->joined(size_t(before - 1), size_t(before)));
    EXPECT_EQ(tableRows(), points()) << "the table keeps its rows too";
    expectSameRows();

    child<QPushButton>("stop_btn")->click();
    ASSERT_TRUE(waitFor([this] { return form->session().scan_running(); }));
    QTest::qWait(1200);
    child<QPushButton>("clear_btn")->click();
    EXPECT_EQ(points(), 0);
    EXPECT_EQ(chart()->point_count(TChart::TemperatureSeries), 0);
    EXPECT_EQ(table->row_count(), 2);
    EXPECT_EQ(tableRows(), 0);
    child<QPushButton>("start_btn")->click();
    ASSERT_TRUE(waitFor([&] { return points() > 0; }));
    EXPECT_LT(firstX(), 0.8 / 86400) << "a new origin";
    expectSameRows();
    EXPECT_EQ(table->cell_text(1, 2), QStringLiteral("00:00:00.000")) << "the table's time starts again too";
}

TEST_F(Monitor, ClearDuringARunStartsANewTimeOriginAndTheTableStillNamesTheTransmitter)
{
    startRun();
    QTest::qWait(1200);
    const QString scaling = child<QLineEdit>("scaling_Ed")->text();
    child<QPushButton>("clear_btn")->click();
    EXPECT_EQ(tableRows(), 0);
    ASSERT_TRUE(waitFor([this] { return points() >= 2; }));
    EXPECT_LT(firstX(), 0.5 / 86400) << "the next point starts a new time axis";
    EXPECT_EQ(table->Get_scaling(), scaling);
    EXPECT_EQ(table->Get_slave_addr(), QStringLiteral("0x28"));
    EXPECT_EQ(table->Get_dev_status(), QStringLiteral("Normal Mode"));
    EXPECT_EQ(table->Get_unique_code(), QStringLiteral("F01234E07P0056"));
    EXPECT_EQ(table->Get_addr_left(), QStringLiteral("3"));

    // Stopped and started again without a clear: the same axis, not joined by a line.
    child<QPushButton>("stop_btn")->click();
    ASSERT_TRUE(waitFor([this] { return form->session().scan_running(); }));
    const int before = points();
    const double lastOfFirstRun = lastX();
    child<QPushButton>("start_btn")->click();
    ASSERT_TRUE(waitFor([&] { return points() > before + 1; }));
    const TMeasurementStore &store = *chart()->store();
    EXPECT_FALSE(store.joined(size_t(before - 1), size_t(before))) << "the new run starts a new line";
    EXPECT_TRUE(store.joined(0, size_t(before - 1))) << "the first run is one line";
    EXPECT_GT(store.key(size_t(before)), lastOfFirstRun);
    EXPECT_EQ(tableRows(), points()) << "a gap is no row of the table";
}

TEST_F(Monitor, TheSliderShowsItsInterval)
{
    auto *slider = child<QSlider>("TrackBar1");
    EXPECT_EQ(text("speed_value_Label"), QStringLiteral("%1 ms").arg(slider->value()));
    slider->setValue(250);
    EXPECT_EQ(text("speed_value_Label"), QStringLiteral("250 ms"));
    slider->setValue(1000);
    EXPECT_EQ(text("speed_value_Label"), QStringLiteral("1000 ms"));
}
