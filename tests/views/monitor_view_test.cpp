// The monitor view on its own, fed with records: a burst of a run's measurements stored at once
// and drawn once, values of a run never drawn over what came after them, the transmitter's range
// on the instruments, the greyed instruments without a device, and its captions.
#include "services/settings/IniHandler.h"
#include "services/utils/ZUtils.h"
#include "views/chart/chart.h"
#include "views/chart/measurement_store.h"
#include "views/instruments/AnalogDisplay.h"
#include "views/instruments/BarDisplay.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/table_export.h"
#include "views/windows/table_view.h"
#include "exact_readings.h"
#include "qt_printers.h"
#include "single_language.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class MonitorView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        view.setup(ini);
        view.init_series();
        view.resize(900, 700);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    template <typename T> T *child(const char *name) const
    {
        T *found = view.findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char *edit) const { return child<QLineEdit>(edit)->text(); }
    TChart *chart() const { return child<TChart>("Chart"); }
    TBarDisplay *bar(const char *name) const { return child<TBarDisplay>(name); }
    TAnalogDisplay *gauge() const { return child<TAnalogDisplay>("AnalogDisplay"); }

    // As the worker delivers it: the values of the raw words in the transmitter's range.
    session::Measurement measurement(int i, bool in_run = true) const
    {
        const TMeasurementStore::Reading r = exact_readings::reading(2.0 + (i % 97) / 1024.0, 20.0 + 0.05 * (i % 13));
        session::Measurement m;
        m.time = t0.addMSecs(10 * i);
        m.address = r.address;
        m.pressure_raw = r.pu16;
        m.temperature_raw = r.tu16;
        m.range_min = r.range_min;
        m.range_max = r.range_max;
        m.pressure = TMeasurementStore::pressure_of(r);
        m.temperature = TMeasurementStore::temperature_of(r);
        m.pressure_text = QString::number(m.pressure, 'f', 3);
        m.temperature_text = QString::number(m.temperature, 'f', 2);
        m.in_run = in_run;
        return m;
    }
    bool waitForDraw() const
    {
        return QTest::qWaitFor([this] { return !view.draw_pending() && !chart()->replot_pending(); }, 2000);
    }

    QTemporaryDir folder;
    TIniHandler ini{folder.path(), folder.path()};
    TMonitorView view;
    const QDateTime t0 = QDateTime(QDate(2026, 3, 1), QTime(12, 0));
};

} // namespace

TEST_F(MonitorView, ABurstIsStoredAtOnceAndDrawnOnceWithTheLastValues)
{
    Ttable_form table(nullptr, &ini);
    table.share_store(view.store());
    view.show_range(0.0, 10.0);
    view.show_measurement(measurement(0, false));
    view.run_started(t0);
    ASSERT_TRUE(waitForDraw());
    const QString shownBefore = text("pressuredisplay");
    const double barBefore = bar("pressure_bar")->GetPosition();
    QSignalSpy replots(chart(), &QCustomPlot::afterReplot);

    constexpr int Count = 500;
    for (int i = 1; i <= Count; ++i) {
        view.add_measurement(measurement(i));
        table.row_recorded(); // as the window does with each one
    }
    // Everything is recorded, nothing is drawn inside the calls.
    EXPECT_EQ(view.store()->size(), size_t(Count));
    EXPECT_EQ(table.cell_text(Count, 0), QString::number(Count));
    const session::Measurement last = measurement(Count);
    EXPECT_EQ(table.cell_text(Count, table_export::PressureRawColumn), QString::number(last.pressure_raw));
    EXPECT_EQ(table.cell_text(Count, table_export::PressureColumn),
              ZString::FormatFixed(last.pressure, table.Get_pressure_digits()));
    // The store keeps the words with the measurement's range and transmitter.
    const TMeasurementStore::Reading stored = view.store()->reading(Count - 1);
    EXPECT_EQ(stored.range_max, last.range_max);
    EXPECT_EQ(stored.address, last.address);
    EXPECT_EQ(view.store()->pressure(Count - 1), last.pressure);
    EXPECT_EQ(replots.count(), 0);
    EXPECT_TRUE(view.draw_pending());
    EXPECT_EQ(text("pressuredisplay"), shownBefore);
    EXPECT_EQ(bar("pressure_bar")->GetPosition(), barBefore);

    ASSERT_TRUE(waitForDraw());
    EXPECT_LE(replots.count(), 1) << "one frame for the whole burst";
    EXPECT_EQ(text("pressuredisplay"), last.pressure_text);
    EXPECT_EQ(text("Temperaturedisplay"), last.temperature_text);
    EXPECT_EQ(text("pu16_ed"), QString::number(last.pressure_raw));
    EXPECT_EQ(text("Tu16_ed"), QString::number(last.temperature_raw));
    EXPECT_EQ(bar("pressure_bar")->GetPosition(), last.pressure);
    EXPECT_EQ(bar("thermometer")->GetPosition(), last.temperature);
    EXPECT_EQ(gauge()->GetPosition(), last.pressure);
    // The ranges widened in that one frame to every value of the burst.
    const QCPRange left = chart()->left_axis()->range();
    EXPECT_LE(left.lower, 2.0);
    EXPECT_GE(left.upper, 2.0 + 96 / 1024.0);
    const QCPRange right = chart()->right_axis()->range();
    EXPECT_LE(right.lower, 20.0);
    EXPECT_GE(right.upper, 20.6);
    EXPECT_DOUBLE_EQ(chart()->bottom_axis()->range().upper, view.store()->key(Count - 1));
}

namespace {

struct LaterShow {
    const char *name;
    void (*show)(TMonitorView &view, const session::Measurement &scan);
    const char *pressure; // the text shown in the end
};

void PrintTo(const LaterShow &c, std::ostream *os)
{
    *os << c.name;
}

class ShownAfterARun : public MonitorView, public ::testing::WithParamInterface<LaterShow>
{
};

} // namespace

// A run's values waiting for their frame are older than what is shown after them.
TEST_P(ShownAfterARun, StaysAfterThePendingFrame)
{
    view.run_started(t0);
    view.add_measurement(measurement(1));
    session::Measurement scan = measurement(2, false);
    scan.pressure_text = QStringLiteral("7.777");
    GetParam().show(view, scan);
    ASSERT_TRUE(waitForDraw());
    EXPECT_EQ(text("pressuredisplay"), QString::fromLatin1(GetParam().pressure));
    EXPECT_EQ(view.store()->size(), 1u) << "the run's point is on the chart all the same";
}

INSTANTIATE_TEST_SUITE_P(
    Shows, ShownAfterARun,
    ::testing::Values(
        LaterShow{"NoDevice", [](TMonitorView &v, const session::Measurement &) { v.show_no_device(); }, "-------"},
        LaterShow{"ScanMeasurement", [](TMonitorView &v, const session::Measurement &m) { v.show_measurement(m); },
                  "7.777"}),
    [](const ::testing::TestParamInfo<LaterShow> &info) { return std::string(info.param.name); });

TEST_F(MonitorView, TheRangeScalesBarAndGaugeAndANewRangeResetsTheBar)
{
    view.show_range(0.0, 10.0);
    TBarDisplay *pressure = bar("pressure_bar");
    EXPECT_EQ(pressure->GetScale_Min(), -1.0);
    EXPECT_EQ(pressure->GetScale_Max(), 11.0) << "a tenth of the range above it";
    EXPECT_EQ(gauge()->GetScaleMin(), 0.0);
    EXPECT_EQ(gauge()->GetScaleMax(), 10.0);
    EXPECT_EQ(gauge()->GetIndMinimum(), 10.0);

    view.show_measurement(measurement(5, false));
    view.show_range(0.0, 10.0);
    EXPECT_EQ(pressure->GetPosition(), measurement(5).pressure) << "the same range keeps the bar";
    view.show_range(-1.0, 1.0);
    EXPECT_EQ(pressure->GetScale_Max(), 1.0);
    EXPECT_EQ(pressure->GetPosition(), 0.0);
    EXPECT_EQ(gauge()->GetScaleMin(), -1.0);
    EXPECT_EQ(gauge()->GetScaleMax(), 1.0);

    // An empty range leaves the gauge as it was.
    view.show_range(3.0, 3.0);
    EXPECT_EQ(gauge()->GetScaleMin(), -1.0);
    EXPECT_EQ(gauge()->GetScaleMax(), 1.0);
}

TEST_F(MonitorView, WithoutADeviceTheInstrumentsAreGreyUntilTheNextMeasurement)
{
    view.show_measurement(measurement(1, false));
    view.show_no_device();
    EXPECT_EQ(text("pressuredisplay"), QStringLiteral("-------"));
    EXPECT_EQ(text("Temperaturedisplay"), QStringLiteral("-------"));
    EXPECT_EQ(gauge()->GetFaceColor(), 0x808080u);
    EXPECT_EQ(gauge()->GetMinColor(), 0xC0C0C0u);
    EXPECT_EQ(bar("pressure_bar")->GetFaceColor(), 0x808080u);
    EXPECT_EQ(bar("thermometer")->GetFaceColor(), 0x808080u);
    // The last value is not kept lit for a redraw (new captions, a style) to show it again.
    for (const char *name : {"pressure_bar", "thermometer"})
        EXPECT_LT(bar(name)->GetPosition(), bar(name)->GetScale_Min()) << name;

    view.show_measurement(measurement(2, false));
    EXPECT_EQ(bar("pressure_bar")->GetPosition(), measurement(2).pressure);
    EXPECT_EQ(text("pressuredisplay"), measurement(2).pressure_text);
    EXPECT_EQ(gauge()->GetFaceColor(), chart()->back_color());
    EXPECT_EQ(gauge()->GetMinColor(), 0x00CA6500u) << "the pressure curve's colour";
    EXPECT_EQ(bar("pressure_bar")->GetFaceColor(), 0xFFFFFFu);
    EXPECT_EQ(bar("thermometer")->GetFaceColor(), 0xFFFFFFu);
}

TEST_F(MonitorView, CaptionsInTheGivenLanguageAlsoForTheSwitchLater)
{
    SingleLanguage language(SingleLanguage::showingKeys({"monitor_Group", "clear_btn", "table",
                                                        "temperature_display_group", "pressure_display_group",
                                                        "switch_chart", "switch_gauge"}));
    view.translateCaptions();
    EXPECT_EQ(child<QGroupBox>("monitor_Group")->title(), QStringLiteral("<monitor_Group>"));
    EXPECT_EQ(child<QPushButton>("clear_btn")->text(), QStringLiteral("<clear_btn>"));
    EXPECT_EQ(child<QPushButton>("table_btn")->text(), QStringLiteral("<table>"));
    EXPECT_EQ(bar("thermometer")->GetCaption(), QStringLiteral("<temperature_display_group>"));
    EXPECT_EQ(gauge()->GetCaption(), QStringLiteral("<pressure_display_group>"));
    EXPECT_EQ(chart()->left_axis()->label(), QStringLiteral("<pressure_display_group>"));
    auto *button = child<QToolButton>("switch_button");
    EXPECT_EQ(button->text(), QStringLiteral("<switch_chart>"));
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("<switch_gauge>"));
    button->click();
    EXPECT_EQ(button->text(), QStringLiteral("<switch_chart>"));
}
