// Recording a run: the rows reach the file in order with their breaks and the run's end; a file
// that cannot be written is told once, the run's rows wait and reach the file whole once it can
// be written again.
#include "session/run_recorder.h"
#include "file_faults.h"

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
    run_database::Run r;
    r.started = QDateTime::currentDateTime();
    r.address = 0x28;
    r.product_code = QStringLiteral("F01234E07P0056");
    r.range_max = 10;
    r.pressure_mode = 1;
    r.calibration_date = QStringLiteral("07.04.2019");
    r.adapter_serial = QStringLiteral("0000C0DE");
    r.interval_ms = 10;
    r.program_version = QStringLiteral("1.3");
    return r;
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
