// One user of the adapter at a time: the re-addressing procedure never shares the bus with a
// worker, whatever the user clicks around it, and the active transmitter is the one picked.
#include "main_window_fixture.h"

#include <QAction>
#include <QComboBox>

namespace {

// Reports of a worker: measurements (0xAC), address probes (2-byte reads) and 5-byte reads.
// The procedure itself only sends commands other than 0xAC and reads 3 bytes.
bool worker_report(const iowsim_report &r)
{
    if (r.direction != IOWSIM_TO_ADAPTER || r.pipe != 1)
        return false;
    if (r.data[0] == 0x02 && (r.data[1] & 0x3F) == 2 && r.data[3] == 0xAC)
        return true;
    return r.data[0] == 0x03 && r.data[1] != 3;
}

class Overlaps : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        // The traffic as it stands when the procedure ends, before anybody else may start.
        QObject::connect(form.get(), &Tmain_Form::readdressed, form.get(), [this](bool) {
            ended = true;
            workerAtEnd = form->session().worker_exists();
            for (const iowsim_report &r : sim.takeTraffic())
                traffic.push_back(r);
        });
    }
    // Worker reports between the first command-mode request and the end of the procedure.
    int workerReportsInProcedure() const
    {
        int count = 0;
        bool inside = false;
        for (const iowsim_report &r : traffic) {
            inside = inside || (r.direction == IOWSIM_TO_ADAPTER && r.data[0] == 0x02 && r.data[3] == 0xA9);
            count += inside && worker_report(r);
        }
        return count;
    }
    bool commandModeSeen() const
    {
        for (const iowsim_report &r : traffic)
            if (r.direction == IOWSIM_TO_ADAPTER && r.data[0] == 0x02 && r.data[3] == 0xA9)
                return true;
        return false;
    }
    // Answers the confirmation with No; the procedure ran with the bus to itself and scanning
    // goes on afterwards.
    void declineAndExpectTheProcedureAlone()
    {
        answerDialogs({7}, nullptr);
        ASSERT_TRUE(waitFor([this] { return ended; }, 15000));
        EXPECT_TRUE(commandModeSeen());
        EXPECT_EQ(workerReportsInProcedure(), 0);
        EXPECT_FALSE(workerAtEnd);
        EXPECT_TRUE(waitFor([this] { return form->session().scan_running(); }));
    }
    void change()
    {
        if (child<QComboBox>("new_slaveaddr_combo")->currentIndex() < 0)
            pickNewAddress("0x30");
        child<QAction>("change_address_Action")->trigger();
    }
    void clickStart() { child<QPushButton>("start_btn")->click(); }
    void clickStop() { child<QPushButton>("stop_btn")->click(); }

    std::vector<iowsim_report> traffic;
    bool ended = false;
    bool workerAtEnd = true;
};

} // namespace

TEST_F(Overlaps, StartThenChangeWithinTheTimerInterval)
{
    ASSERT_TRUE(waitForScan());
    pickNewAddress("0x30");
    ASSERT_TRUE(waitFor([this] { return child<QToolButton>("change_addr_btn")->isEnabled(); }));
    sim.takeTraffic();
    clickStart();
    change(); // the last request wins
    ASSERT_NO_FATAL_FAILURE(declineAndExpectTheProcedureAlone());
    EXPECT_FALSE(form->session().meas_running())
        << "the measurement asked for before is not started behind the user's back";
    EXPECT_TRUE(child<QPushButton>("start_btn")->isVisible());
}

TEST_F(Overlaps, StopThenChange)
{
    ASSERT_TRUE(waitForScan());
    clickStart();
    ASSERT_TRUE(waitFor([this] { return form->session().meas_running(); }));
    sim.takeTraffic();
    clickStop();
    change();
    ASSERT_NO_FATAL_FAILURE(declineAndExpectTheProcedureAlone());
}

TEST_F(Overlaps, ChangeThenCloseStartsNothingAfterTheWindowIsGone)
{
    ASSERT_TRUE(waitForScan());
    change();
    form->close();
    QStringList messages;
    answerDialogs({7}, &messages);
    QTest::qWait(1500);
    EXPECT_FALSE(ended) << "no procedure after the close";
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(commandModeSeen());
    form.reset();
    for (const iowsim_report &r : sim.takeTraffic())
        EXPECT_FALSE(r.direction == IOWSIM_TO_ADAPTER && r.data[0] == 0x02 && r.data[3] == 0xA9);
}

TEST_F(Overlaps, StartTimersFiringWhileTheConfirmationIsOpenDoNothing)
{
    ASSERT_TRUE(waitForScan());
    sim.takeTraffic();
    change();
    bool workerDuringDialog = true;
    answerDialogs({6}, nullptr, [this, &workerDuringDialog](int) {
        // What a user could still reach: the menu's Detect Dongle and the Start button.
        child<QAction>("detect_dongle_Action")->trigger();
        clickStart();
        QTest::qWait(700); // several ticks of every start timer
        workerDuringDialog = form->session().worker_exists();
    });
    ASSERT_TRUE(waitFor([this] { return ended; }, 15000));
    EXPECT_FALSE(workerDuringDialog);
    EXPECT_EQ(workerReportsInProcedure(), 0);
    EXPECT_FALSE(workerAtEnd);
    iowsim_transmitter_info chip{};
    sim.iowsim_get_transmitter(0, &chip);
    EXPECT_EQ(chip.current_page, 1) << "the change went through undisturbed";
    EXPECT_EQ(chip.memory_error, 0);
}

TEST_F(Overlaps, ARefusedMeasureCommandRecordsNothing)
{
    ASSERT_TRUE(waitForScan());
    clickStart();
    ASSERT_TRUE(waitFor([this] { return form->session().meas_running() && table->row_count() > 3; }));
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_COMMAND, 0xAC));
    // The emptied display stays while every measurement fails; the status text does not, as the
    // recovery finds the transmitter and shows its address a few milliseconds later.
    ASSERT_TRUE(waitFor([this] { return child<QLineEdit>("pressuredisplay")->text() == QStringLiteral("-------"); }));
    const int rows = table->row_count();
    QTest::qWait(600);
    EXPECT_EQ(table->row_count(), rows) << "a value the transmitter did not deliver is no measurement";
    EXPECT_EQ(child<QLineEdit>("pressuredisplay")->text(), QStringLiteral("-------"));
    EXPECT_TRUE(form->session().meas_running()) << "the run goes on";
    sim.iowsim_clear_faults();
    EXPECT_TRUE(waitFor([this, rows] { return table->row_count() > rows; }));
    clickStop();
}

namespace {

class TwoOnTheBus : public Overlaps
{
protected:
    std::string scenario() override
    {
        return scenarioFile("[transmitter.high]\naddress = 0x40\nproduct = F02222E03P0044\n"
                            "[transmitter.low]\naddress = 0x28\n");
    }
};

} // namespace

TEST_F(TwoOnTheBus, TheNewAddressListLeavesOutEveryFoundAddress)
{
    ASSERT_TRUE(waitForScan());
    auto *combo = child<QComboBox>("new_slaveaddr_combo");
    EXPECT_EQ(combo->count(), 126);
    EXPECT_EQ(combo->findText(QStringLiteral("0x28")), -1);
    EXPECT_EQ(combo->findText(QStringLiteral("0x40")), -1);
}

TEST_F(TwoOnTheBus, PickingTheOtherTransmitterMakesItTheActiveOne)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(waitFor([this] { return child<QLineEdit>("uniquecode_ed")->text() == QStringLiteral("F01234E07P0056"); }));
    auto *combo = child<QComboBox>("slaveaddr_combo");
    const int index = combo->findText(QStringLiteral("0x40"));
    ASSERT_GE(index, 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    ASSERT_TRUE(waitFor([this] { return child<QLineEdit>("uniquecode_ed")->text() == QStringLiteral("F02222E03P0044"); }))
        << child<QLineEdit>("uniquecode_ed")->text().toStdString();
    EXPECT_EQ(combo->currentText(), QStringLiteral("0x40"));
    EXPECT_EQ(child<QComboBox>("new_slaveaddr_combo")->findText(QStringLiteral("0x28")), -1);
    QTest::qWait(1200);
    EXPECT_EQ(combo->currentText(), QStringLiteral("0x40")) << "the pick survives the next cycles";

    // The run measures and labels the picked transmitter.
    sim.takeTraffic();
    clickStart();
    ASSERT_TRUE(waitFor([this] { return form->session().meas_running() && table->row_count() > 2; }));
    clickStop();
    int measuredAt40 = 0, measuredAt28 = 0;
    for (const iowsim_report &r : sim.takeTraffic())
        if (r.direction == IOWSIM_TO_ADAPTER && r.data[0] == 0x02 && r.data[3] == 0xAC) {
            measuredAt40 += r.data[2] == 0x40 << 1;
            measuredAt28 += r.data[2] == 0x28 << 1;
        }
    EXPECT_GT(measuredAt40, 0);
    EXPECT_EQ(measuredAt28, 0);
    EXPECT_EQ(table->Get_slave_addr(), QStringLiteral("0x40"));
}

// Within the first second no transmitter is known yet: Start does nothing then, and the scan
// that follows is not held up by it.
TEST_F(Overlaps, StartBeforeTheFirstScanWaitsForATransmitter)
{
    EXPECT_FALSE(child<QPushButton>("start_btn")->isEnabled());
    clickStart();
    ASSERT_TRUE(waitForScan());
    EXPECT_FALSE(form->session().meas_running());
    EXPECT_TRUE(form->session().scan_running());
    ASSERT_TRUE(waitFor([this] { return child<QPushButton>("start_btn")->isEnabled(); }));
    clickStart();
    ASSERT_TRUE(waitFor([this] { return form->session().meas_running(); }, 5000));
    EXPECT_TRUE(waitFor([this] { return table->row_count() > 2; }));
    EXPECT_FALSE(form->session().scan_running()) << "the measurement has the adapter to itself";
    child<QPushButton>("stop_btn")->click();
}
