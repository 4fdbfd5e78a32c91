// Where the windows come back after restarts, and where the memory map and table open.
#include "services/settings/IniHandler.h"
#include "main_window_fixture.h"

#include <QScreen>

namespace {

class WindowPlacement : public MainWindowTest
{
protected:
    void TearDown() override
    {
        MainWindowTest::TearDown();
        // Other tests of this program open the windows as designed.
        TIniHandler *ini = TIniHandler::getInstance();
        for (const char *name : {"Tmain_Form", "TlogForm"})
            ini->writeGeometry(QString::fromLatin1(name), {-1, -1, -1, -1, 0});
    }

    // Closes the program's windows as the user does and starts them again.
    void restart()
    {
        form->close();
        form.reset();
        table.reset();
        memory.reset();
        memory = std::make_unique<Tmemory_Form>();
        table = std::make_unique<Ttable_form>();
        form = std::make_unique<Tmain_Form>();
        TmsgDialog::setMainWindow(form.get());
        form->attach_windows({nullptr, memory.get(), nullptr, table.get()});
        form->show();
        settle();
    }
    static void settle() { QTest::qWait(30); }
    static QWidget *logViewer() { return dynamic_cast<QWidget *>(TLogFile::getInstance()->viewer()); }
    static QRect screenArea(const QWidget &w) { return w.screen()->availableGeometry(); }
};

} // namespace

TEST_F(WindowPlacement, GeometryIsTheSameAfterTenRestarts)
{
    settle();
    form->setGeometry(40, 30, 990, 720);
    TLogFile::getInstance()->enableForm();
    settle();
    logViewer()->setGeometry(20, 300, 610, 230);
    settle();
    const QRect mainOuter = form->frameGeometry();
    const QRect viewerOuter = logViewer()->frameGeometry();
    TLogFile::getInstance()->disableForm(); // released while shown: stores its place

    QRect memoryOuter, tableOuter;
    for (int start = 1; start <= 10; ++start) {
        SCOPED_TRACE(start);
        restart();
        EXPECT_EQ(form->frameGeometry(), mainOuter);
        TLogFile::getInstance()->enableForm();
        settle();
        ASSERT_NE(logViewer(), nullptr);
        EXPECT_EQ(logViewer()->frameGeometry(), viewerOuter);
        TLogFile::getInstance()->disableForm();
        memory->show();
        table->show();
        settle();
        if (start == 1) {
            memoryOuter = memory->frameGeometry();
            tableOuter = table->frameGeometry();
        }
        EXPECT_EQ(memory->frameGeometry(), memoryOuter);
        EXPECT_EQ(table->frameGeometry(), tableOuter);
    }
    const TFormGeometry stored = TIniHandler::getInstance()->readGeometry(QStringLiteral("Tmain_Form"));
    EXPECT_EQ(QRect(stored.left, stored.top, stored.width, stored.height), mainOuter);
}

// A window closed maximised opens maximised and, put back to normal, has the size it had before it
// was maximised, however often that is repeated.
TEST_F(WindowPlacement, AMaximisedWindowKeepsItsNormalSizeAcrossRestarts)
{
    settle();
    form->setGeometry(40, 30, 990, 720);
    settle();
    const QRect normal = form->frameGeometry();
    restart();
    for (int start = 1; start <= 3; ++start) {
        SCOPED_TRACE(start);
        form->showMaximized();
        settle();
        ASSERT_NE(form->frameGeometry(), normal) << "the platform maximises";
        restart();
        EXPECT_TRUE(form->isMaximized());
        form->showNormal();
        settle();
        EXPECT_EQ(form->frameGeometry(), normal);
        restart();
        EXPECT_EQ(form->frameGeometry(), normal) << "closed in its normal state";
    }
}

TEST_F(WindowPlacement, MemoryMapAndTableOpenCentredOverTheMainWindow)
{
    settle();
    form->setGeometry(50, 40, 990, 720);
    settle();
    for (QWidget *window : std::initializer_list<QWidget *>{memory.get(), table.get()}) {
        SCOPED_TRACE(window->metaObject()->className());
        window->show();
        settle();
        const QPoint offset = window->frameGeometry().center() - form->frameGeometry().center();
        EXPECT_LE(offset.manhattanLength(), 2) << "over the main window";
        EXPECT_TRUE(screenArea(*form).contains(window->frameGeometry().topLeft()));
        EXPECT_EQ(window->screen(), form->screen());
    }
    // A main window near the screen's corner: the window stays on the screen.
    memory.reset();
    memory = std::make_unique<Tmemory_Form>();
    form->attach_windows({nullptr, memory.get(), nullptr, table.get()});
    const QRect area = screenArea(*form);
    form->move(area.topLeft());
    settle();
    memory->show();
    settle();
    EXPECT_GE(memory->frameGeometry().top(), area.top());
    EXPECT_GE(memory->frameGeometry().left(), area.left());
}

TEST_F(WindowPlacement, AStoredPlaceOffEveryScreenOrTooLargeComesBackOnTheScreen)
{
    const QRect area = screenArea(*form);
    const QSize designed = form->frameGeometry().size(); // nothing stored yet
    const struct {
        const char *what;
        TFormGeometry stored;
    } cases[] = {
        {"far right", {area.right() + 4000, 100, 997, 727, 0}},
        {"far above", {100, -5000, 997, 727, 0}},
        {"larger than the screen", {0, 0, area.width() * 3, area.height() * 3, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TIniHandler::getInstance()->writeGeometry(QStringLiteral("Tmain_Form"), c.stored);
        form.reset();
        form = std::make_unique<Tmain_Form>();
        form->attach_windows({nullptr, memory.get(), nullptr, table.get()});
        form->show();
        settle();
        const QRect outer = form->frameGeometry();
        EXPECT_TRUE(area.contains(outer.topLeft())) << outer.x() << "," << outer.y();
        EXPECT_LE(outer.width(), designed.width()) << "the designed size, not the stored one";
        EXPECT_LE(outer.height(), designed.height());
    }
}
