#include "views/instruments/BarDisplay.h"
#include "main_window_fixture.h"
#include "app/number_pictures.h"
#include "views/monitor/monitor_view.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {

using Scan = MainWindowTest;

QString fieldText(Tmain_Form &form, const char *name)
{
    return form.findChild<QLineEdit *>(QString::fromLatin1(name))->text();
}

} // namespace

TEST_F(Scan, HealthyTransmitterFillsPanelMemoryMapAndChangesLeft)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(waitFor([this] { return memory->cell_text(1, 3) != QString(); }));
    EXPECT_EQ(fieldText(*form, "scaling_Ed"), QStringLiteral("0.000...10.000 PA"));
    EXPECT_EQ(fieldText(*form, "uniquecode_ed"), QStringLiteral("F01234E07P0056"));
    EXPECT_EQ(fieldText(*form, "dev_status_ed"), QStringLiteral("Normal Mode"));
    EXPECT_EQ(child<QComboBox>("slaveaddr_combo")->currentText(), QStringLiteral("0x28"));
    EXPECT_EQ(text("changes_left"), QStringLiteral("Three more changes of slave address left."));
    EXPECT_FALSE(child<QToolButton>("change_addr_btn")->isEnabled()) << "no new address picked yet";
    EXPECT_EQ(child<QComboBox>("new_slaveaddr_combo")->currentIndex(), -1) << "not 0x00 by accident";
    pickNewAddress("0x30");
    EXPECT_TRUE(child<QToolButton>("change_addr_btn")->isEnabled());
    EXPECT_EQ(table->Get_addr_left(), QStringLiteral("3"));
    EXPECT_EQ(memory->cell_text(2, 3), QStringLiteral("0x04D2")) << "Cust_ID1 in the memory map";
    auto *bar = child<TBarDisplay>("pressure_bar");
    EXPECT_EQ(bar->GetScale_Min(), -1.0);
    EXPECT_EQ(bar->GetScale_Max(), 11.0);
    EXPECT_TRUE(waitFor([this] { return !fieldText(*form, "pressuredisplay").startsWith(u'-'); }))
        << "the scan's measurement is shown";
}

TEST_F(Scan, BeforeTheFirstScanTheStatusIsAsEmptyAsTheOtherFields)
{
    // Shown, translated, and the deferred start-up has not run the scan yet.
    EXPECT_EQ(fieldText(*form, "dev_status_ed"), QStringLiteral("-------"));
    EXPECT_EQ(text("changes_left"), QStringLiteral("************"));
    EXPECT_TRUE(waitFor([this] { return fieldText(*form, "dev_status_ed") == QStringLiteral("Normal Mode"); }));
}

TEST_F(Scan, UnpluggingEmptiesThePanel)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 1));
    ASSERT_TRUE(waitFor([this] { return fieldText(*form, "scaling_Ed") == QStringLiteral("-------"); }));
    for (const char *name : {"calibrationdate_ed", "uniquecode_ed", "dev_status_ed", "pressuredisplay", "Temperaturedisplay"})
        EXPECT_EQ(fieldText(*form, name), QStringLiteral("-------")) << name;
    EXPECT_EQ(child<QComboBox>("slaveaddr_combo")->count(), 0);
    EXPECT_EQ(text("changes_left"), QStringLiteral("************"));
    EXPECT_FALSE(child<QToolButton>("change_addr_btn")->isEnabled());
    EXPECT_EQ(TColorToQColor(child<TShape>("led_Shape")->Get_brush_color()), QColor(255, 0, 0));
    EXPECT_TRUE(memory->cell_text(1, 3).isEmpty()) << "grid cleared";

    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 0));
    EXPECT_TRUE(waitFor([this] { return fieldText(*form, "scaling_Ed") != QStringLiteral("-------"); }));
}

namespace {

struct PanelCase {
    const char *name;
    const char *scenario;
    const char *changesLeft;
    bool buttonEnabled;
    const char *addrLeft;
    double barMax;
};

class ScanPanel : public MainWindowTest, public ::testing::WithParamInterface<PanelCase>
{
protected:
    std::string scenario() override { return scenarioFile(GetParam().scenario); }
};

} // namespace

TEST_P(ScanPanel, ChangesLeftAndRanges)
{
    const PanelCase &c = GetParam();
    ASSERT_TRUE(waitFor([this] { return fieldText(*form, "dev_status_ed") != QStringLiteral("-------") &&
                                        !fieldText(*form, "dev_status_ed").isEmpty() &&
                                        text("changes_left") != QStringLiteral("************"); }));
    ASSERT_TRUE(waitFor([&] { return text("changes_left") == QString::fromUtf8(c.changesLeft); }))
        << text("changes_left").toStdString();
    if (child<QComboBox>("new_slaveaddr_combo")->count() > 0)
        pickNewAddress("0x30");
    EXPECT_EQ(child<QToolButton>("change_addr_btn")->isEnabled(), c.buttonEnabled);
    EXPECT_EQ(table->Get_addr_left(), QString::fromLatin1(c.addrLeft));
    if (c.barMax > 0) {
        EXPECT_EQ(child<TBarDisplay>("pressure_bar")->GetScale_Max(), c.barMax);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Transmitters, ScanPanel,
    ::testing::Values(
        PanelCase{"lastPage", "[transmitter.t]\naddress = 0x28\npage = 3\n", "Change of address not possible!", false,
                  "0", 0},
        PanelCase{"twoPagesLeft", "[transmitter.t]\naddress = 0x28\npage = 1\n", "Two more changes of slave address left.",
                  true, "2", 0},
        PanelCase{"onePageLeft", "[transmitter.t]\naddress = 0x28\npage = 2\n", "One change of slave address left.",
                  true, "1", 0},
        PanelCase{"blank", "[transmitter.t]\naddress = 0x28\ncalibrated = false\n",
                  "Device NOT calibrated! Change of address not possible!", false, "------", 0},
        PanelCase{"range25", "[transmitter.t]\naddress = 0x28\nrange = 0 25\n", "Three more changes of slave address left.",
                  true, "3", 27.0}),
    [](const auto &info) { return std::string(info.param.name); });

namespace {

class TwoTransmitters : public MainWindowTest
{
protected:
    std::string scenario() override
    {
        return scenarioFile("[transmitter.high]\naddress = 0x40\n[transmitter.low]\naddress = 0x28\n");
    }
};

} // namespace

TEST_F(TwoTransmitters, BothListedTheLowestSelected)
{
    ASSERT_TRUE(waitForScan());
    auto *combo = child<QComboBox>("slaveaddr_combo");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("0x28"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("0x40"));
    EXPECT_EQ(combo->currentText(), QStringLiteral("0x28"));
}

namespace {

class NoAdapter : public MainWindowTest
{
protected:
    std::string scenario() override { return scenarioFile("[adapter]\nplugged = false\n[transmitter.t]\naddress = 0x28\n"); }
};

class SilentAdapter : public MainWindowTest
{
protected:
    std::string scenario() override { return scenarioFile("[adapter]\ndrop_answers = true\n"); }
};

class MemoryError : public MainWindowTest
{
protected:
    std::string scenario() override { return scenarioFile("[transmitter.t]\naddress = 0x28\nchecksum = bad\n"); }
};

class HeldBus : public MainWindowTest
{
protected:
    std::string scenario() override
    {
        return scenarioFile("[adapter]\narbitration_lost = true\n[transmitter.t]\naddress = 0x28\n");
    }
};

} // namespace

// A transmitter whose memory is damaged (as after a write cut short) never looks like success:
// the lamp stays red through the scan's measurements, and the status bar names the way back.
TEST_F(MemoryError, TheStatusBarSaysSoAndTheLampStaysRed)
{
    ASSERT_TRUE(waitForScan());
    const QString hint =
        QStringLiteral("The transmitter reports a memory error: write its before-image back from File, Re-addressing journal");
    ASSERT_TRUE(waitFor([&] { return text("status_middle_label") == hint; })) << text("status_middle_label").toStdString();
    EXPECT_EQ(text("status_left_label"), QStringLiteral("Error"));
    // Several scan cycles, each with its measurement.
    for (int i = 0; i < 6; ++i) {
        QTest::qWait(250);
        EXPECT_EQ(TColorToQColor(child<TShape>("led_Shape")->Get_brush_color()), QColor(255, 0, 0)) << i;
    }
    EXPECT_TRUE(fieldText(*form, "dev_status_ed").contains(QStringLiteral("Memory Error")));
}

// Another master on the bus is no empty bus and no broken adapter: the user is told which.
TEST_F(HeldBus, TheStatusBarSaysTheBusIsHeld)
{
    ASSERT_TRUE(waitFor([this] {
        return text("status_middle_label") ==
               QStringLiteral("The I2C bus is held: the IO-Warrior adapter loses arbitration on it");
    }, 8000)) << text("status_middle_label").toStdString();
    EXPECT_EQ(text("status_left_label"), QStringLiteral("Error"));
    EXPECT_EQ(fieldText(*form, "scaling_Ed"), QStringLiteral("-------"));
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_ARBITRATION_LOST, 0));
    EXPECT_TRUE(waitForScan()) << "the bus free again, the scan finds the transmitter";
}

TEST_F(NoAdapter, TheStatusBarSaysWhyAndARunCannotStart)
{
    ASSERT_TRUE(waitFor([this] { return text("status_middle_label") == QStringLiteral("No IO-Warrior adapter found"); }));
    EXPECT_EQ(text("status_left_label"), QStringLiteral("Error"));
    EXPECT_EQ(fieldText(*form, "scaling_Ed"), QStringLiteral("-------"));
    EXPECT_FALSE(child<QPushButton>("start_btn")->isEnabled());
    emit child<TMonitorView>("monitor")->start_clicked(); // as a shortcut would
    QTest::qWait(300);
    EXPECT_FALSE(form->session().meas_running()) << "a run without a transmitter";
    EXPECT_TRUE(form->session().scan_running());
    // Plugged in: the scan finds the transmitter without any action of the user.
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 0));
    EXPECT_TRUE(waitForScan());
    EXPECT_TRUE(waitFor([this] { return child<QPushButton>("start_btn")->isEnabled(); }));
    // Unplugged again: what the panel no longer shows cannot be measured.
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 1));
    EXPECT_TRUE(waitFor([this] { return !child<QPushButton>("start_btn")->isEnabled(); }, 8000));
}

// What the user waits for is a few requests, each with the short time-out of a probe, not a
// round of retries: the report comes with the third unanswered I2C request.
TEST_F(SilentAdapter, IsReportedAfterItsThirdUnansweredRequest)
{
    ASSERT_TRUE(waitFor([this] { return text("status_middle_label") == QStringLiteral("The IO-Warrior adapter does not answer"); },
                        8000));
    int requests = 0;
    for (const iowsim_report &report : sim.takeTraffic())
        requests += report.direction == IOWSIM_TO_ADAPTER && report.pipe == IOW_PIPE_SPECIAL_MODE &&
                    (report.data[0] == 0x02 || report.data[0] == 0x03);
    EXPECT_EQ(requests, 3);
}
