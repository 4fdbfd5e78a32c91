#include "../services/dialog_driver.h"
#include "main_window_fixture.h"

#include "app/quit_signals.h"
#include "session/session.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <csignal>
#include <unistd.h>

namespace {

QString logText()
{
    QFile file(MainWindowTest::home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

class Readdress : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        logStart = logText().size();
    }
    // What this test added to the log.
    QString newLog() const { return logText().mid(logStart); }

    void pick(const char *address)
    {
        auto *combo = child<QComboBox>("new_slaveaddr_combo");
        const int index = combo->findText(QString::fromLatin1(address));
        ASSERT_GE(index, 0) << address;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void changeAddress()
    {
        if (child<QComboBox>("new_slaveaddr_combo")->currentIndex() < 0)
            pick("0x30");
        ASSERT_TRUE(waitFor([this] { return child<QToolButton>("change_addr_btn")->isEnabled(); }));
        child<QAction>("change_address_Action")->trigger();
    }
    iowsim_transmitter_info chip()
    {
        iowsim_transmitter_info info{};
        sim.iowsim_get_transmitter(0, &info);
        return info;
    }

    qsizetype logStart = 0;
};

} // namespace

TEST_F(Readdress, ListOffersEveryOtherAddressAndKeepsThePick)
{
    ASSERT_TRUE(waitForScan());
    auto *combo = child<QComboBox>("new_slaveaddr_combo");
    ASSERT_EQ(combo->count(), 127);
    EXPECT_EQ(combo->findText(QStringLiteral("0x28")), -1);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("0x00"));
    EXPECT_EQ(combo->itemText(126), QStringLiteral("0x7F"));
    pick("0x30");
    form->show_slaveAddr({{0x28}, 0x28, {}});
    EXPECT_EQ(combo->currentText(), QStringLiteral("0x30")) << "the pick survives a rebuild";
}

TEST_F(Readdress, ConfirmedChangeMovesTheTransmitter)
{
    ASSERT_TRUE(waitForScan());
    pick("0x30");
    QString question;
    answerNextDialog(6, &question);
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("Re-addressing succesfully completed")); }, 15000))
        << newLog().toStdString();
    EXPECT_EQ(question, QStringLiteral("Do you wish to continue with assigning new slave address: 0x30 to device at 0x28 ?"));
    EXPECT_EQ(chip().address, 0x30);
    EXPECT_EQ(chip().current_page, 1);
    EXPECT_EQ(chip().pages[1][0x02], 0x0030) << "COM_Config of the new page";
    EXPECT_EQ(chip().pages[1][0x17], sim.iowsim_checksum(chip().pages[1])) << "the chip made a valid checksum";
    EXPECT_EQ(chip().memory_error, 0);
    for (const char *line : {"IIC-Mode successfully disabled", "Command Mode successfully enabled",
                             "Memory successfully copied", "Verification of memory successfully executed",
                             "Checksum successfully generated", "Successfully switched ON after re-addressing"})
        EXPECT_TRUE(newLog().contains(QString::fromLatin1(line))) << line;
    ASSERT_TRUE(waitFor([this] { return child<QComboBox>("slaveaddr_combo")->currentText() == QStringLiteral("0x30"); }))
        << "the next scan finds it at its new address";
    EXPECT_EQ(child<QComboBox>("new_slaveaddr_combo")->findText(QStringLiteral("0x30")), -1);
    EXPECT_TRUE(waitFor([this] { return text("changes_left") == QStringLiteral("Two more changes of slave address left."); }));
}

TEST_F(Readdress, DecliningWritesNothingAndScansAgain)
{
    ASSERT_TRUE(waitForScan());
    pick("0x31");
    answerNextDialog(7);
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("User canceled re-addressing procedure")); }));
    EXPECT_TRUE(newLog().contains(QStringLiteral("Command Mode successfully enabled")));
    EXPECT_FALSE(newLog().contains(QStringLiteral("Memory successfully copied")));
    EXPECT_EQ(chip().current_page, 0);
    EXPECT_EQ(chip().command_mode, 0) << "power-cycled out of command mode";
    EXPECT_TRUE(waitFor([this] { return form->session().scan_running(); })) << "scanning starts again";
}

TEST_F(Readdress, AnIncompleteImageIsRefusedInWordsAndScanningGoesOn)
{
    ASSERT_TRUE(waitForScan());
    // Every memory read now misses Offset_B, so the image is never complete.
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_READ_AFTER, 0x05));
    // The next cycle's memory read fails and empties the device panel.
    ASSERT_TRUE(waitFor([this] { return child<QLineEdit>("dev_status_ed")->text() == QStringLiteral("-------"); }));
    pick("0x32");
    QString message;
    answerNextDialog(1, &message);
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("Error re-addressing device")); }, 15000));
    const QString reason = QStringLiteral("The memory image was not read completely from this transmitter. Nothing "
                                          "was written; let the scan read it again.");
    EXPECT_TRUE(newLog().contains(QStringLiteral("Re-addressing refused: memory image incomplete")));
    EXPECT_FALSE(newLog().contains(QStringLiteral("Problems to copy memory"))) << "nothing was copied";
    EXPECT_FALSE(newLog().contains(QStringLiteral("Command Mode successfully enabled"))) << "refused before the bus";
    ASSERT_TRUE(waitFor([&message] { return !message.isEmpty(); }));
    EXPECT_EQ(message, QStringLiteral("Re-addressing failed:\n") + reason);
    EXPECT_EQ(chip().current_page, 0) << "no page was opened";
    EXPECT_EQ(chip().address, 0x28);
    EXPECT_EQ(chip().command_mode, 0);
    EXPECT_TRUE(waitFor([this] { return form->session().scan_running(); })) << "the panel shows the transmitter again";
}

namespace {

class ReaddressNoCommandMode : public Readdress
{
protected:
    std::string scenario() override { return scenarioFile("[transmitter.t]\naddress = 0x28\ncommand_window_ms = 0\n"); }
};

} // namespace

TEST_F(ReaddressNoCommandMode, StopsBeforeTheQuestion)
{
    ASSERT_TRUE(waitForScan());
    QString message;
    answerNextDialog(1, &message);
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("Error re-addressing device")); }, 15000));
    EXPECT_TRUE(newLog().contains(QStringLiteral("Problems to enable Command Mode")));
    ASSERT_TRUE(waitFor([&message] { return !message.isEmpty(); }));
    EXPECT_EQ(message, QStringLiteral("Re-addressing failed:\nProblems to enable Command Mode\n"
                                      "The transmitter now answers at 0x28"))
        << "no confirmation was asked";
    EXPECT_TRUE(newLog().contains(QStringLiteral("The transmitter now answers at 0x28")));
    EXPECT_TRUE(waitFor([this] { return form->session().scan_running(); })) << "scanning starts again after a failure";
    // Detect Dongle still works afterwards.
    form->findChild<QAction *>(QStringLiteral("detect_dongle_Action"))->trigger();
    QTest::qWait(500);
    EXPECT_TRUE(form->session().scan_running());
}

TEST_F(Readdress, ZeroIsANewAddressToo)
{
    ASSERT_TRUE(waitForScan());
    pick("0x00");
    answerNextDialog(6);
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("Re-addressing succesfully completed")); }, 15000));
    EXPECT_EQ(chip().address, 0x00);
    EXPECT_TRUE(waitFor([this] { return child<QComboBox>("slaveaddr_combo")->currentText() == QStringLiteral("0x00"); }));
    EXPECT_EQ(child<QComboBox>("new_slaveaddr_combo")->itemText(0), QStringLiteral("0x01"));
    // The address just written is no pick for the next change, and nothing stands in for it.
    EXPECT_EQ(child<QComboBox>("new_slaveaddr_combo")->currentIndex(), -1);
    EXPECT_TRUE(waitFor([this] { return text("changes_left") == QStringLiteral("Two more changes of slave address left."); }));
    EXPECT_FALSE(child<QToolButton>("change_addr_btn")->isEnabled());
    pick("0x31");
    EXPECT_TRUE(child<QToolButton>("change_addr_btn")->isEnabled());
}

TEST_F(Readdress, TheQuestionHasNoAsItsDefaultAnswer)
{
    ASSERT_TRUE(waitForScan());
    pick("0x34");
    QString defaultButton, focused;
    DialogDriver<TmsgDialog> enter([&](TmsgDialog &dialog) {
        QPushButton *chosen = dialog.defaultButton();
        defaultButton = chosen ? chosen->text() : QString();
        focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("User canceled re-addressing procedure")); }));
    EXPECT_TRUE(enter.ran());
    EXPECT_EQ(defaultButton, QStringLiteral("No"));
    EXPECT_EQ(focused, QStringLiteral("no_btn"));
    EXPECT_EQ(chip().current_page, 0) << "Enter wrote nothing";
    EXPECT_EQ(chip().address, 0x28);
}

TEST_F(Readdress, FailingToSwitchI2cOffAloneDoesNotStopIt)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_REFUSE_WRITE, 0x0100));
    pick("0x33");
    answerNextDialog(6);
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("Re-addressing succesfully completed")); }, 15000))
        << newLog().toStdString();
    EXPECT_TRUE(newLog().contains(QStringLiteral("IIC-Mode NOT disabled")));
    EXPECT_EQ(chip().address, 0x33);
}

TEST_F(Readdress, AWordThatDidNotArriveFailsTheVerificationAndShowsBothImages)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_IGNORE_WRITE, 0x07));
    pick("0x34");
    QStringList messages;
    QString status, tcg, written, readBack;
    answerDialogs({6, 1}, &messages, [&](int dialog) {
        if (dialog != 1)
            return;
        status = text("status_middle_label");
        EXPECT_TRUE(memory->isVisible());
        tcg = memory->cell_text(8, 1);
        written = memory->cell_text(8, 3);
        readBack = memory->cell_text(8, 5);
    });
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("Error re-addressing device")); }, 15000));
    ASSERT_TRUE(waitFor([&messages] { return messages.size() == 2; }));
    // Powered up again from the half-finished page, the transmitter answers at its new address.
    EXPECT_EQ(messages[1], QStringLiteral("Re-addressing failed:\nVerification of memory failed !\n"
                                          "The transmitter now answers at 0x34\n"
                                          "Its memory was written and may be damaged, and one of its changes of address "
                                          "may be used up. The way back: File → Re-addressing journal…, select this "
                                          "attempt and press \"Restore before-image…\"."));
    EXPECT_EQ(chip().command_mode, 0);
    EXPECT_TRUE(newLog().contains(QStringLiteral("Verification of memory failed")));
    EXPECT_EQ(status, QStringLiteral("Verification of memory failed !"));
    EXPECT_EQ(tcg, QStringLiteral("Tcg"));
    EXPECT_NE(written, readBack) << "written and read-back Tcg differ";
    EXPECT_EQ(readBack, QStringLiteral("0x0000"));
    EXPECT_FALSE(newLog().contains(QStringLiteral("Checksum successfully generated")));
}

namespace {

class ReaddressLastChange : public Readdress
{
protected:
    std::string scenario() override { return scenarioFile("[transmitter.t]\naddress = 0x28\npage = 2\n"); }
};

} // namespace

TEST_F(ReaddressLastChange, TheLastChangeWorksThenTheButtonIsDisabled)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_TRUE(waitFor([this] { return text("changes_left") == QStringLiteral("One change of slave address left."); }));
    pick("0x35");
    answerNextDialog(6);
    changeAddress();
    ASSERT_TRUE(waitFor([this] { return newLog().contains(QStringLiteral("Re-addressing succesfully completed")); }, 15000));
    EXPECT_EQ(chip().current_page, 3);
    ASSERT_TRUE(waitFor([this] { return text("changes_left") == QStringLiteral("Change of address not possible!"); }));
    EXPECT_FALSE(child<QToolButton>("change_addr_btn")->isEnabled());
}

TEST_F(Readdress, AQuitWhileAChangeRunsClosesTheWindowOnceTheChangeHasEnded)
{
    ASSERT_TRUE(waitForScan());
    bool closed = false;
    QObject::connect(form.get(), &Tmain_Form::closed, form.get(), [&closed] { closed = true; });
    bool closedAtOnce = true;
    // A quit signal closes the window as the close box does; here while the question is open.
    answerDialogs({6}, nullptr, [&](int) { closedAtOnce = form->close(); });
    ASSERT_NO_FATAL_FAILURE(changeAddress());
    ASSERT_TRUE(waitFor([&closed] { return closed; }, 20000));
    EXPECT_FALSE(closedAtOnce) << "not while the procedure holds the adapter";
    const iowsim_transmitter_info info = chip();
    EXPECT_EQ(info.current_page, 1) << "the change went through";
    EXPECT_EQ(info.address, 0x30);
    EXPECT_EQ(info.pages[1][0x17], sim.iowsim_checksum(info.pages[1]));
}

TEST_F(Readdress, ATermSignalInTheMiddleOfTheWriteClosesTheWindowOnlyAfterTheChange)
{
    ASSERT_TRUE(waitForScan());
    struct sigaction before = {};
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &before), 0);
    ASSERT_TRUE(quit_signals::install(form.get(), [this] { form->close(); }));
    bool closed = false;
    QObject::connect(form.get(), &Tmain_Form::closed, form.get(), [&closed] { closed = true; });
    bool sent = false;
    bool closedDuringTheChange = false;
    QObject::connect(&form->session(), &TSession::published, form.get(), [&](const session::Record &r) {
        const auto *step = std::get_if<session::ProcedureStep>(&r);
        if (step && step->step == readdress::Step::Write && !sent) {
            sent = true;
            ::kill(::getpid(), SIGTERM); // to the process, as a service manager sends it
        }
        if (step && closed)
            closedDuringTheChange = true;
    });
    answerNextDialog(6);
    ASSERT_NO_FATAL_FAILURE(changeAddress());
    const bool ended = waitFor([&closed] { return closed; }, 20000);
    sigaction(SIGTERM, &before, nullptr);
    ASSERT_TRUE(sent) << "the write step was never published";
    ASSERT_TRUE(ended) << "the signal did not close the window";
    EXPECT_FALSE(closedDuringTheChange);
    const iowsim_transmitter_info info = chip();
    EXPECT_EQ(info.current_page, 1) << "the change went through";
    EXPECT_EQ(info.address, 0x30);
    EXPECT_EQ(info.pages[1][0x17], sim.iowsim_checksum(info.pages[1]));
    EXPECT_TRUE(newLog().contains(QStringLiteral("Re-addressing succesfully completed"))) << newLog().toStdString();
}
