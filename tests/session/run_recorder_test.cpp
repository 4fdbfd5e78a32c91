// Recording a run: the rows reach the file in order with their breaks and the run's end; a file
// that cannot be written is told once, the run's rows wait and reach the file whole once it can
// be written again. Retention removes the oldest runs when its limits are set and when a run
// starts, never the run being recorded nor an open one, and tells how many went and why.
#include "session/run_recorder.h"
#include "file_faults.h"
#include "run_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using file_faults::Fault;
using file_faults::Findings;

namespace {

run_database::Run transmitter()
{
    return run_files::transmitter(QDateTime::currentDateTime());
}

void add_rows(TRunRecorder &recorder, int first, int count)
{
    for (int n = first; n < first + count; ++n)
        recorder.add(n * 10, std::uint16_t(0x8000 + n), std::uint16_t(0x4000 + n));
}

struct Told {
    int failed = 0;
    int works_again = 0;
    QString text;
};

void listen(TRunRecorder &recorder, Told &told)
{
    QObject::connect(&recorder, &TRunRecorder::problem, &recorder, [&told](bool ok, const QString &text) {
        (ok ? told.works_again : told.failed)++;
        told.text = text;
    });
}

// Writes what waits and hands the queued notices over.
void flush(TRunRecorder &recorder)
{
    recorder.flush();
    QCoreApplication::processEvents();
}

} // namespace

TEST(RunRecorder, RowsReachTheFileInOrderWithTheirBreakAndTheEnd)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("SQLite"));
    Told told;
    std::int64_t id = -1;
    {
        TRunRecorder recorder(folder);
        listen(recorder, told);
        recorder.start_run(transmitter());
        add_rows(recorder, 0, 5);
        recorder.add_break();
        add_rows(recorder, 5, 3);
        flush(recorder);
        id = recorder.run_id();
        recorder.end_run(QDateTime::currentDateTime());
        flush(recorder);
        EXPECT_EQ(recorder.run_id(), -1) << "ended: no run is being recorded";
        // A second run: its rows count from 0 again.
        recorder.start_run(transmitter());
        add_rows(recorder, 0, 2);
    } // the rest is written as the recorder ends
    EXPECT_EQ(told.failed, 0) << told.text.toStdString();
    ASSERT_GE(id, 0);

    TRunDatabase db;
    ASSERT_EQ(db.open(QDir(folder).filePath(QString::fromLatin1(run_database::FileName)), TRunDatabase::Access::ReadOnly),
              QString());
    const QList<run_database::Run> runs = db.runs();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[1].id, id);
    EXPECT_TRUE(runs[1].ended.isValid());
    EXPECT_FALSE(runs[0].ended.isValid()) << "not ended when the program ended";
    EXPECT_EQ(runs[0].rows, 2);
    std::vector<run_database::Row> rows;
    std::vector<std::int64_t> breaks;
    ASSERT_EQ(db.read(id, rows, breaks), QString());
    ASSERT_EQ(rows.size(), 8u);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].n, std::int64_t(i));
        EXPECT_EQ(rows[i].t_ms, std::int64_t(i) * 10);
        EXPECT_EQ(rows[i].pressure_raw, 0x8000 + i);
    }
    EXPECT_EQ(breaks, std::vector<std::int64_t>{5});
}

namespace {

struct FaultCase {
    Fault fault;
    bool mid_run; // the fault comes after rows were written
};

class RecorderFaults : public ::testing::TestWithParam<FaultCase>
{
};

// What a user does about it: frees space, gives the folder back, removes what is in the way.
void heal(Fault fault, const QString &folder, const QString &file)
{
    switch (fault) {
    case Fault::FullFileSystem:
        QFile::remove(QDir(folder).filePath(QStringLiteral(".filler")));
        break;
    case Fault::ReadOnlyFolder:
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        break;
    case Fault::DirectoryInPlace:
        QDir().rmdir(file);
        break;
    default:
        break;
    }
}

} // namespace

TEST_P(RecorderFaults, ToldOnceWholeRowsAndRecordingResumes)
{
    const FaultCase c = GetParam();
    QTemporaryDir root;
    const QString folder = root.filePath(QStringLiteral("SQLite"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = QDir(folder).filePath(QString::fromLatin1(run_database::FileName));
    const file_faults::Outcome outcome = file_faults::runInChild(
        c.fault, root.path(), folder, QString::fromLatin1(run_database::FileName),
        [&](const std::function<void()> &strike) {
            Findings found;
            Told told;
            TRunRecorder recorder(folder);
            listen(recorder, told);
            if (!c.mid_run)
                strike();
            recorder.start_run(transmitter());
            add_rows(recorder, 0, 50);
            if (c.mid_run) {
                flush(recorder);
                strike();
            }
            // The file system holds 256 kB: a little, but more than nothing.
            for (int second = 0; second < 3; ++second) {
                add_rows(recorder, 50 + second * 200, 200);
                flush(recorder);
            }
            found["told"] = std::to_string(told.failed);
            found["text names the file"] = told.text.contains(file) ? "yes" : told.text.toStdString();
            heal(c.fault, folder, file);
            add_rows(recorder, 650, 10);
            recorder.end_run(QDateTime::currentDateTime());
            flush(recorder);
            found["works again"] = std::to_string(told.works_again);

            TRunDatabase db;
            const QString why = db.open(file, TRunDatabase::Access::ReadOnly);
            found["open"] = why.isEmpty() ? "ok" : why.toStdString();
            found["integrity"] = db.integrity_check().toStdString();
            std::vector<run_database::Row> rows;
            std::vector<std::int64_t> breaks;
            const QList<run_database::Run> runs = db.runs();
            if (runs.size() == 1)
                db.read(runs[0].id, rows, breaks);
            bool in_order = !rows.empty();
            for (size_t i = 0; i < rows.size(); ++i)
                in_order = in_order && rows[i].n == std::int64_t(i) && rows[i].pressure_raw == std::uint16_t(0x8000 + i);
            found["rows"] = std::to_string(rows.size());
            found["in order"] = in_order ? "yes" : "no";
            found["ended"] = runs.size() == 1 && runs[0].ended.isValid() ? "yes" : "no";
            return found;
        });
    if (outcome.skipped) {
        GTEST_SKIP() << outcome.skipReason;
    }
    ASSERT_TRUE(outcome.exitedNormally);
    const auto found = [&outcome](const char *key) { return outcome.found(key); };
    EXPECT_EQ(found("told"), "1");
    EXPECT_EQ(found("text names the file"), "yes");
    EXPECT_EQ(found("works again"), "1");
    EXPECT_EQ(found("open"), "ok");
    EXPECT_EQ(found("integrity"), "ok");
    EXPECT_EQ(found("rows"), "660") << "every row, written late";
    EXPECT_EQ(found("in order"), "yes");
    EXPECT_EQ(found("ended"), "yes");
}

INSTANTIATE_TEST_SUITE_P(Faults, RecorderFaults,
                         ::testing::Values(FaultCase{Fault::FullFileSystem, true}, FaultCase{Fault::ReadOnlyFolder, false},
                                           FaultCase{Fault::DirectoryInPlace, false}),
                         [](const ::testing::TestParamInfo<FaultCase> &info) {
                             std::string name = file_faults::name(info.param.fault);
                             std::string out;
                             bool up = true;
                             for (char ch : name) {
                                 if (ch == ' ' || ch == '-') {
                                     up = true;
                                     continue;
                                 }
                                 out += up ? char(std::toupper(static_cast<unsigned char>(ch))) : ch;
                                 up = false;
                             }
                             return out;
                         });

namespace {

struct Removal {
    bool ok = false;
    QList<std::int64_t> runs;
    QString text;
};

// Every removal the recorder tells of, with the runs sorted.
void listen(TRunRecorder &recorder, QList<Removal> &told)
{
    QObject::connect(&recorder, &TRunRecorder::runs_removed, &recorder,
                     [&told](bool ok, QList<std::int64_t> runs, const QString &text) {
                         std::sort(runs.begin(), runs.end());
                         told.append({ok, runs, text});
                     });
}

} // namespace

TEST(RunRecorder, RetentionAtAChangeAndAtEachStartSparesTheRunningAndTheOpenRuns)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("SQLite"));
    const QDateTime now = QDateTime::currentDateTime();
    const std::int64_t forty = run_files::store(folder, run_files::transmitter(now.addDays(-40)), run_files::rows(20));
    const std::int64_t open = run_files::store(folder, run_files::transmitter(now.addDays(-35)), run_files::rows(20));
    const std::int64_t young = run_files::store(folder, run_files::transmitter(now.addDays(-2)), run_files::rows(20));
    ASSERT_TRUE(forty > 0 && open > 0 && young > 0);

    QList<Removal> told;
    TRunRecorder recorder(folder);
    listen(recorder, told);
    recorder.set_open_runs({open});
    recorder.set_retention(30, 0);
    flush(recorder);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].ok);
    EXPECT_EQ(told[0].runs, QList<std::int64_t>{forty});
    EXPECT_EQ(told[0].text, QStringLiteral("Removed 1 recorded run by the retention settings: 1 older than 30 days."));
    EXPECT_EQ(run_files::ids(folder), QList<std::int64_t>({open, young}));

    // A run copied in meanwhile waits for the next start: retention runs at no other commit.
    const std::int64_t fifty = run_files::store(folder, run_files::transmitter(now.addDays(-50)), run_files::rows(5));
    flush(recorder);
    EXPECT_EQ(told.size(), 1);

    // A run that is too old by the limit as it starts is the running one all the same.
    recorder.start_run(run_files::transmitter(now.addDays(-45)));
    add_rows(recorder, 0, 3);
    flush(recorder);
    const std::int64_t running = recorder.run_id();
    ASSERT_GT(running, 0);
    ASSERT_EQ(told.size(), 2);
    EXPECT_EQ(told[1].runs, QList<std::int64_t>{fifty});
    EXPECT_EQ(run_files::ids(folder), QList<std::int64_t>({open, young, running}));

    // Once ended and closed in the window, both go at the next change of the limits.
    recorder.end_run(QDateTime::currentDateTime());
    recorder.set_open_runs({});
    recorder.set_retention(30, 0);
    flush(recorder);
    ASSERT_EQ(told.size(), 3);
    EXPECT_EQ(told[2].runs, QList<std::int64_t>({open, running}));
    EXPECT_EQ(told[2].text, QStringLiteral("Removed 2 recorded runs by the retention settings: 2 older than 30 days."));
    EXPECT_EQ(run_files::ids(folder), QList<std::int64_t>{young});
}

TEST(RunRecorder, RetentionTellsHowManyRunsWentAndWhyOrWhyNone)
{
    const struct {
        const char *name;
        const char *file; // "runs": four runs of 1, 5, 20 and 40 days, more than half a MB each
        int days, megabytes;
        bool ok;
        int removed;
        const char *text; // null: nothing told
    } cases[] = {
        {"both limits", "runs", 10, 1, true, 3,
         "Removed 3 recorded runs by the retention settings: 2 older than 10 days, 1 to keep all runs within 1 MB."},
        {"size only", "runs", 0, 1, true, 3,
         "Removed 3 recorded runs by the retention settings: 3 to keep all runs within 1 MB."},
        {"within the limits", "runs", 60, 10, true, 0, nullptr},
        {"no limits", "runs", 0, 0, true, 0, nullptr},
        {"nothing recorded yet", "none", 1, 1, true, 0, nullptr},
        {"no file of runs", "garbage", 1, 0, false, 0, "Old recorded runs could not be removed: "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("SQLite"));
        const QString file = QDir(folder).filePath(QString::fromLatin1(run_database::FileName));
        const QDateTime now = QDateTime::currentDateTime();
        if (QLatin1String(c.file) == QLatin1String("runs")) {
            for (int days : {1, 5, 20, 40})
                ASSERT_GT(run_files::store(folder, run_files::transmitter(now.addDays(-days)), run_files::rows(40000)), 0);
        } else if (QLatin1String(c.file) == QLatin1String("garbage")) {
            ASSERT_TRUE(QDir().mkpath(folder));
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(4096, 'x'));
        }
        const QByteArray before = [&] {
            QFile f(file);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();

        QList<Removal> told;
        {
            TRunRecorder recorder(folder);
            listen(recorder, told);
            recorder.set_retention(c.days, c.megabytes);
            flush(recorder);
        }
        if (!c.text) {
            EXPECT_TRUE(told.isEmpty()) << told.value(0).text.toStdString();
        } else {
            ASSERT_EQ(told.size(), 1);
            EXPECT_EQ(told[0].ok, c.ok);
            EXPECT_EQ(told[0].runs.size(), c.removed);
            EXPECT_TRUE(told[0].text.startsWith(QLatin1String(c.text))) << told[0].text.toStdString();
        }
        if (QLatin1String(c.file) == QLatin1String("runs")) {
            EXPECT_EQ(run_files::ids(folder).size(), 4 - c.removed);
        } else {
            QFile f(file);
            EXPECT_EQ(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), before) << "left as it was";
        }
    }
}
