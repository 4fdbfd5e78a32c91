// Every window takes its captions from the single translator in its own translateCaptions(): when
// it is made, and when told after a change of language, which the main window does for the
// windows it knows.
#include "languages_fixture.h"
#include "services/log/logFileForm.h"
#include "views/chart/chart_panel.h"
#include "views/monitor/monitor_view.h"
#include "transmitter/readdress_journal.h"
#include "views/windows/journal_form.h"

#include <QMenu>
#include <QTableWidget>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The caption a control shows, whatever kind of control holds it; the window's title when no
// control is named.
QString captionOf(const QWidget &window, const char *control)
{
    if (!control)
        return window.windowTitle();
    const QObject *target = window.findChild<QObject *>(QString::fromLatin1(control));
    if (auto *menu = qobject_cast<const QMenu *>(target))
        return menu->title();
    if (auto *group = qobject_cast<const QGroupBox *>(target))
        return group->title();
    if (auto *label = qobject_cast<const QLabel *>(target))
        return label->text();
    if (auto *button = qobject_cast<const QAbstractButton *>(target))
        return button->text();
    return QStringLiteral("<no caption on %1>").arg(QString::fromLatin1(control));
}

struct WindowCase {
    const char *name;
    std::function<std::unique_ptr<QWidget>()> make;
    std::function<void(QWidget &)> translateCaptions;
    const char *control; // null: the window's title
    const char *english;
    const char *german;
};

template <typename Window>
std::function<void(QWidget &)> translating()
{
    return [](QWidget &window) { dynamic_cast<Window &>(window).translateCaptions(); };
}

// The windows on their own, with the shipped language files beside the test program.
class WindowCaptions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        MainWindowTest::home(); // the settings store and the log in folders of this test program
        ASSERT_TRUE(fFolder.isValid());
        TTranslator::release(); // made afresh on the languages beside the program
        language("english.lang");
    }
    void TearDown() override { TTranslator::release(); }

    static void language(const char *file)
    {
        TTranslator *translator = TTranslator::getInstance();
        translator->Set_Language(QString::fromLatin1(file));
        ASSERT_FALSE(translator->Dictionary().isEmpty()) << file;
    }

    std::vector<WindowCase> cases()
    {
        return {
            {"log viewer", [] { return std::make_unique<TlogForm>(*TLogFile::getInstance()); },
             translating<TlogForm>(), "File1", "File", "Datei"},
            {"options dialog", [] { return std::make_unique<Toption_Form>(); }, translating<Toption_Form>(), nullptr,
             "Options", "Optionen"},
            {"table window", [] { return std::make_unique<Ttable_form>(); }, translating<Ttable_form>(), nullptr,
             "Table", "Tabelle"},
            {"journal window", [this] { return std::make_unique<Tjournal_form>(fFolder.path()); },
             translating<Tjournal_form>(), nullptr, "Re-addressing journal", "Protokoll der Adressänderungen"},
            {"monitor view", [this] { return monitor(); }, translating<TMonitorView>(), "clear_btn", "Clear Chart",
             "Kurven leeren"},
            {"monitor view's chart panel", [this] { return monitor(); }, translating<TMonitorView>(),
             "left_axis_title", "Left Axis", "Linke Achse"},
            {"chart panel", [] { return std::make_unique<TChartPanel>(); }, translating<TChartPanel>(),
             "left_axis_box", "Left Axis", "Linke Achse"},
            {"memory map", [] { return std::make_unique<Tmemory_Form>(); }, translating<Tmemory_Form>(), nullptr,
             "Device Memory", "Gerätespeicher"},
            {"memory map's status", [] { return std::make_unique<Tmemory_Form>(); }, translating<Tmemory_Form>(),
             "corrected_label", "Data was corrected", "Daten wurden korrigiert"},
        };
    }

    std::unique_ptr<QWidget> monitor()
    {
        auto view = std::make_unique<TMonitorView>();
        view->setup(fIni); // the chart and its panel come with the setup
        return view;
    }

    QTemporaryDir fFolder;
    TIniHandler fIni{fFolder.path(), fFolder.path()};
};

} // namespace

TEST_F(WindowCaptions, MadeInTheLanguageOfTheMomentAndFollowingItWhenTold)
{
    for (const WindowCase &c : cases()) {
        SCOPED_TRACE(c.name);
        language("english.lang");
        const std::unique_ptr<QWidget> window = c.make();
        EXPECT_EQ(captionOf(*window, c.control), QString::fromUtf8(c.english));

        language("german.lang");
        EXPECT_EQ(captionOf(*window, c.control), QString::fromUtf8(c.english)) << "until told";
        c.translateCaptions(*window);
        EXPECT_EQ(captionOf(*window, c.control), QString::fromUtf8(c.german));

        const std::unique_ptr<QWidget> madeInGerman = c.make();
        EXPECT_EQ(captionOf(*madeInGerman, c.control), QString::fromUtf8(c.german));

        language("english.lang");
        c.translateCaptions(*window);
        EXPECT_EQ(captionOf(*window, c.control), QString::fromUtf8(c.english)) << "and back";
    }
}

// The journal's own words are shown in the language of the moment; its file keeps them as they are.
TEST_F(WindowCaptions, JournalWordsFollowTheLanguageAndTheFileKeepsItsOwn)
{
    using namespace readdress_journal;
    const readdress::Outcome refused{readdress::Step::Check, readdress::Refusal::NoChangeLeft};
    QStringList line(ColumnCount);
    line[Time] = QStringLiteral("2026-03-02T09:31:00.000Z");
    line[Outcome] = outcome_text(refused);
    line[FailedStep] = failed_step_text(refused);
    line[ProcedureColumn] = procedure_text(Procedure::Restore);
    QFile file(journal_file(fFolder.path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write((csv_line(columns()) + u'\n' + csv_line(line) + u'\n').toUtf8());
    file.close();

    Tjournal_form journal(fFolder.path());
    journal.reload();
    QTableWidget *rows = journal.table();
    ASSERT_EQ(rows->rowCount(), 1);
    const auto shown = [rows] {
        return QStringList{rows->item(0, Outcome)->text(), rows->item(0, FailedStep)->text(),
                           rows->item(0, ProcedureColumn)->text()};
    };
    EXPECT_EQ(shown(), (QStringList{"Refused", "Check: No change left", "Restore"}));
    language("german.lang");
    journal.translateCaptions();
    EXPECT_EQ(shown(), (QStringList{"Abgelehnt", "Vorprüfung: Keine Änderung mehr möglich", "Zurückschreiben"}));
    EXPECT_EQ(read(fFolder.path()).value(0), line) << "the file as it was";
}

namespace {

using OpenWindows = LanguagesTest;

} // namespace

// The table, the journal and the log viewer stay open while the user changes the language.
TEST_F(OpenWindows, FollowTheMainWindowsChangeOfLanguage)
{
    table->show();
    child<QAction>("journal_Action")->trigger();
    auto *journal = form->findChild<Tjournal_form *>();
    ASSERT_NE(journal, nullptr);
    child<QAction>("show_log_Action")->trigger();
    auto *viewer = dynamic_cast<TlogForm *>(TLogFile::getInstance()->viewer());
    ASSERT_NE(viewer, nullptr);
    const auto expectShown = [&](const char *tableTitle, const char *journalTitle, const char *timeColumn,
                                 const char *fileMenu) {
        EXPECT_EQ(table->windowTitle(), QString::fromUtf8(tableTitle));
        EXPECT_EQ(journal->windowTitle(), QString::fromUtf8(journalTitle));
        EXPECT_EQ(journal->table()->horizontalHeaderItem(0)->text(), QString::fromUtf8(timeColumn));
        EXPECT_EQ(viewer->findChild<QMenu *>(QStringLiteral("File1"))->title(), QString::fromUtf8(fileMenu));
    };
    expectShown("Table", "Re-addressing journal", "Time", "File");

    runSettings([&](Toption_Form &dialog) {
        pick(dialog, "ComboBoxLanguages", QStringLiteral("Deutsch"));
        expectShown("Table", "Re-addressing journal", "Time", "File"); // as the main window, after OK
        press(dialog, "ok_btn");
    });
    expectShown("Tabelle", "Protokoll der Adressänderungen", "Zeit", "Datei");
    EXPECT_TRUE(table->isVisible());
    EXPECT_TRUE(journal->isVisible());

    TTranslator::getInstance()->Set_Language(QStringLiteral("english.lang"));
    form->translateGui();
    expectShown("Table", "Re-addressing journal", "Time", "File");
}
