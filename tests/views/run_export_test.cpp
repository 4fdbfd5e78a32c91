// A recorded run written to a file: all of a long run, in order, however it is read; a file that
// cannot take the rows is a write failure, never taken for a damaged file of runs.
#include "views/windows/run_export.h"

#include "services/utils/file_commit.h"

#include "run_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class RunExport : public ::testing::Test
{
protected:
    void TearDown() override { file_commit::set_fault({}); }

    // A run longer than one batch of the file's reader, stored and opened in `fDb`; the export's
    // folder made.
    void SetUp() override
    {
        const std::int64_t id =
            run_files::store(fHome.path(), run_files::transmitter(QDateTime(QDate(2026, 3, 4), QTime(23, 59, 58))),
                             run_files::rows(std::int64_t(TRunDatabase::BatchRows) * 2 + 3));
        ASSERT_GT(id, 0);
        ASSERT_EQ(fDb.open(QDir(fHome.path()).filePath(QString::fromLatin1(run_database::FileName)),
                           TRunDatabase::Access::ReadOnly),
                  QString());
        const QList<run_database::Run> runs = fDb.runs();
        ASSERT_EQ(runs.size(), 1);
        fRun = runs[0];
        ASSERT_TRUE(QDir().mkpath(QFileInfo(target()).absolutePath()));
    }
    QString target() const { return fHome.filePath(QStringLiteral("out/run.txt")); }

    QTemporaryDir fHome;
    TRunDatabase fDb;
    run_database::Run fRun;
};

} // namespace

TEST_F(RunExport, EveryRowOfALongRunInOrderWithTimesFromTheFirstRow)
{
    const run_database::Run &run = fRun;
    const run_export::Outcome out = run_export::save(fDb, run, target(), {});
    ASSERT_TRUE(out.ok()) << out.read_error.toStdString() << out.write_error.toStdString();
    EXPECT_EQ(out.rows, run.rows);

    QFile file(target());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    // The measurement lines follow the header block: date, time, the raw and computed values.
    const std::vector<run_database::Row> rows = run_files::rows(run.rows);
    std::size_t n = 0;
    QByteArray first, last;
    for (const QByteArray &line : lines) {
        const QList<QByteArray> cells = line.trimmed().split('\t');
        if (cells.size() != 6 || !QDate::fromString(QString::fromLatin1(cells[0]), QStringLiteral("dd.MM.yyyy")).isValid())
            continue;
        ASSERT_LT(n, rows.size());
        ASSERT_EQ(cells[2].toInt(), rows[n].pressure_raw) << "measurement " << n;
        ASSERT_EQ(cells[4].toInt(), rows[n].temperature_raw) << "measurement " << n;
        if (n == 0)
            first = line.trimmed();
        last = line.trimmed();
        ++n;
    }
    EXPECT_EQ(std::int64_t(n), run.rows);
    // The run began just before midnight: the date moves on, the relative time goes on counting.
    EXPECT_TRUE(first.startsWith("04.03.2026\t00:00:00.000\t")) << first.toStdString();
    const QByteArray lastTime =
        QTime::fromMSecsSinceStartOfDay(int(rows.back().t_ms)).toString(QStringLiteral("hh:mm:ss.zzz")).toLatin1();
    EXPECT_TRUE(last.startsWith("05.03.2026\t" + lastTime + "\t")) << last.toStdString();
}

TEST_F(RunExport, AFileThatCannotTakeTheRowsIsAWriteFailureAndLeavesNoFile)
{
    const run_database::Run &run = fRun;
    const QString out_folder = QFileInfo(target()).absolutePath();
    file_commit::set_fault([out_folder](const QString &name) { return QFileInfo(name).absolutePath() == out_folder; });
    const run_export::Outcome out = run_export::save(fDb, run, target(), {});
    EXPECT_FALSE(out.ok());
    EXPECT_FALSE(out.write_error.isEmpty());
    EXPECT_EQ(out.read_error, QString()) << "the file of runs was read without fault";
    EXPECT_FALSE(QFileInfo::exists(target()));
    EXPECT_EQ(QDir(out_folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
    // The next try, with the disk writable again, writes the whole run.
    file_commit::set_fault({});
    EXPECT_TRUE(run_export::save(fDb, run, target(), {}).ok());
    EXPECT_TRUE(QFileInfo(target()).size() > 0);
}
