// The log viewer window against a real event log in temporary folders.
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/utils/UniCodeFile.h"
#include "dialog_driver.h"
#include "services/log/logFileForm.h"
#include "services/dialogs/msgDialogForm.h"
#include "log_test_support.h"

#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

// The settings store and translator the window reaches are the program's single instances:
// keep them in a folder of this test program.
void isolateSingletons()
{
    static QTemporaryDir home;
    static const bool placed = [] {
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_DATA_DIRS", home.filePath(QStringLiteral("system")).toLocal8Bit());
        return true;
    }();
    Q_UNUSED(placed);
}

QString text(const QByteArray &fileLine)
{
    return QString::fromLatin1(fileLine.chopped(2));
}

class LogForm : public LogFixture
{
protected:
    void SetUp() override
    {
        isolateSingletons();
        LogFixture::SetUp();
    }
    void TearDown() override
    {
        if (log)
            log->disableForm();
        log.reset();
    }

    void makeViewerLog()
    {
        log = makeLog();
        log->setViewerFactory([](TLogFile &owner) { return std::make_unique<TlogForm>(owner); });
    }
    TlogForm *viewer() const { return dynamic_cast<TlogForm *>(log->viewer()); }

    // Opens the window and waits until it shows `expected`.
    void openShowing(const QStringList &expected)
    {
        log->enableForm();
        ASSERT_NE(viewer(), nullptr);
        ASSERT_TRUE(wait_until::pumping([&] { return log->Get_data_geladen() && viewer()->shownLines() == expected; }))
            << viewer()->shownLines().join(u'|').toStdString();
    }
    bool waitShowing(const QStringList &expected)
    {
        return wait_until::pumping([&] { return viewer()->shownLines() == expected; });
    }
    template <typename T>
    T *child(const char *name) const
    {
        return viewer()->findChild<T *>(QString::fromLatin1(name));
    }

    std::unique_ptr<TLogFile> log;
};

} // namespace

TEST_F(LogForm, DesignedWindowWithDefaultCaptionsAndHiddenFilterMenus)
{
    makeViewerLog();
    TlogForm form(*log);
    form.layout()->activate();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Log"));
    EXPECT_EQ(form.objectName(), QStringLiteral("logForm"));
    EXPECT_FALSE(form.testAttribute(Qt::WA_QuitOnClose)) << "closing the main window ends the program";
    auto *menuBar = form.findChild<QMenuBar *>(QStringLiteral("TMainMenu1"));
    ASSERT_NE(menuBar, nullptr);
    const int menuHeight = menuBar->height();
    EXPECT_EQ(form.size(), QSize(987, 258 + menuHeight)) << "the designed client area lies below the menu";
    auto *memo = form.findChild<QPlainTextEdit *>(QStringLiteral("log_memo"));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->geometry(), QRect(8, 8 + menuHeight, 971, 242));
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_TRUE(form.shownLines().isEmpty());

    QStringList titles;
    for (QAction *entry : menuBar->actions())
        titles << entry->text();
    EXPECT_EQ(titles, QStringList({"File", "Filter"}));
    const struct {
        const char *menu;
        QStringList items;
        bool visible;
    } menus[] = {
        {"File1", {"Clear", "Close"}, true},
        {"Category1", {"Standart", "Core", "Database", "Communication", "Viewer", "Converter"}, false},
        {"Type1", {"Normal", "Error", "Debug"}, false},
    };
    for (const auto &m : menus) {
        auto *menu = form.findChild<QMenu *>(QString::fromLatin1(m.menu));
        ASSERT_NE(menu, nullptr) << m.menu;
        EXPECT_EQ(menu->menuAction()->isVisible(), m.visible) << m.menu;
        QStringList items;
        for (QAction *item : menu->actions()) {
            items << item->text();
            if (!m.visible) {
                EXPECT_TRUE(item->isCheckable() && item->isChecked()) << item->text().toStdString();
            }
        }
        EXPECT_EQ(items, m.items) << m.menu;
    }
    EXPECT_EQ(form.findChild<QMenu *>(QStringLiteral("Category1"))->title(), QStringLiteral("Category"));
    EXPECT_EQ(form.findChild<QMenu *>(QStringLiteral("Type1"))->title(), QStringLiteral("Type"));
}

TEST_F(LogForm, CaptionsComeFromTheLanguageLoadedWhenItIsMade)
{
    QTemporaryDir languages;
    ASSERT_TRUE(languages.isValid());
    TUnicodeFile::writeLines(QDir(languages.path()).filePath(QStringLiteral("test.lang")),
                             {QStringLiteral("languageName=Test"), QStringLiteral("FILE=Datei"),
                              QStringLiteral("close=Schließen"), QStringLiteral("error=Fehler"),
                              QStringLiteral("category=Kategorie")},
                             UTF16LE);
    TTranslator *translator = TTranslator::getInstance();
    translator->setPath(languages.path());
    translator->Set_Language(QStringLiteral("test.lang"));
    makeViewerLog();
    TlogForm form(*log);
    TTranslator::release();

    EXPECT_EQ(form.findChild<QMenu *>(QStringLiteral("File1"))->title(), QStringLiteral("Datei"));
    EXPECT_EQ(form.findChild<QAction *>(QStringLiteral("Close1"))->text(), QStringLiteral("Schließen"));
    EXPECT_EQ(form.findChild<QAction *>(QStringLiteral("Clear1"))->text(), QStringLiteral("Clear"));
    EXPECT_EQ(form.findChild<QAction *>(QStringLiteral("Error1"))->text(), QStringLiteral("Fehler"));
    EXPECT_EQ(form.findChild<QMenu *>(QStringLiteral("Category1"))->title(), QStringLiteral("Kategorie"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Log"));
    EXPECT_EQ(form.findChild<QMenu *>(QStringLiteral("Filter1"))->title(), QStringLiteral("Filter"));
}

TEST_F(LogForm, ShowsTheWholeFileThenLiveLinesThroughTheFilter)
{
    ASSERT_TRUE(writeFile(logFile(), line("header") + line("missing key", "Translator", "Debug")));
    fIni->Set_LogTranslatorMode(lDebug);
    fIni->Set_LogCommunicationMode(lDebug);
    makeViewerLog();
    // From the file every line is shown, also one that no filter item names.
    openShowing({text(line("header")), text(line("missing key", "Translator", "Debug"))});

    log->addEvent(catNone, lNormal, QStringLiteral("live header"));
    log->addEvent(catTranslator, lDebug, QStringLiteral("live missing key"));
    log->addEvent(catCommunication, lError, QStringLiteral("bus error"));
    log->addEvent(catCommunication, lDebug, QStringLiteral("bus detail"));
    const QStringList live = {text(line("header")), text(line("missing key", "Translator", "Debug")),
                              text(line("live header")), text(line("bus error", "Communication", "Error")),
                              text(line("bus detail", "Communication", "Debug"))};
    ASSERT_TRUE(waitShowing(live)) << viewer()->shownLines().join(u'|').toStdString();
    EXPECT_TRUE(viewer()->lines().contains(text(line("live missing key", "Translator", "Debug"))))
        << "kept, only not shown";

    // Read from the file again, the translator line appears.
    viewer()->Close1Click();
    openShowing({text(line("header")), text(line("missing key", "Translator", "Debug")), text(line("live header")),
                 text(line("live missing key", "Translator", "Debug")), text(line("bus error", "Communication", "Error")),
                 text(line("bus detail", "Communication", "Debug"))});
}

TEST_F(LogForm, BurstFromAnotherThreadArrivesCompleteAndInOrder)
{
    makeViewerLog();
    openShowing({});
    QStringList expected;
    for (int i = 0; i < 300; ++i)
        expected << text(line(QByteArray::number(i).constData()));
    std::thread worker([this] {
        for (int i = 0; i < 300; ++i)
            log->addEvent(catNone, lNormal, QString::number(i));
    });
    worker.join();
    EXPECT_TRUE(waitShowing(expected)) << viewer()->shownLines().size();
    EXPECT_EQ(viewer()->lines(), expected);
}

TEST_F(LogForm, RollOverShowsTheNewFileMarkerThenTheNewLines)
{
    fIni->Set_LogFilesize(40);
    ASSERT_TRUE(writeFile(logFile(), line("old one") + line("old two")));
    makeViewerLog();
    openShowing({text(line("old one")), text(line("old two"))});

    log->addEvent(catNone, lNormal, QStringLiteral("first of the new file"));
    ASSERT_TRUE(waitShowing({QStringLiteral("-- new File ---"), text(line("first of the new file"))}))
        << viewer()->shownLines().join(u'|').toStdString();
    EXPECT_TRUE(QFile::exists(logFile(QStringLiteral("log_2018_07_31.txt"))));
    EXPECT_EQ(viewer()->lines(), QStringList{text(line("first of the new file"))});
}

TEST_F(LogForm, ThreeRollOversOfOneDayEachLeaveTheViewerShowingTheNewLines)
{
    fIni->Set_LogFilesize(40);
    ASSERT_TRUE(writeFile(logFile(), line("old one") + line("old two")));
    makeViewerLog();
    openShowing({text(line("old one")), text(line("old two"))});

    const char *const messages[] = {"first file, long enough to roll over", "second file, long enough to roll over",
                                    "third file, long enough to roll over"};
    for (const char *message : messages) {
        SCOPED_TRACE(message);
        log->addEvent(catNone, lNormal, QString::fromLatin1(message));
        ASSERT_TRUE(waitShowing({QStringLiteral("-- new File ---"), text(line(message))}))
            << viewer()->shownLines().join(u'|').toStdString();
    }
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31.txt"))), line("old one") + line("old two"));
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31_2.txt"))), line(messages[0]));
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31_3.txt"))), line(messages[1]));
    EXPECT_EQ(fileBytes(logFile()), line(messages[2]));
}

namespace {

struct ClearCase {
    const char *name;
    int button; // index in [Yes, No]
    bool emptied;
};

} // namespace

TEST_F(LogForm, ClearAsksFirstAndOnlyYesDeletesTheFile)
{
    const ClearCase cases[] = {{"No", 1, false}, {"Yes", 0, true}};
    for (const ClearCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFile(logFile(), line("kept or not")));
        makeViewerLog();
        openShowing({text(line("kept or not"))});

        QString question, title;
        DialogDriver<TmsgDialog> driver([&](TmsgDialog &dialog) {
            question = dialog.findChild<QLabel *>(QStringLiteral("msg_label"))->text();
            title = dialog.windowTitle();
            dialog.buttons().at(c.button)->click();
        });
        child<QAction>("Clear1")->trigger();
        ASSERT_TRUE(driver.ran());
        EXPECT_EQ(question, QStringLiteral("Are you sure to delete the logfile?"));
        EXPECT_EQ(title, QStringLiteral("Confirmation"));
        EXPECT_EQ(QFile::exists(logFile()), !c.emptied);
        EXPECT_EQ(viewer()->shownLines().isEmpty(), c.emptied);
        EXPECT_EQ(viewer()->lines(), QStringList{text(line("kept or not"))}) << "the content list stays";

        log->addEvent(catNone, lNormal, QStringLiteral("next"));
        ASSERT_TRUE(wait_until::pumping([&] { return fileBytes(logFile()).endsWith(line("next")); }));
        EXPECT_EQ(fileBytes(logFile()), c.emptied ? line("next") : line("kept or not") + line("next"));
        log->disableForm();
        log.reset();
        QFile::remove(logFile());
    }
}

namespace {

struct CloseCase {
    const char *name;
    void (*close)(TlogForm &);
};

} // namespace

TEST_F(LogForm, ClosingHidesItAndTheNextOpeningReadsTheFileAgain)
{
    const CloseCase cases[] = {
        {"File > Close", [](TlogForm &form) { form.findChild<QAction *>(QStringLiteral("Close1"))->trigger(); }},
        {"close box", [](TlogForm &form) { form.close(); }},
    };
    for (const CloseCase &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeFile(logFile(), line("before")));
        makeViewerLog();
        openShowing({text(line("before"))});
        TlogForm *shown = viewer();

        c.close(*shown);
        EXPECT_FALSE(shown->isVisible());
        EXPECT_EQ(viewer(), shown) << "hidden, not released";
        EXPECT_FALSE(log->Get_data_geladen());
        log->addEvent(catNone, lNormal, QStringLiteral("while closed"));
        ASSERT_TRUE(wait_until::pumping([&] { return fileBytes(logFile()).endsWith(line("while closed")); }));
        wait_until::pumping([] { return false; }, 50);
        EXPECT_EQ(shown->shownLines(), QStringList{text(line("before"))}) << "not updated while closed";

        openShowing({text(line("before")), text(line("while closed"))});
        EXPECT_TRUE(viewer()->isVisible());
        EXPECT_EQ(viewer(), shown);
        // Closing stored where the user left it.
        EXPECT_NE(TIniHandler::getInstance()->readGeometry(QStringLiteral("TlogForm")).width, -1);
        log->disableForm();
        log.reset();
        QFile::remove(logFile());
    }
}

TEST_F(LogForm, LinesTheWriterStillHoldsWhenTheFileIsReadAreShownOnce)
{
    makeViewerLog();
    TlogForm form(*log);
    const QString written = text(line("written"));
    const QString heldBack = text(line("held back"));
    form.addLog(written, true);
    form.addLog(heldBack, true);
    form.initLog({text(line("older")), written});
    form.showLastLine();
    EXPECT_EQ(form.shownLines(), QStringList({text(line("older")), written}));
    form.updateGui();
    EXPECT_EQ(form.shownLines(), QStringList({text(line("older")), written, heldBack}));
    EXPECT_EQ(form.lines(), form.shownLines());
}

TEST_F(LogForm, NewFileAndClearEmptyTheContent)
{
    makeViewerLog();
    TlogForm form(*log);
    form.initLog({text(line("a"))});
    form.showLastLine();
    form.newFile();
    EXPECT_EQ(form.shownLines(), QStringList{QStringLiteral("-- new File ---")});
    EXPECT_TRUE(form.lines().isEmpty());
    form.addLog(text(line("b")), false);
    form.updateGui();
    EXPECT_EQ(form.shownLines(), QStringList({QStringLiteral("-- new File ---"), text(line("b"))}));
    form.clear();
    EXPECT_TRUE(form.shownLines().isEmpty());
    EXPECT_TRUE(form.lines().isEmpty());
}

TEST_F(LogForm, FilterItemsRebuildTheBoxFromEveryLineReceived)
{
    makeViewerLog();
    TlogForm form(*log);
    form.initLog({text(line("head")), text(line("fail", "Communication", "Error")), text(line("step", "Communication"))});
    form.showLastLine();
    QAction *error = form.findChild<QAction *>(QStringLiteral("Error1"));
    error->trigger(); // unchecks it and filters
    EXPECT_EQ(form.shownLines(), QStringList({text(line("head")), text(line("step", "Communication"))}));
    error->trigger();
    EXPECT_EQ(form.shownLines(), QStringList({text(line("head")), text(line("fail", "Communication", "Error")),
                                              text(line("step", "Communication"))}));
}
