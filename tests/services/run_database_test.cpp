// The file of recorded runs: created at the current schema, rows back in order after a reopen,
// files it must not touch (newer, not a database, damaged) refused and left byte for byte, and
// the retention rule that never removes a run it is told to keep.
#include "services/recording/run_database.h"
#include "run_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sqlite3.h>

using run_database::Row;
using RunRecord = run_database::Run;

namespace {

QByteArray bytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// Straight through SQLite, as another program would.
void raw_exec(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

class RunDatabase : public ::testing::Test
{
protected:
    QString file(const char *name = run_database::FileName) const { return dir.filePath(QString::fromLatin1(name)); }
    static RunRecord run_at(const QDateTime &started, const char *product = "F01234E07P0056")
    {
        RunRecord r = run_files::transmitter(started);
        r.product_code = QString::fromLatin1(product);
        return r;
    }
    static std::vector<Row> rows(std::int64_t first, std::int64_t count)
    {
        std::vector<Row> out;
        for (std::int64_t n = first; n < first + count; ++n)
            out.push_back({n, n * 10, std::uint16_t(0x8000 + n), std::uint16_t(0x4000 - n)});
        return out;
    }
    // A database with one run of `count` rows, closed.
    void make(const QString &path, std::int64_t count)
    {
        TRunDatabase db;
        ASSERT_EQ(db.open(path, TRunDatabase::Access::ReadWrite), QString());
        RunRecord r = run_at(QDateTime::currentDateTime());
        ASSERT_EQ(db.begin_run(r), QString());
        ASSERT_EQ(db.append(r.id, rows(0, count), {}), QString());
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(RunDatabase, ANewFileGetsTheCurrentSchemaAndTheRowsComeBackInOrder)
{
    const QDateTime t0 = QDateTime::fromMSecsSinceEpoch(1'700'000'000'000);
    std::int64_t first = 0, second = 0;
    {
        TRunDatabase db;
        ASSERT_EQ(db.open(file(), TRunDatabase::Access::ReadWrite), QString());
        RunRecord a = run_at(t0);
        RunRecord b = run_at(t0.addSecs(3600), "F00815E12P0300");
        ASSERT_EQ(db.begin_run(a), QString());
        ASSERT_EQ(db.begin_run(b), QString());
        EXPECT_NE(a.uid, b.uid);
        first = a.id;
        second = b.id;
        // Two commits, the second with a new line starting at row 3.
        ASSERT_EQ(db.append(a.id, rows(0, 3), {}), QString());
        ASSERT_EQ(db.append(a.id, rows(3, 4), {3}, t0.addSecs(60)), QString());
        ASSERT_EQ(db.append(b.id, rows(0, 2), {}), QString());
    }
    EXPECT_EQ(TRunDatabase::file_version(file()), run_database::SchemaVersion);

    TRunDatabase db;
    ASSERT_EQ(db.open(file(), TRunDatabase::Access::ReadOnly), QString());
    EXPECT_EQ(db.integrity_check(), QStringLiteral("ok"));
    const QList<RunRecord> runs = db.runs();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].id, second) << "newest first";
    EXPECT_EQ(runs[0].product_code, QStringLiteral("F00815E12P0300"));
    EXPECT_FALSE(runs[0].ended.isValid()) << "not ended: cut off";
    EXPECT_EQ(runs[1].rows, 7);
    EXPECT_EQ(runs[1].ended, t0.addSecs(60));
    EXPECT_EQ(runs[1].started, t0);
    EXPECT_EQ(runs[1].calibration_date, QStringLiteral("07.04.2019"));
    EXPECT_GT(runs[1].bytes, runs[0].bytes);

    std::vector<Row> back;
    std::vector<std::int64_t> breaks;
    ASSERT_EQ(db.read(first, back, breaks), QString());
    const std::vector<Row> expected = rows(0, 7);
    ASSERT_EQ(back.size(), expected.size());
    for (size_t i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].n, expected[i].n);
        EXPECT_EQ(back[i].t_ms, expected[i].t_ms);
        EXPECT_EQ(back[i].pressure_raw, expected[i].pressure_raw);
        EXPECT_EQ(back[i].temperature_raw, expected[i].temperature_raw);
    }
    EXPECT_EQ(breaks, std::vector<std::int64_t>{3});
    EXPECT_NE(db.append(first, rows(7, 1), {}), QString()) << "a reader never writes";
}

// A long run comes in batches, in order, its breaks known before the first batch; rows of
// other runs stay out.
TEST_F(RunDatabase, ALongRunComesInBatchesWithItsBreaksFirst)
{
    const std::int64_t batch = std::int64_t(TRunDatabase::BatchRows);
    const std::int64_t count = 2 * batch + 5;
    const std::vector<std::int64_t> written_breaks = {1, batch, count - 1};
    std::int64_t id = 0, empty = 0;
    {
        TRunDatabase db;
        ASSERT_EQ(db.open(file(), TRunDatabase::Access::ReadWrite), QString());
        RunRecord before = run_at(QDateTime::currentDateTime()), r = run_at(QDateTime::currentDateTime()),
                  after = run_at(QDateTime::currentDateTime()), none = run_at(QDateTime::currentDateTime());
        for (RunRecord *run : {&before, &r, &after, &none})
            ASSERT_EQ(db.begin_run(*run), QString());
        ASSERT_EQ(db.append(before.id, rows(0, 10), {2}), QString());
        ASSERT_EQ(db.append(r.id, rows(0, count), written_breaks), QString());
        ASSERT_EQ(db.append(after.id, rows(0, 10), {3}), QString());
        id = r.id;
        empty = none.id;
    }
    TRunDatabase db;
    ASSERT_EQ(db.open(file(), TRunDatabase::Access::ReadOnly), QString());
    std::vector<std::int64_t> breaks = {99};
    std::vector<std::size_t> sizes;
    std::vector<Row> back;
    bool breaks_first = true;
    ASSERT_EQ(db.read(
                  id,
                  [&](const std::vector<Row> &b) {
                      breaks_first = breaks_first && breaks == written_breaks;
                      sizes.push_back(b.size());
                      back.insert(back.end(), b.begin(), b.end());
                      return true;
                  },
                  breaks),
              QString());
    EXPECT_TRUE(breaks_first);
    EXPECT_EQ(breaks, written_breaks);
    EXPECT_EQ(sizes, (std::vector<std::size_t>{TRunDatabase::BatchRows, TRunDatabase::BatchRows, 5}));
    const std::vector<Row> expected = rows(0, count);
    ASSERT_EQ(back.size(), expected.size());
    for (size_t i = 0; i < back.size(); ++i) {
        ASSERT_EQ(back[i].n, expected[i].n);
        ASSERT_EQ(back[i].t_ms, expected[i].t_ms);
        ASSERT_EQ(back[i].pressure_raw, expected[i].pressure_raw);
        ASSERT_EQ(back[i].temperature_raw, expected[i].temperature_raw);
    }

    sizes.clear();
    const TRunDatabase::RowBatch counted = [&](const std::vector<Row> &b) {
        sizes.push_back(b.size());
        return true;
    };
    EXPECT_EQ(db.read(empty, counted, breaks), QString());
    EXPECT_TRUE(sizes.empty()) << "a run without rows hands over no batch";
    EXPECT_TRUE(breaks.empty());
    // A batch answered with false is the last one.
    const TRunDatabase::RowBatch first_only = [&](const std::vector<Row> &b) {
        sizes.push_back(b.size());
        return false;
    };
    EXPECT_EQ(db.read(id, first_only, breaks), QStringLiteral("stopped"));
    EXPECT_EQ(sizes, std::vector<std::size_t>{TRunDatabase::BatchRows});
    // The whole-run read is the batches put together.
    std::vector<Row> whole;
    ASSERT_EQ(db.read(id, whole, breaks), QString());
    EXPECT_EQ(whole.size(), back.size());
    EXPECT_EQ(whole.back().n, count - 1);
    db.close();
    EXPECT_FALSE(db.read(id, counted, breaks).isEmpty());
    EXPECT_EQ(sizes.size(), 1u) << "no batch from a closed file";
}

TEST_F(RunDatabase, AnEmptyFileIsMadeADatabase)
{
    write(file(), QByteArray());
    TRunDatabase db;
    ASSERT_EQ(db.open(file(), TRunDatabase::Access::ReadWrite), QString());
    db.close();
    EXPECT_EQ(TRunDatabase::file_version(file()), run_database::SchemaVersion);
}

namespace {

struct RefusedCase {
    const char *name;
    std::function<void(const QString &path)> spoil;
    const char *says;
};

class RefusedFile : public RunDatabase, public ::testing::WithParamInterface<RefusedCase>
{
};

void overwrite(const QString &path, qint64 at, const QByteArray &with)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.seek(at));
    f.write(with);
}

const RefusedCase RefusedCases[] = {
    {"NewerSchema", [](const QString &p) { raw_exec(p, "PRAGMA user_version=2"); }, "newer version"},
    {"NotADatabase",
     [](const QString &p) {
         QByteArray noise(8192, '\0');
         std::mt19937 random(7);
         for (char &c : noise)
             c = char(random());
         write(p, noise);
     },
     "no database"},
    {"HalfOfItCutOff",
     [](const QString &p) {
         QFile f(p);
         ASSERT_TRUE(f.resize(f.size() / 2));
     },
     "damaged"},
    {"APageOverwritten",
     [](const QString &p) {
         QFile f(p);
         overwrite(p, f.size() / 2, QByteArray(4096, '\x5A'));
     },
     "damaged"},
};

} // namespace

TEST_P(RefusedFile, IsLeftByteForByte)
{
    ASSERT_NO_FATAL_FAILURE(make(file(), 20000));
    GetParam().spoil(file());
    const QByteArray before = bytes(file());
    for (TRunDatabase::Access access : {TRunDatabase::Access::ReadWrite, TRunDatabase::Access::ReadOnly}) {
        TRunDatabase db;
        const QString why = db.open(file(), access);
        EXPECT_TRUE(why.contains(QString::fromLatin1(GetParam().says))) << why.toStdString();
        EXPECT_TRUE(why.contains(QStringLiteral("left as it is"))) << why.toStdString();
        EXPECT_FALSE(db.is_open());
    }
    EXPECT_EQ(bytes(file()), before);
    EXPECT_FALSE(QFile::exists(file() + QStringLiteral("-wal")));
}

INSTANTIATE_TEST_SUITE_P(Files, RefusedFile, ::testing::ValuesIn(RefusedCases),
                         [](const ::testing::TestParamInfo<RefusedCase> &info) { return std::string(info.param.name); });

TEST_F(RunDatabase, ReadingAFileThatDoesNotExistCreatesNothing)
{
    TRunDatabase db;
    EXPECT_NE(db.open(file(), TRunDatabase::Access::ReadOnly), QString());
    EXPECT_FALSE(QFile::exists(file()));
}

namespace {

struct RetentionCase {
    const char *name;
    int days;
    int megabytes;
    QList<int> keep;     // by age index, 0 = newest
    QList<int> removed;  // by age index
};

class Retention : public RunDatabase, public ::testing::WithParamInterface<RetentionCase>
{
};

// clang-format off
const RetentionCase RetentionCases[] = {
    {"NoLimit", 0, 0, {}, {}},
    {"OlderThanTenDays", 10, 0, {}, {2, 3}},
    {"OlderThanTenDaysButOneIsOpen", 10, 0, {3}, {2}},
    {"SizeRemovesTheOldestFirst", 0, 1, {}, {1, 2, 3}},
    {"SizeNeverRemovesTheRunningOne", 0, 1, {0, 3}, {1, 2}},
};
// clang-format on

} // namespace

TEST_P(Retention, RemovesTheOldestRunsNotTheKeptOnes)
{
    const RetentionCase &c = GetParam();
    const QDateTime now = QDateTime::currentDateTime();
    TRunDatabase db;
    ASSERT_EQ(db.open(file(), TRunDatabase::Access::ReadWrite), QString());
    // Ages 1, 5, 20 and 40 days; about 0.7 MB each.
    QList<std::int64_t> ids;
    for (int days : {1, 5, 20, 40}) {
        RunRecord r = run_at(now.addDays(-days));
        ASSERT_EQ(db.begin_run(r), QString());
        ASSERT_EQ(db.append(r.id, rows(0, 40000), {}), QString());
        ids << r.id;
    }
    // The size limits of the table hold one run, not two.
    for (const RunRecord &r : db.runs()) {
        ASSERT_GT(r.bytes, 512 * 1024);
        ASSERT_LE(r.bytes, 1024 * 1024);
    }
    QList<std::int64_t> keep;
    for (int i : c.keep)
        keep << ids[i];
    QString why;
    const QList<std::int64_t> removed = db.apply_retention(c.days, c.megabytes, keep, now, &why);
    EXPECT_EQ(why, QString());
    QList<std::int64_t> expected;
    for (int i : c.removed)
        expected << ids[i];
    std::sort(expected.begin(), expected.end());
    QList<std::int64_t> got = removed;
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
    EXPECT_EQ(db.runs().size(), 4 - expected.size());
    std::vector<Row> back;
    std::vector<std::int64_t> breaks;
    for (std::int64_t id : expected) {
        ASSERT_EQ(db.read(id, back, breaks), QString());
        EXPECT_TRUE(back.empty()) << "its rows went with it";
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, Retention, ::testing::ValuesIn(RetentionCases),
                         [](const ::testing::TestParamInfo<RetentionCase> &info) { return std::string(info.param.name); });
