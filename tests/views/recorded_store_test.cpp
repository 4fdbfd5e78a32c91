// A recorded run read from a real file into a store: every row with the values the run showed,
// its time from the run's start, its breaks as new lines, across the file's batches.
#include "services/recording/run_database.h"
#include "session/recorded_run.h"
#include "views/chart/measurement_store.h"
#include "views/chart/recorded_store.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <random>

using run_database::Row;

namespace {

std::uint64_t bits(double v)
{
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

class RecordedStore : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath(QString::fromLatin1(run_database::FileName));
    }
    // Writes a run of `count` rows as the recorder does, in commits of a few thousand.
    run_database::Run write(std::int64_t count, const std::vector<std::int64_t> &breaks, double range_min,
                            double range_max, int address)
    {
        TRunDatabase db;
        EXPECT_EQ(db.open(path, TRunDatabase::Access::ReadWrite), QString());
        run_database::Run run;
        run.started = QDateTime::fromMSecsSinceEpoch(1'765'000'000'123);
        run.address = address;
        run.product_code = QStringLiteral("F01234E07P0056");
        run.range_min = range_min;
        run.range_max = range_max;
        run.interval_ms = 10;
        EXPECT_EQ(db.begin_run(run), QString());
        std::mt19937 random{std::uint32_t(count)};
        std::uniform_int_distribution<int> word(0, 0xFFFF), step(0, 30);
        std::int64_t t = 0;
        for (std::int64_t first = 0; first < count; first += 5000) {
            std::vector<Row> rows;
            std::vector<std::int64_t> in_commit;
            for (std::int64_t n = first; n < std::min(count, first + 5000); ++n) {
                t += step(random);
                rows.push_back({n, t, std::uint16_t(word(random)), std::uint16_t(word(random))});
                if (std::find(breaks.begin(), breaks.end(), n) != breaks.end())
                    in_commit.push_back(n);
            }
            EXPECT_EQ(db.append(run.id, rows, in_commit), QString());
        }
        return run;
    }

    QTemporaryDir dir;
    QString path;
};

} // namespace

TEST_F(RecordedStore, EveryRowComesBackAsTheRunShowedIt)
{
    const std::int64_t batch = std::int64_t(TRunDatabase::BatchRows);
    const std::int64_t count = 2 * batch + 777;
    const std::vector<std::int64_t> breaks = {10, batch, batch + 1, count - 1};
    // A range no float holds exactly: the run converted with the float the device model makes of it.
    const run_database::Run run = write(count, breaks, -0.1, 2.7, 0x31);

    TRunDatabase db;
    ASSERT_EQ(db.open(path, TRunDatabase::Access::ReadOnly), QString());
    std::vector<Row> rows;
    std::vector<std::int64_t> read_breaks;
    ASSERT_EQ(db.read(run.id, rows, read_breaks), QString());
    ASSERT_EQ(std::int64_t(rows.size()), count);

    TMeasurementStore store;
    ASSERT_EQ(recorded_store::load(db, run, store), QString());
    ASSERT_EQ(store.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const session::Measurement m = recorded_run::measurement(run, rows[i], 3, 2);
        ASSERT_EQ(bits(store.pressure(i)), bits(m.pressure)) << i;
        ASSERT_EQ(bits(store.temperature(i)), bits(m.temperature)) << i;
        ASSERT_EQ(store.pu16(i), m.pressure_raw);
        ASSERT_EQ(store.tu16(i), m.temperature_raw);
        ASSERT_EQ(store.msecs(i), m.time.toMSecsSinceEpoch()) << i;
        ASSERT_EQ(store.key(i), double(rows[i].t_ms) / TMeasurementStore::MillisecondsPerDay);
        const TMeasurementStore::Reading r = store.reading(i);
        ASSERT_EQ(r.range_min, m.range_min);
        ASSERT_EQ(r.range_max, m.range_max);
        ASSERT_EQ(r.address, 0x31);
        if (i > 0) {
            const bool new_line = std::find(breaks.begin(), breaks.end(), std::int64_t(i)) != breaks.end();
            ASSERT_EQ(store.joined(i - 1, i), !new_line) << i;
        }
    }
}

// Loaded after other rows, the run is a line of its own; a file that is not open loads nothing.
TEST_F(RecordedStore, ARunLoadedAfterOtherRowsStartsANewLine)
{
    const run_database::Run run = write(20, {}, 0.0, 10.0, 0x28);
    TMeasurementStore store;
    store.append(run.started.toMSecsSinceEpoch(), 0, {1, 2, 0.0f, 10.0f, 0x28});
    TRunDatabase db;
    ASSERT_EQ(db.open(path, TRunDatabase::Access::ReadOnly), QString());
    ASSERT_EQ(recorded_store::load(db, run, store), QString());
    ASSERT_EQ(store.size(), 21u);
    EXPECT_FALSE(store.joined(0, 1));
    EXPECT_TRUE(store.joined(1, 20));

    db.close();
    EXPECT_FALSE(recorded_store::load(db, run, store).isEmpty());
    EXPECT_EQ(store.size(), 21u);
}

TEST_F(RecordedStore, ACancelledLoadSaysSoAndStopsReading)
{
    const run_database::Run run = write(2 * std::int64_t(TRunDatabase::BatchRows), {}, 0.0, 10.0, 0x28);
    TRunDatabase db;
    ASSERT_EQ(db.open(path, TRunDatabase::Access::ReadOnly), QString());
    TMeasurementStore store;
    const std::atomic<bool> cancel{true};
    EXPECT_EQ(recorded_store::load(db, run, store, cancel), QStringLiteral("cancelled"));
    EXPECT_EQ(store.size(), 0u);
    const std::atomic<bool> go_on{false};
    EXPECT_EQ(recorded_store::load(db, run, store, go_on), QString());
    EXPECT_EQ(store.size(), 2 * TRunDatabase::BatchRows);
}
