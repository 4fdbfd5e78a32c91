// `runs export RUN --csv FILE` run as a process against a file of runs made here: the file it
// writes is byte for byte what the table window saves for the same measurements, in the user's
// language, decimals and locale; what it cannot do ends with a line, a kind and exit status 1 or 2.
#include "cli_fixture.h"
#include "locale_guard.h"
#include "run_files.h"
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "transmitter/OrvelDevice.h"
#include "views/windows/table_view.h"

#include <QDateTime>

namespace {

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Where two export files first differ, as a line of each.
std::string first_difference(const QByteArray &got, const QByteArray &expected)
{
    const QList<QByteArray> a = got.split('\n');
    const QList<QByteArray> b = expected.split('\n');
    for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i)
        if (a.value(i) != b.value(i))
            return "line " + std::to_string(i + 1) + ": '" + a.value(i).toStdString() + "' instead of '" +
                   b.value(i).toStdString() + "'";
    return "none";
}

class RunsExport : public Cli
{
protected:
    QString dataFolder() const { return fHome.filePath(QStringLiteral("data/Orvel_IIC_Zorbit")); }
    QString runsFolder() const { return dataFolder() + QStringLiteral("/SQLite"); }
    QString runsFile() const { return runsFolder() + u'/' + QString::fromLatin1(run_database::FileName); }
    Result exportRun(const QString &which, const QString &file, bool json = false)
    {
        QStringList args = {QStringLiteral("runs"), QStringLiteral("export"), which, QStringLiteral("--csv"), file};
        if (json)
            args << QStringLiteral("--json");
        return run(args);
    }
};

struct WindowCase {
    const char *name;
    bool comma;           // the user's locale has a decimal comma
    const char *language; // the settings' language file
    int pressure_digits;
    int temperature_digits;
    float range_min, range_max;
    int mode;
    const char *scaling; // how the window shows that range
    std::int64_t rows;
    QTime start;
    bool by_uid;
    const char *first_line; // in the settings' language
};

// clang-format off
const WindowCase WindowCases[] = {
    {"AcrossMidnight", false, "english.lang", 3, 2, 0.0f, 10.0f, 1, "0.000...10.000 PA", 300, QTime(23, 59, 58, 995), false,
     "Description\t\r\n"},
    {"GermanCommasOtherDigitsByUid", true, "german.lang", 4, 1, -1.0f, 1.0f, 0, "-1,0000...1,0000 PR", 50, QTime(8, 0), true,
     "Beschreibung\t\r\n"},
    {"NoMeasurements", false, "english.lang", 3, 2, 0.0f, 10.0f, 1, "0.000...10.000 PA", 0, QTime(12, 0), false,
     "Description\t\r\n"},
    {"ReadInPieces", false, "english.lang", 0, 5, 0.0f, 0.25f, 2, "0...0 PAA", 140000, QTime(9, 30), false,
     "Description\t\r\n"},
};
// clang-format on

class ExportLikeTheWindow : public RunsExport, public ::testing::WithParamInterface<WindowCase>
{
protected:
    void TearDown() override
    {
        TTranslator::getInstance()->Set_Language(QStringLiteral("english.lang"));
        TTranslator::release();
        RunsExport::TearDown();
    }
};

} // namespace

TEST_P(ExportLikeTheWindow, TheFileIsWhatTheTableWindowSavesForTheSameMeasurements)
{
    const WindowCase &c = GetParam();
    fEnv.insert(QStringLiteral("LC_ALL"), QLatin1String(c.comma ? "de_DE.UTF-8" : "en_US.UTF-8"));
    LocaleGuard locale(c.comma ? LocaleGuard::commaLocale() : LocaleGuard::pointLocale());
    // One settings file for the window here and the command line there.
    TIniHandler ini(dataFolder(), fHome.filePath(QStringLiteral("exe")));
    ini.Set_Language(QString::fromLatin1(c.language));
    ini.Set_pressure_digits(c.pressure_digits);
    ini.Set_temperature_digits(c.temperature_digits);
    TTranslator::getInstance()->Set_Language(QString::fromLatin1(c.language));

    run_database::Run run = run_files::transmitter(QDateTime(QDate(2026, 3, 28), c.start));
    run.range_min = c.range_min;
    run.range_max = c.range_max;
    run.pressure_mode = c.mode;
    const std::vector<run_database::Row> rows = run_files::rows(c.rows);
    const std::int64_t id = run_files::store(runsFolder(), run, rows);
    ASSERT_GT(id, 0);
    TRunDatabase db;
    ASSERT_EQ(db.open(runsFile(), TRunDatabase::Access::ReadOnly), QString());
    run.uid = db.runs().value(0).uid;
    db.close();

    // The window as a live run of the transmitter fills it: its identity from the device panel,
    // each measurement's words with the range the device model converts them with, at the time
    // it was taken.
    Ttable_form window(nullptr, &ini);
    window.set_export_progress([](qint64, qint64) { return true; });
    QStringList errors;
    window.set_error_reporter([&errors](QWidget *, const QString &message) { errors << message; });
    window.Set_scaling(QString::fromUtf8(c.scaling));
    window.Set_calib_date(QStringLiteral("07.04.2019"));
    window.Set_unique_code(QStringLiteral("F01234E07P0056"));
    window.Set_slave_addr(QStringLiteral("0x28"));
    QDateTime now;
    window.set_clock([&now] { return now; });
    T_OrvelDevice device;
    device.Set_pmin(c.range_min);
    device.Set_pmax(c.range_max);
    for (const run_database::Row &row : rows) {
        now = run.started.addMSecs(row.t_ms);
        window.add_row({row.pressure_raw, row.temperature_raw, float(device.Get_pmin()), float(device.Get_pmax()),
                        device.Get_slave_addr()});
    }
    const QString saved = fHome.filePath(QStringLiteral("window.txt"));
    window.set_file_name_asker([&saved](QWidget *, const QString &) { return saved; });
    window.save_to_file();
    ASSERT_EQ(errors, QStringList());
    const QByteArray expected = bytes(saved);
    ASSERT_FALSE(expected.isEmpty());

    const QString file = fHome.filePath(QStringLiteral("run.txt"));
    {
        QFile older(file);
        ASSERT_TRUE(older.open(QIODevice::WriteOnly));
        older.write("an older export, longer than nothing\r\n");
    }
    const QString which = c.by_uid ? run.uid : QString::number(id);
    const Result r = exportRun(which, file, true);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    const QByteArray written = bytes(file);
    EXPECT_EQ(written.size(), expected.size());
    EXPECT_TRUE(written == expected) << first_difference(written, expected);
    EXPECT_TRUE(written.startsWith(c.first_line)) << written.left(40).toStdString();

    const QJsonObject told = object(r.out);
    EXPECT_EQ(told[QStringLiteral("schema")].toInt(), 1);
    EXPECT_EQ(told[QStringLiteral("run")].toInteger(), id);
    EXPECT_EQ(told[QStringLiteral("uid")].toString(), run.uid);
    EXPECT_EQ(told[QStringLiteral("file")].toString(), file);
    EXPECT_EQ(told[QStringLiteral("measurements")].toInteger(), c.rows);
    const QStringList left = QDir(fHome.path()).entryList({QStringLiteral("run.txt*")}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList{QStringLiteral("run.txt")}) << "no temporary file stays behind";
}

INSTANTIATE_TEST_SUITE_P(Runs, ExportLikeTheWindow, ::testing::ValuesIn(WindowCases),
                         [](const ::testing::TestParamInfo<WindowCase> &info) { return std::string(info.param.name); });

TEST_F(RunsExport, TheTextOutputNamesTheRunTheCountAndTheFile)
{
    const std::int64_t id = run_files::store(runsFolder(), run_files::transmitter(QDateTime::currentDateTime()),
                                             run_files::rows(12));
    ASSERT_GT(id, 0);
    const QString file = fHome.filePath(QStringLiteral("run.txt"));
    const Result r = exportRun(QString::number(id), file);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Run %1 (12 measurements) written to %2\n").arg(id).arg(file));
    EXPECT_EQ(bytes(file).count("\r\n"), 12 + 1 + 12) << "header block, header row, one line a measurement";
}

namespace {

struct FailureCase {
    const char *name;
    const char *runs;   // the file of runs: "one" run, "none", "garbage", "newer" schema
    const char *run;    // as given; "<uid>" for the stored run's uid
    const char *target; // below the home; "<folder>" for an existing folder
    int exit;
    const char *kind;
    const char *says; // the start of the line
};

// clang-format off
const FailureCase FailureCases[] = {
    {"UnknownNumber", "one", "99", "run.txt", 1, "no_run", "No recorded run has the number or uid '99'"},
    {"UnknownUid", "one", "0b7c1e52-8d5e-4c8e-9d3a-3f1e2a4b5c6d", "run.txt", 1, "no_run", "No recorded run has"},
    {"NothingRecorded", "none", "1", "run.txt", 1, "no_run", "No recorded run has"},
    {"TargetBelowAPlainFile", "one", "1", "plain/run.txt", 1, "export", "Run 1 could not be written to "},
    {"TargetIsAFolder", "one", "<uid>", "<folder>", 1, "export", "Run 1 could not be written to "},
    {"DamagedFileOfRuns", "garbage", "1", "run.txt", 1, "recording", "The recorded runs cannot be read: "},
    {"NewerFileOfRuns", "newer", "1", "run.txt", 1, "recording", "The recorded runs cannot be read: "},
};
// clang-format on

class ExportFailures : public RunsExport, public ::testing::WithParamInterface<FailureCase>
{
};

} // namespace

TEST_P(ExportFailures, OneLineAKindAndTheExitStatusAndNoFile)
{
    const FailureCase &c = GetParam();
    QString uid;
    const QLatin1String runs(c.runs);
    if (runs != QLatin1String("none")) {
        ASSERT_EQ(run_files::store(runsFolder(), run_files::transmitter(QDateTime::currentDateTime()), run_files::rows(3)), 1);
        TRunDatabase db;
        ASSERT_EQ(db.open(runsFile(), TRunDatabase::Access::ReadOnly), QString());
        uid = db.runs().value(0).uid;
    }
    QFile file(runsFile());
    if (runs == QLatin1String("garbage")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, '\x5a'));
        file.close();
    } else if (runs == QLatin1String("newer")) {
        // The schema version in the header, as a later program leaves it.
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.seek(60));
        file.write(QByteArray("\0\0\0\x02", 4));
        file.close();
    }
    const QByteArray runsBefore = bytes(runsFile());
    {
        QFile plain(fHome.filePath(QStringLiteral("plain")));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    }
    const QString target = QLatin1String(c.target) == QLatin1String("<folder>") ? fHome.filePath(QStringLiteral("folder"))
                                                                                : fHome.filePath(QLatin1String(c.target));
    ASSERT_TRUE(QDir().mkpath(fHome.filePath(QStringLiteral("folder"))));
    const QString which = QLatin1String(c.run) == QLatin1String("<uid>") ? uid : QString::fromLatin1(c.run);

    for (bool json : {false, true}) {
        SCOPED_TRACE(json ? "json" : "text");
        const Result r = exportRun(which, target, json);
        EXPECT_FALSE(r.crashed);
        EXPECT_EQ(r.status, c.exit);
        EXPECT_EQ(r.out, QString());
        EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
        const QString line = json ? object(r.err)[QStringLiteral("error")].toString() : r.err.trimmed();
        EXPECT_TRUE(line.startsWith(QString::fromUtf8(c.says))) << line.toStdString();
        if (json) {
            const QJsonObject error = object(r.err);
            EXPECT_EQ(error[QStringLiteral("kind")].toString(), QLatin1String(c.kind));
            EXPECT_EQ(error[QStringLiteral("exit")].toInt(), c.exit);
        }
    }
    EXPECT_FALSE(QFileInfo(target).isFile()) << "nothing written";
    EXPECT_TRUE(QFileInfo(fHome.filePath(QStringLiteral("folder"))).isDir());
    EXPECT_EQ(QDir(fHome.filePath(QStringLiteral("folder"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
              QStringList());
    EXPECT_EQ(bytes(runsFile()), runsBefore) << "the file of runs is only read";
}

INSTANTIATE_TEST_SUITE_P(Runs, ExportFailures, ::testing::ValuesIn(FailureCases),
                         [](const ::testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });
