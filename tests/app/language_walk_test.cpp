// A walk through every window of the program, as a user makes them show their texts, in each
// shipped language. Every text must come from a key of the shown language's file (whole, or as
// part of a longer text), from the toolkit's catalogue of that language in its own dialogs, or be
// data; a German text that is left over is named by the key whose English it is. In English no
// text may be a raw key.
#include "app/about.h"
#include "app/splash.h"
#include "languages_fixture.h"
#include "services/log/logFileForm.h"
#include "text_walk.h"
#include "transmitter/OrvelHandler.h"
#include "transmitter/readdress_journal.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/journal_form.h"
#include "views/windows/recorded_runs_form.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QTableWidget>
#include <algorithm>

namespace {

using text_walk::Shown;

// Key -> text, of one shipped language file.
QHash<QString, QString> languageFile(const char *fileName)
{
    TTranslator reader(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("languages")), nullptr);
    QHash<QString, QString> entries;
    for (const TTranslator::Entry &entry : reader.readLanguage(QString::fromLatin1(fileName)))
        entries.insert(entry.first, entry.second);
    return entries;
}

// Data reads the same in every language: a word without letters (numbers, dates, times,
// "-----"), a word with a digit (0x28, 1.3, P[u16], scaling0), a colour code, a web address,
// file name or path, a unit or a quantity's symbol, a month or day name of the user's locale
// beside a number, and the program's name.
bool isData(QString text)
{
    static const QSet<QString> Units = {QStringLiteral("bar"), QStringLiteral("°C"), QStringLiteral("ms"),
                                        QStringLiteral("P"),   QStringLiteral("T"),  QStringLiteral("PA"),
                                        QStringLiteral("PR"),  QStringLiteral("PAA"), QStringLiteral("d"),
                                        QStringLiteral("kB"),  QStringLiteral("MB"), QStringLiteral("GB")};
    static const QRegularExpression Paths(QStringLiteral(R"(\S*[/\\]\S*|[\w-]+\.[A-Za-z]\w*\b)"));
    static const QRegularExpression Colour(QStringLiteral(R"(^#[0-9A-Fa-f]{6}$)"));
    static const QRegularExpression Separators(QStringLiteral(R"([\s,;:()\[\]]+)"));
    QSet<QString> calendar;
    const QLocale locale;
    const bool number = std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    for (int i = 1; number && i <= 12; ++i)
        calendar << locale.monthName(i, QLocale::ShortFormat) << locale.monthName(i, QLocale::LongFormat);
    for (int i = 1; number && i <= 7; ++i)
        calendar << locale.dayName(i, QLocale::ShortFormat) << locale.dayName(i, QLocale::LongFormat);
    text.remove(QStringLiteral("Orvel I2C Zorbit"));
    text.remove(Paths);
    for (const QString &word : text.split(Separators, Qt::SkipEmptyParts)) {
        const bool letters = std::any_of(word.begin(), word.end(), [](QChar c) { return c.isLetter(); });
        const bool digits = std::any_of(word.begin(), word.end(), [](QChar c) { return c.isDigit(); });
        if (letters && !digits && !Units.contains(word) && !Colour.match(word).hasMatch() && !calendar.contains(word))
            return false;
    }
    return true;
}

// Where a control shows data as it is: register names, the journal's own fields, names of
// looks, of files and folders, and the program's name in the main window's title.
bool dataPlace(const Shown &s)
{
    using namespace readdress_journal;
    if (s.header)
        return false;
    if (s.window == QLatin1String("memory map") && s.control == QLatin1String("Grid"))
        return s.column == 0;
    if (s.window == QLatin1String("journal") && s.control == QLatin1String("journal_table"))
        return s.column != Outcome && s.column != FailedStep && s.column != ProcedureColumn;
    if (s.window == QLatin1String("save dialog"))
        return QStringList{"sidebar", "listView", "treeView", "lookInCombo", "fileNameEdit"}.contains(s.control);
    if (s.window == QLatin1String("main window") && s.control == QLatin1String("Tmain_Form"))
        return s.title;
    return s.control == QLatin1String("ComboBoxStyles");
}

// The toolkit's standard dialogs take their texts from its own catalogue.
bool toolkitDialog(const Shown &s)
{
    return s.window == QLatin1String("save dialog") || s.window == QLatin1String("colour dialog");
}

// A language's texts as patterns of whole words, longest first; "%1" stands for anything.
QList<QRegularExpression> phrases(const QStringList &texts)
{
    QStringList sorted = texts;
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) { return a.size() > b.size(); });
    sorted.removeDuplicates();
    QList<QRegularExpression> patterns;
    for (const QString &text : sorted) {
        QString pattern = QRegularExpression::escape(text);
        pattern.replace(QRegularExpression(QStringLiteral(R"(\\?%\d)")), QStringLiteral(".*?"));
        patterns.append(QRegularExpression(QStringLiteral(R"((?<![\p{L}\p{N}]))") + pattern +
                                           QStringLiteral(R"((?![\p{L}\p{N}]))")));
    }
    return patterns;
}

QString withoutPhrases(QString text, const QList<QRegularExpression> &patterns)
{
    for (const QRegularExpression &pattern : patterns)
        text.replace(pattern, QStringLiteral(" "));
    return text;
}

struct LanguageCase {
    const char *file;
    const char *name;
};

class LanguageWalk : public LanguagesTest, public ::testing::WithParamInterface<LanguageCase>
{
protected:
    const char *startLanguage() override { return GetParam().file; }
    bool german() const { return QLatin1String(GetParam().file) == QLatin1String("german.lang"); }

    void SetUp() override
    {
        LanguagesTest::SetUp();
        fToolkit.moveToFront(); // after the catalogue the program chose
    }
    void TearDown() override
    {
        QCoreApplication::removeTranslator(&fToolkit);
        LanguagesTest::TearDown();
    }

    // The window as the user first sees it, then with each page of each tab widget in front.
    // With ZORBIT_SCREENSHOT_DIR set, its first look is kept there as a picture.
    void walk(QWidget &window, const char *name)
    {
        window.show();
        QTest::qWait(20);
        const QString windowName = QString::fromLatin1(name);
        const QString pictures = qEnvironmentVariable("ZORBIT_SCREENSHOT_DIR");
        const QString picture =
            QDir(pictures).filePath(QStringLiteral("%1 %2.png").arg(windowName, QString::fromLatin1(GetParam().name)));
        if (!pictures.isEmpty() && QDir().mkpath(pictures) && !QFileInfo::exists(picture)) {
            EXPECT_TRUE(window.grab().save(picture));
        }
        fShown << text_walk::texts(window, windowName);
        for (QTabWidget *tabs : window.findChildren<QTabWidget *>()) {
            if (!tabs->isVisible())
                continue;
            const int front = tabs->currentIndex();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                fShown << text_walk::texts(window, windowName);
            }
            tabs->setCurrentIndex(front);
        }
    }

    // Each procedure with each outcome, each failed step and each refusal, and one attempt cut
    // off while it wrote.
    void writeJournal(const QString &folder)
    {
        using namespace readdress_journal;
        using readdress::Refusal;
        using readdress::Step;
        T_Orvel_Handler &handler = *T_Orvel_Handler::get_Instance();
        QDateTime time(QDate(2026, 3, 2), QTime(9, 30), Qt::UTC);
        QList<readdress::Outcome> outcomes = {{}, {Step::Confirm}};
        for (Refusal why : {Refusal::AddressInUse, Refusal::Incomplete, Refusal::NotCalibrated, Refusal::NoChangeLeft,
                            Refusal::MemoryError, Refusal::OtherImage, Refusal::OtherProduct})
            outcomes.append({Step::Check, why});
        for (Step step : {Step::DetectDongle, Step::DisableI2c, Step::DisableSpi, Step::SwitchOff, Step::SwitchOn,
                          Step::EnableI2c, Step::CommandMode, Step::Write, Step::Verify, Step::Checksum,
                          Step::SwitchOffAfter, Step::SwitchOnAfter, Step::NewAddress})
            outcomes.append({step, Refusal::None, step >= Step::Write});
        for (Procedure procedure : {Procedure::Readdress, Procedure::Restore}) {
            const auto attempt = [&] {
                Attempt a;
                a.procedure = procedure;
                a.time = time = time.addSecs(60);
                a.user = QStringLiteral("kmeier");
                a.host = QStringLiteral("prüfplatz");
                a.adapter_serial = QStringLiteral("00001A2B");
                a.product_code = QStringLiteral("PA10");
                a.old_address = 0x28;
                a.new_address = 0x30;
                a.page_before = 1;
                return a;
            };
            for (const readdress::Outcome &outcome : outcomes) {
                Attempt a = attempt();
                ASSERT_EQ(start(folder, a), QString());
                ASSERT_EQ(record(folder, a, outcome, handler), QString());
            }
            Attempt cut = attempt();
            ASSERT_EQ(start(folder, cut), QString());
        }
    }

    void walkEveryWindow();
    QStringList problems() const;

    text_walk::ToolkitTexts fToolkit;
    QList<Shown> fShown;
};

void LanguageWalk::walkEveryWindow()
{
    // The main window with the transmitter found, then while it measures.
    ASSERT_TRUE(waitFor([this] { return text("changes_left") != QStringLiteral("************"); }));
    walk(*form, "main window");
    auto *monitor = child<TMonitorView>("monitor");
    monitor->expand_sidebar();
    walk(*form, "main window");
    monitor->collapse_sidebar();
    child<QToolButton>("switch_button")->click();
    walk(*form, "main window");
    child<QToolButton>("switch_button")->click();
    child<QPushButton>("start_btn")->click();
    ASSERT_TRUE(waitFor([this] { return child<QPushButton>("stop_btn")->isVisible() && table->row_count() > 3; }));
    walk(*form, "main window");
    child<QPushButton>("stop_btn")->click();
    walk(*form, "main window");

    // The run just measured in the list of recorded runs, the question before deleting it, and
    // the run opened in the chart.
    child<QAction>("recorded_runs_Action")->trigger();
    auto *runs = form->findChild<Trecorded_runs_form *>();
    ASSERT_NE(runs, nullptr);
    ASSERT_TRUE(waitFor([&] {
        child<QAction>("recorded_runs_Action")->trigger();
        return !runs->runs().isEmpty() && runs->runs().first().ended.isValid();
    }));
    walk(*runs, "recorded runs");
    DialogDriver<TmsgDialog> deleteQuestion([this](TmsgDialog &dialog) {
        walk(dialog, "message dialog");
        dialog.buttons().at(1)->click(); // No
    });
    runs->select(0);
    runs->findChild<QPushButton *>(QStringLiteral("delete_btn"))->click();
    EXPECT_TRUE(deleteQuestion.ran());
    runs->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
    ASSERT_TRUE(waitFor([monitor] { return monitor->showing_run(); }, 20000));
    walk(*form, "main window");

    child<QAction>("show_memory_map_Action")->trigger();
    walk(*memory, "memory map");

    walk(*table, "table");
    DialogDriver<QFileDialog> saveDialog([this](QFileDialog &dialog) {
        walk(dialog, "save dialog");
        dialog.reject();
    });
    table->findChild<QAbstractButton *>(QStringLiteral("save_btn"))->click();
    EXPECT_TRUE(saveDialog.ran());

    DialogDriver<QColorDialog> colourDialog([this](QColorDialog &dialog) {
        walk(dialog, "colour dialog");
        dialog.reject();
    });
    form->findChild<QAbstractButton *>(QStringLiteral("TntSpeedButton1"))->click();
    EXPECT_TRUE(colourDialog.ran());

    TLogFile *log = TLogFile::getInstance();
    log->disableForm(); // made afresh in this language
    child<QAction>("show_log_Action")->trigger();
    auto *viewer = dynamic_cast<TlogForm *>(log->viewer());
    ASSERT_NE(viewer, nullptr);
    walk(*viewer, "log viewer");
    DialogDriver<TmsgDialog> question([this](TmsgDialog &dialog) {
        walk(dialog, "message dialog");
        dialog.buttons().at(1)->click();
    });
    viewer->findChild<QAction *>(QStringLiteral("Clear1"))->trigger();
    EXPECT_TRUE(question.ran());
    log->disableForm();
    for (TMsgDialogType type : {mtWarning, mtError, mtInformation, mtConfirmation}) {
        TmsgDialog dialog(QStringLiteral("0x28"), type,
                          {mbYes, mbNo, mbOk, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll}, 380,
                          150, TmsgDialog::defaultIconStripFile());
        walk(dialog, "message dialog");
    }

    runSettings([this](Toption_Form &dialog) {
        walk(dialog, "options dialog");
        press(dialog, "cancel_btn");
    });

    Tabout_Form about(form.get());
    walk(about, "about box");
    about.hide();
    Tsplash_Form splash;
    splash.setAttribute(Qt::WA_DeleteOnClose, false); // lives here
    walk(splash, "splash");
    splash.hide();

    QTemporaryDir journalFolder;
    ASSERT_NO_FATAL_FAILURE(writeJournal(journalFolder.path()));
    Tjournal_form journal(journalFolder.path());
    walk(journal, "journal");
    EXPECT_EQ(journal.table()->rowCount(), 2 * 23) << "each procedure: 22 ends and one cut off";
}

QStringList LanguageWalk::problems() const
{
    const QHash<QString, QString> english = languageFile("english.lang");
    const QHash<QString, QString> german = languageFile("german.lang");
    const QHash<QString, QString> &shown = this->german() ? german : english;
    // The list of languages names each in its own words.
    QStringList ownTexts = shown.values();
    ownTexts << english.value(QString::fromLatin1(TTranslator::LanguageNameKey))
             << german.value(QString::fromLatin1(TTranslator::LanguageNameKey));
    const QList<QRegularExpression> own = phrases(ownTexts);
    // English texts that German gives otherwise, and the keys that give them.
    QHash<QString, QString> leftovers;
    for (auto it = english.cbegin(); it != english.cend(); ++it)
        if (this->german() && german.value(it.key()) != it.value())
            leftovers.insert(it.value(), it.key());
    // The toolkit's words: in English its own, in German those of its German catalogue.
    QTranslator catalogue;
    if (this->german() && !catalogue.load(QLocale(QStringLiteral("de")), QStringLiteral("qtbase"), QStringLiteral("_"),
                                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return {QStringLiteral("the toolkit's German catalogue is not installed")};
    const QSet<QString> toolkit = fToolkit.given(this->german() ? &catalogue : nullptr);

    QStringList found;
    QSet<QString> seen;
    for (const Shown &s : fShown) {
        const QString where = s.window + u'/' + s.control +
                              (s.column >= 0 ? QStringLiteral("[%1]").arg(s.column) : QString()) +
                              (s.header ? QStringLiteral(" header") : QString());
        const QString line = QStringLiteral("%1: \"%2\"").arg(where, s.text);
        if (seen.contains(line))
            continue;
        seen.insert(line);
        if (!this->german() && english.contains(s.text) && english.value(s.text) != s.text) {
            found << line + QStringLiteral(" is a raw key");
            continue;
        }
        if (dataPlace(s) || (toolkitDialog(s) && toolkit.contains(s.text)))
            continue;
        const QString rest = withoutPhrases(s.text, own);
        if (isData(rest))
            continue;
        QString why = QStringLiteral("from no key");
        for (auto it = leftovers.cbegin(); it != leftovers.cend(); ++it)
            if (withoutPhrases(rest, phrases({it.key()})) != rest)
                why = QStringLiteral("English text of key ") + it.value();
        found << line + u' ' + why;
    }
    return found;
}

} // namespace

TEST_P(LanguageWalk, EveryTextShownIsTranslatedOrData)
{
    ASSERT_NO_FATAL_FAILURE(walkEveryWindow());
    const QStringList found = problems();
    EXPECT_TRUE(found.isEmpty()) << GetParam().name << ", " << found.size() << " texts:\n"
                                 << found.join(u'\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageWalk,
                         ::testing::Values(LanguageCase{"english.lang", "English"},
                                           LanguageCase{"german.lang", "German"}),
                         [](const ::testing::TestParamInfo<LanguageCase> &info) {
                             return std::string(info.param.name);
                         });
