// The re-addressing journal in the main window: every change from the window is journalled, the
// File menu opens the journal, and its before-image can be written back from there.
#include "views/windows/journal_form.h"
#include "main_window_fixture.h"
#include "transmitter/readdress_journal.h"

#include <QAction>
#include <QComboBox>
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
