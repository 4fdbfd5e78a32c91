// The re-addressing journal in the main window: every change from the window is journalled, the
// File menu opens the journal, and its before-image can be written back from there; a change cut
// off while it wrote is told once after start-up and shows as interrupted.
#include "views/windows/journal_form.h"
#include "main_window_fixture.h"
#include "transmitter/OrvelHandler.h"
#include "transmitter/readdress.h"
#include "transmitter/readdress_journal.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>

namespace {

class Journal : public MainWindowTest
{
protected:
    QString folder() const { return home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit")); }
    iowsim_transmitter_info chip()
    {
        iowsim_transmitter_info info{};
        sim.iowsim_get_transmitter(0, &info);
        return info;
    }
};

} // namespace

TEST_F(Journal, AChangeFromTheWindowIsJournalledAndItsBeforeImageRestored)
{
    const qsizetype before = readdress_journal::read(folder()).size();
    ASSERT_TRUE(waitForScan());
    auto *combo = child<QComboBox>("new_slaveaddr_combo");
    const int index = combo->findText(QStringLiteral("0x30"));
    combo->setCurrentIndex(index);
    emit combo->activated(index);
    answerNextDialog(6);
    ASSERT_TRUE(waitFor([this] { return child<QToolButton>("change_addr_btn")->isEnabled(); }));
    child<QAction>("change_address_Action")->trigger();
    ASSERT_TRUE(waitFor([this] { return chip().address == 0x30 && !form->session().readdressing(); }, 15000));

    QList<QStringList> lines = readdress_journal::read(folder());
    ASSERT_EQ(lines.size(), before + 1);
    EXPECT_EQ(lines[0][readdress_journal::Outcome], QStringLiteral("success"));
    EXPECT_EQ(lines[0][readdress_journal::NewAddress], QStringLiteral("0x30"));
    EXPECT_EQ(lines[0][readdress_journal::ProcedureColumn], QStringLiteral("readdress"));

    // File menu, just above Exit.
    auto *journalAction = child<QAction>("journal_Action");
    QList<QAction *> fileMenu;
    for (QMenu *menu : form->findChildren<QMenu *>())
        if (menu->actions().contains(child<QAction>("exit_Action")))
            fileMenu = menu->actions();
    const qsizetype exitAt = fileMenu.indexOf(child<QAction>("exit_Action"));
    ASSERT_GT(exitAt, 0);
    EXPECT_EQ(fileMenu[exitAt - 1], journalAction);
    EXPECT_EQ(journalAction->text(), QStringLiteral("Re-addressing journal…"));
    journalAction->trigger();
    auto *window = form->findChild<Tjournal_form *>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(window->isVisible());
    QTableWidget *table = window->table();
    ASSERT_EQ(table->rowCount(), before + 1);
    EXPECT_EQ(table->item(0, readdress_journal::NewAddress)->text(), QStringLiteral("0x30")) << "newest first";
    EXPECT_EQ(table->editTriggers(), QAbstractItemView::NoEditTriggers);

    // Restore the before-image once the scan has found the transmitter at its new address.
    ASSERT_TRUE(waitFor([this] { return child<QComboBox>("slaveaddr_combo")->currentText() == QStringLiteral("0x30"); },
                        15000));
    ASSERT_TRUE(waitForScan());
    table->selectRow(0);
    auto *restore = window->findChild<QPushButton *>(QStringLiteral("journal_restore_btn"));
    ASSERT_TRUE(restore->isEnabled());
    QString question;
    answerNextDialog(6, &question);
    restore->click();
    ASSERT_TRUE(waitFor([this] { return chip().address == 0x28 && !form->session().readdressing(); }, 20000));
    EXPECT_TRUE(question.contains(QStringLiteral("uses up one of the changes left")));
    EXPECT_EQ(chip().current_page, 2);
    EXPECT_EQ(chip().pages[2][0x17], sim.iowsim_checksum(chip().pages[2]));
    lines = readdress_journal::read(folder());
    ASSERT_EQ(lines.size(), before + 2);
    EXPECT_EQ(lines[0][readdress_journal::ProcedureColumn], QStringLiteral("restore"));
    EXPECT_EQ(lines[0][readdress_journal::Outcome], QStringLiteral("success"));
    EXPECT_EQ(table->rowCount(), before + 2) << "an open journal window follows";
}

namespace {

// Before the window starts, a change of 0x28 to 0x30 was killed after ten words of its write:
// its attempt is in the journal without an end.
class InterruptedChange : public Journal
{
protected:
    void before_window() override
    {
        using readdress::Step;
        T_Orvel_Handler h([](TCategory, TMode, const QString &) {});
        ASSERT_EQ(readdress::power_up(h, readdress::ScanChain), Step::None);
        ASSERT_TRUE(h.get_slave_address());
        h.Get_Device().Set_slave_addr(0x28);
        ASSERT_TRUE(h.get_device_scaling());
        ASSERT_TRUE(h.get_device_memory());
        cut = readdress_journal::begin(h, 0x30, readdress_journal::Procedure::Readdress);
        const readdress::Outcome outcome = readdress::readdress(
            h, 0x30,
            [this](uint8_t) {
                EXPECT_EQ(readdress_journal::start(folder(), cut), QString());
                return true;
            },
            [this](Step step, bool ok) {
                if (step == Step::Check && ok)
                    sim.iowsim_arm_fault(0, IOWSIM_FAULT_UNPLUGGED, 1, 1 + 10); // page opening, ten words
            });
        sim.iowsim_clear_faults();
        h.unload();
        ASSERT_EQ(outcome.failed, Step::Write);
        ASSERT_EQ(readdress_journal::unannounced(folder()).size(), 1);
    }
    void restart()
    {
        form.reset();
        form = std::make_unique<Tmain_Form>();
        TmsgDialog::setMainWindow(form.get());
        form->attach_windows({nullptr, memory.get(), nullptr, table.get()});
        form->show();
    }

    readdress_journal::Attempt cut;
};

} // namespace

TEST_F(InterruptedChange, IsToldOnceAfterStartUpShowsAsInterruptedAndItsBeforeImageIsWrittenBack)
{
    QString notice;
    answerNextDialog(1, &notice);
    ASSERT_TRUE(waitFor([this] { return readdress_journal::unannounced(folder()).isEmpty(); }, 10000))
        << "told, and remembered as told";
    const QString before = QDir(folder()).filePath(cut.before_image);
    EXPECT_TRUE(notice.contains(QStringLiteral("cut off while it wrote the transmitter"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("0x28 → 0x30")));
    EXPECT_TRUE(notice.contains(before));
    EXPECT_TRUE(notice.contains(readdress_journal::journal_file(folder())));

    child<QAction>("journal_Action")->trigger();
    auto *window = form->findChild<Tjournal_form *>();
    ASSERT_NE(window, nullptr);
    QTableWidget *rows = window->table();
    ASSERT_GE(rows->rowCount(), 1);
    // The window says it in the current language; the cell keeps the journal's word.
    EXPECT_EQ(rows->item(0, readdress_journal::Outcome)->text(), QStringLiteral("Interrupted"));
    EXPECT_EQ(rows->item(0, readdress_journal::Outcome)->data(Qt::UserRole).toString(), readdress_journal::Interrupted);
    EXPECT_EQ(rows->item(0, readdress_journal::BeforeImage)->text(), cut.before_image);

    // The scan finds the half-written transmitter at its new address; its before-image goes back.
    ASSERT_TRUE(waitFor([this] { return child<QComboBox>("slaveaddr_combo")->currentText() == QStringLiteral("0x30"); },
                        15000));
    ASSERT_TRUE(chip().memory_error);
    rows->selectRow(0);
    auto *restore = window->findChild<QPushButton *>(QStringLiteral("journal_restore_btn"));
    ASSERT_TRUE(restore->isEnabled());
    answerNextDialog(6);
    restore->click();
    ASSERT_TRUE(waitFor([this] { return chip().address == 0x28 && !form->session().readdressing(); }, 20000));
    EXPECT_EQ(chip().current_page, 2);
    EXPECT_FALSE(chip().memory_error);
    EXPECT_EQ(chip().pages[2][0x17], sim.iowsim_checksum(chip().pages[2]));
    const QList<QStringList> lines = readdress_journal::read(folder());
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0][readdress_journal::ProcedureColumn], QStringLiteral("restore"));
    EXPECT_EQ(lines[0][readdress_journal::Outcome], QStringLiteral("success"));
    EXPECT_EQ(lines[1][readdress_journal::Outcome], readdress_journal::Interrupted);

    // The next start has nothing to tell.
    restart();
    QStringList later;
    answerDialogs({1}, &later);
    ASSERT_TRUE(waitForScan());
    QTest::qWait(300);
    EXPECT_EQ(later, QStringList());
}

TEST_F(InterruptedChange, ABeforeImageAlteredOnTheDiskIsNotWrittenBack)
{
    answerNextDialog(1);
    ASSERT_TRUE(waitFor([this] { return readdress_journal::unannounced(folder()).isEmpty(); }, 10000));
    // One word changed after the image was saved: its checksum no longer matches.
    QFile file(QDir(folder()).filePath(cut.before_image));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const QByteArray saved = file.readAll();
    ASSERT_TRUE(saved.contains("COM_Config\t0x02\t0x0028"));
    file.resize(0);
    file.write(QByteArray(saved).replace("COM_Config\t0x02\t0x0028", "COM_Config\t0x02\t0x0029"));
    file.close();

    child<QAction>("journal_Action")->trigger();
    auto *window = form->findChild<Tjournal_form *>();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([this] { return child<QComboBox>("slaveaddr_combo")->currentText() == QStringLiteral("0x30"); },
                        15000));
    const iowsim_transmitter_info half = chip();
    window->table()->selectRow(0);
    QString message;
    answerNextDialog(1, &message);
    window->findChild<QPushButton *>(QStringLiteral("journal_restore_btn"))->click();
    ASSERT_TRUE(waitFor([&] { return !message.isEmpty(); }, 10000));
    EXPECT_TRUE(message.startsWith(QStringLiteral("The saved memory image cannot be read:"))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("does not match its words"))) << message.toStdString();
    QTest::qWait(300);
    EXPECT_FALSE(form->session().readdressing());
    EXPECT_EQ(chip().current_page, half.current_page) << "nothing written";
    EXPECT_EQ(readdress_journal::read(folder()).size(), 1);
}

namespace {

// Beside the transmitter at 0x28 another one, of another product, at 0x40. The first one's memory
// loses every write of its address word (COM_Config), so a change leaves it at 0x00 with a memory
// error and one page used.
class FailedChange : public Journal
{
protected:
    std::string scenario() override
    {
        return scenarioFile("[transmitter.main]\naddress = 0x28\nignore_write = 0x02\n"
                            "[transmitter.other]\naddress = 0x40\nproduct = F00815E12P0300\n");
    }
    iowsim_transmitter_info other()
    {
        iowsim_transmitter_info info{};
        sim.iowsim_get_transmitter(1, &info);
        return info;
    }
    void pickActive(const char *address)
    {
        auto *combo = child<QComboBox>("slaveaddr_combo");
        const int index = combo->findText(QString::fromLatin1(address));
        ASSERT_GE(index, 0) << address;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    Tjournal_form *openJournal()
    {
        child<QAction>("journal_Action")->trigger();
        return form->findChild<Tjournal_form *>();
    }
};

// Two transmitters with one identity (the same product code and calibration).
class Clones : public Journal
{
protected:
    std::string scenario() override
    {
        return scenarioFile("[transmitter.a]\naddress = 0x28\n[transmitter.b]\naddress = 0x30\n");
    }
};

} // namespace

// The user learns where the transmitter went and how to get back, and the way back works even
// while another transmitter is the selected one.
TEST_F(FailedChange, TellsWhereItAnswersAndTheJournalBringsItBack)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_NO_FATAL_FAILURE(pickNewAddress("0x31"));
    QStringList messages;
    answerDialogs({6, 1}, &messages);
    ASSERT_TRUE(waitFor([this] { return child<QToolButton>("change_addr_btn")->isEnabled(); }));
    child<QAction>("change_address_Action")->trigger();
    ASSERT_TRUE(waitFor([&] { return messages.size() == 2 && !form->session().readdressing(); }, 20000));
    ASSERT_EQ(chip().address, 0x00);
    ASSERT_TRUE(chip().memory_error);
    ASSERT_EQ(chip().current_page, 1);
    const QString failure = messages[1];
    EXPECT_TRUE(failure.contains(QStringLiteral("The transmitter now answers at 0x00"))) << failure.toStdString();
    EXPECT_TRUE(failure.contains(QStringLiteral("may be damaged"))) << failure.toStdString();
    EXPECT_TRUE(failure.contains(QStringLiteral("Restore before-image…"))) << failure.toStdString();
    ASSERT_TRUE(waitFor([this] { return text("status_middle_label").contains(QStringLiteral("memory error")); }, 10000))
        << text("status_middle_label").toStdString();

    // The other transmitter is the selected one when the row is restored.
    ASSERT_NO_FATAL_FAILURE(pickActive("0x40"));
    ASSERT_TRUE(waitFor([this] { return child<QLineEdit>("uniquecode_ed")->text() == QStringLiteral("F00815E12P0300"); }));
    sim.iowsim_set_fault(0, IOWSIM_FAULT_IGNORE_WRITE, -1);
    Tjournal_form *window = openJournal();
    ASSERT_NE(window, nullptr);
    ASSERT_GE(window->table()->rowCount(), 1);
    window->table()->selectRow(0);
    QStringList asked;
    QString shownCode;
    answerDialogs({6}, &asked, [&](int) { shownCode = child<QLineEdit>("uniquecode_ed")->text(); });
    window->findChild<QPushButton *>(QStringLiteral("journal_restore_btn"))->click();
    ASSERT_TRUE(waitFor([this] { return chip().address == 0x28 && !form->session().readdressing(); }, 20000));
    ASSERT_EQ(asked.size(), 1);
    const QString question = asked[0];
    EXPECT_EQ(shownCode, QStringLiteral("F01234E07P0056")) << "the panel shows the transmitter the question is about";
    const QList<QStringList> lines = readdress_journal::read(folder());
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines[0][readdress_journal::ProductCode], QStringLiteral("F01234E07P0056"));
    EXPECT_EQ(lines[0][readdress_journal::OldAddress], QStringLiteral("0x00"));
    EXPECT_TRUE(question.contains(QStringLiteral("transmitter at 0x00"))) << question.toStdString();
    EXPECT_TRUE(question.contains(QStringLiteral("answers at 0x28"))) << question.toStdString();
    EXPECT_EQ(chip().current_page, 2);
    EXPECT_FALSE(chip().memory_error);
    EXPECT_EQ(chip().pages[2][0x17], sim.iowsim_checksum(chip().pages[2]));
    EXPECT_EQ(other().address, 0x40);
    EXPECT_EQ(other().current_page, 0) << "the selected transmitter is not written";
    bool told = false;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("readdress_done_notice") && w->isVisible())
            told = w->findChild<QLabel *>(QStringLiteral("msg_label"))->text().contains(QStringLiteral("answers at 0x28"));
    EXPECT_TRUE(told) << "a finished restore says where the transmitter answers";
}

// A finished change says so in a message that stays; a before-image that two transmitters on the
// bus could own is not written to either.
TEST_F(Clones, AChangeIsToldAndARestoreBetweenTwinsIsRefused)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_NO_FATAL_FAILURE(pickNewAddress("0x50"));
    answerNextDialog(6);
    ASSERT_TRUE(waitFor([this] { return child<QToolButton>("change_addr_btn")->isEnabled(); }));
    child<QAction>("change_address_Action")->trigger();
    ASSERT_TRUE(waitFor([this] { return chip().address == 0x50 && !form->session().readdressing(); }, 20000));
    QWidget *notice = nullptr;
    ASSERT_TRUE(waitFor([&] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w->objectName() == QStringLiteral("readdress_done_notice") && w->isVisible())
                notice = w;
        return notice != nullptr;
    }));
    EXPECT_EQ(notice->findChild<QLabel *>(QStringLiteral("msg_label"))->text(),
              QStringLiteral("The transmitter now answers at 0x50 instead of 0x28."));
    EXPECT_FALSE(notice->isModal()) << "the scan goes on behind it";
    QTest::qWait(1500);
    EXPECT_TRUE(notice->isVisible()) << "it stays until the user closes it";

    child<QAction>("journal_Action")->trigger();
    auto *window = form->findChild<Tjournal_form *>();
    ASSERT_NE(window, nullptr);
    window->table()->selectRow(0);
    const int pageA = chip().current_page;
    QString refusal;
    answerNextDialog(1, &refusal);
    window->findChild<QPushButton *>(QStringLiteral("journal_restore_btn"))->click();
    ASSERT_TRUE(waitFor([&] { return !refusal.isEmpty(); }, 15000));
    EXPECT_TRUE(refusal.contains(QStringLiteral("More than one transmitter"))) << refusal.toStdString();
    EXPECT_TRUE(refusal.contains(QStringLiteral("0x30, 0x50"))) << refusal.toStdString();
    EXPECT_EQ(chip().current_page, pageA) << "nothing written";
    iowsim_transmitter_info twin{};
    sim.iowsim_get_transmitter(1, &twin);
    EXPECT_EQ(twin.current_page, 0);
}
