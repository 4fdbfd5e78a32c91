// Every key the program asks the translator for is in each shipped language file, and no file
// holds a key the program never asks for.
//
// The keys asked for are gathered two ways and joined:
// - at run time: with a language file that does not exist every lookup misses, and the
//   translator's debug line for each miss ("Could not find Key: ...") reaches the log file,
//   while the test drives every window and dialog and the status texts it can reach;
// - from the sources: literal keys at direct translate calls and the re-addressing steps'
//   key table, whose failure texts a healthy transmitter never shows.
#include "languages_fixture.h"

#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

// Folded key -> the defaults the program gives with it.
using Census = QHash<QString, QSet<QString>>;

QString logFilePath()
{
    return MainWindowTest::home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt"));
}

QByteArray logBytes()
{
    QFile file(logFilePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void add(Census &census, const QString &key, const QString &defaultText)
{
    census[key.toCaseFolded()].insert(defaultText);
}

// The translator's debug lines in a stretch of the log.
Census askedAtRunTime(const QByteArray &logPart)
{
    static const QRegularExpression missed(
        QStringLiteral("\tTranslator\tDebug\tCould not find Key: (.*) in:missing\\.lang  Default-Value: (.*)$"));
    Census census;
    for (const QString &line : QString::fromLocal8Bit(logPart).split(QStringLiteral("\r\n"))) {
        const QRegularExpressionMatch m = missed.match(line);
        if (m.hasMatch())
            add(census, m.captured(1), m.captured(2));
    }
    return census;
}

QString unescape(QString literal)
{
    return literal.replace(QStringLiteral("\\\""), QStringLiteral("\""));
}

struct SourceCensus {
    Census keys;
    int directCalls = 0;
    int stepTables = 0;
};

SourceCensus askedInSources()
{
    static const QString Literal = QStringLiteral(R"lit("((?:[^"\\]|\\.)*)")lit");
    // tr_("key", "default"), tr("key", "default") and translate(QStringLiteral("key"), QStringLiteral("default")).
    static const QRegularExpression directCall(
        QStringLiteral(R"(\btr_?\(\s*)") + Literal + QStringLiteral(R"(\s*,\s*)") + Literal + QStringLiteral(R"(\s*\))"));
    static const QRegularExpression translateCall(QStringLiteral(R"(translate\(\s*QStringLiteral\()") + Literal +
                                                  QStringLiteral(R"(\)\s*,\s*QStringLiteral\()") + Literal +
                                                  QStringLiteral(R"(\)\s*\))"));
    // The re-addressing steps: left key, left default, fixed left, success key, success default,
    // success log, failure key, failure default, failure log.
    static const QRegularExpression stepTable(QStringLiteral(R"(const StepTexts \w+ = \{([^;]*)\};)"));
    static const QRegularExpression stepField(QStringLiteral(R"(nullptr|true|false|)") + Literal);

    SourceCensus census;
    QDirIterator files(QStringLiteral(ZORBIT_SOURCE_DIR), {QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QString source = QString::fromUtf8(file.readAll());
        for (const QRegularExpression *call : {&directCall, &translateCall}) {
            for (auto it = call->globalMatch(source); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                add(census.keys, unescape(m.captured(1)), unescape(m.captured(2)));
                ++census.directCalls;
            }
        }
        for (auto table = stepTable.globalMatch(source); table.hasNext();) {
            QStringList fields;
            for (auto f = stepField.globalMatch(table.next().captured(1)); f.hasNext();) {
                const QRegularExpressionMatch m = f.next();
                fields << (m.captured(1).isNull() ? m.captured(0) : unescape(m.captured(1)));
            }
            if (fields.size() != 9)
                continue;
            ++census.stepTables;
            if (fields[0] != QLatin1String("nullptr") && fields[2] == QLatin1String("false"))
                add(census.keys, fields[0], fields[1]);
            add(census.keys, fields[3], fields[4]);
            add(census.keys, fields[6], fields[7]);
        }
    }
    return census;
}

QStringList sorted(QSet<QString> keys)
{
    QStringList list(keys.begin(), keys.end());
    list.sort();
    return list;
}

class KeyCoverage : public LanguagesTest
{
protected:
    const char *startLanguage() override { return "missing.lang"; }

    // Drives what a user can reach, so that every lookup on the way reaches the log.
    void exercise()
    {
        form->translateGui();
        ASSERT_TRUE(waitForScan());
        ASSERT_TRUE(waitFor([this] { return text("status_left_label") == QStringLiteral("Scan"); }));

        options->show();
        options->hide();

        TLogFile *log = TLogFile::getInstance();
        log->disableForm();
        child<QAction>("show_log_Action")->trigger();
        auto *viewer = dynamic_cast<QWidget *>(log->viewer());
        ASSERT_NE(viewer, nullptr);
        DialogDriver<TmsgDialog> answerNo([](TmsgDialog &dialog) { dialog.buttons().at(1)->click(); });
        viewer->findChild<QAction *>(QStringLiteral("Clear1"))->trigger();
        EXPECT_TRUE(answerNo.ran());
        log->disableForm();

        // Every title and every button the message dialog knows.
        const QList<TButtonTypes> allButtons = {mbYes,    mbNo,      mbOk,  mbCancel,  mbAbort,
                                                mbRetry,  mbIgnore,  mbAll, mbNoToAll, mbYesToAll};
        for (TMsgDialogType type : {mtWarning, mtError, mtInformation, mtConfirmation})
            TmsgDialog(QStringLiteral("x"), type, allButtons, 380, 150, TmsgDialog::defaultIconStripFile());

        table->show();
        table->init();
        table->hide();

        child<QPushButton>("start_btn")->click();
        ASSERT_TRUE(waitFor([this] { return text("status_middle_label") == QStringLiteral("Active"); }));
        child<QPushButton>("stop_btn")->click();
        EXPECT_EQ(text("status_middle_label"), QStringLiteral("Stop"));
        form->on_comm_error(0, 0);
        form->updateGui(QStringLiteral("worker message"));
    }
};

} // namespace

TEST_F(KeyCoverage, EveryKeyAskedForIsShippedAndNothingElse)
{
    TLogFile *log = TLogFile::getInstance();
    log->Set_TranslatorMode(lDebug);
    const qsizetype start = logBytes().size();
    exercise();
    // The log writes in passes; a last line of our own tells when everything is on disk.
    const QString marker = QStringLiteral("key census complete");
    log->addEvent(catNone, lNormal, marker);
    ASSERT_TRUE(waitFor([&] { return logBytes().contains(marker.toLatin1()); }));
    log->Set_TranslatorMode(lError);

    const Census runTime = askedAtRunTime(logBytes().mid(start));
    const SourceCensus sources = askedInSources();
    // Guards against a census that silently finds nothing.
    EXPECT_GE(runTime.size(), 100);
    EXPECT_EQ(sources.stepTables, 12);
    EXPECT_GE(sources.directCalls, 40);
    Census asked = runTime;
    for (auto it = sources.keys.cbegin(); it != sources.keys.cend(); ++it)
        asked[it.key()].unite(it.value());
    QSet<QString> askedKeys(asked.keyBegin(), asked.keyEnd());
    EXPECT_EQ(askedKeys.size(), 319);

    const QString languages = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("languages"));
    for (const char *fileName : {"english.lang", "german.lang"}) {
        SCOPED_TRACE(fileName);
        TTranslator reader(languages, nullptr);
        const QList<TTranslator::Entry> entries = reader.readLanguage(QString::fromLatin1(fileName));
        ASSERT_FALSE(entries.isEmpty());
        QSet<QString> shipped;
        for (const TTranslator::Entry &entry : entries) {
            const QString key = entry.first.toCaseFolded();
            EXPECT_FALSE(shipped.contains(key)) << "given twice: " << entry.first.toStdString();
            shipped.insert(key);
            EXPECT_FALSE(entry.second.isEmpty()) << entry.first.toStdString();
            if (QLatin1String(fileName) == QLatin1String("english.lang") && asked.contains(key)) {
                EXPECT_TRUE(asked[key].contains(entry.second))
                    << entry.first.toStdString() << " = " << entry.second.toStdString() << ", defaults "
                    << sorted(asked[key]).join(u'|').toStdString();
            }
        }
        shipped.remove(QStringLiteral("languagename"));
        EXPECT_EQ(sorted(askedKeys - shipped), QStringList()) << "asked for, not shipped";
        EXPECT_EQ(sorted(shipped - askedKeys), QStringList()) << "shipped, never asked for";
    }
}
