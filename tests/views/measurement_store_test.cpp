// The run's column store, its min/max pyramid and the chart's per-pixel envelope.
#include "views/chart/chart_envelope.h"
#include "views/chart/measurement_store.h"

#include <gtest/gtest.h>
#include <random>

namespace {

constexpr std::int64_t Origin = 1700000000000; // ms since the epoch

TMeasurementStore::Sample sample(double key, double p, double t = 20.0, int pu = 0, int tu = 0)
{
    return {key, p, t, pu, tu};
}

MinMax brute(const TMeasurementStore &store, int series, std::size_t first, std::size_t last)
{
    MinMax r;
    for (std::size_t i = first; i < last; ++i)
        r.add(store.value(series, i));
    return r;
}

} // namespace

TEST(MeasurementStore, KeepsEveryColumnAcrossChunksAndClears)
{
    TMeasurementStore store;
    const std::size_t n = TMeasurementStore::ChunkRows + 5;
    for (std::size_t i = 0; i < n; ++i)
        store.append(sample(double(i) / 86400000.0, 1.0 + double(i), -double(i), int(i % 65536), 65535), Origin);
    ASSERT_EQ(store.size(), n);
    const std::size_t last = n - 1;
    EXPECT_EQ(store.pressure(last), 1.0 + double(last));
    EXPECT_EQ(store.temperature(last), -double(last));
    EXPECT_EQ(store.pu16(last), int(last % 65536));
    EXPECT_EQ(store.tu16(last), 65535) << "the whole 16-bit range";
    EXPECT_EQ(store.msecs(last), Origin + std::int64_t(last)) << "time back to the millisecond";

    const auto generation = store.generation();
    store.clear();
    EXPECT_TRUE(store.empty());
    EXPECT_NE(store.generation(), generation);
    EXPECT_TRUE(store.extremes(TMeasurementStore::Pressure, 0, 10).empty());
    store.append(sample(0.5, 3.0), Origin);
    EXPECT_EQ(store.msecs(0), Origin + 43200000);
}

TEST(MeasurementStore, ABreakSeparatesRunsUntilTheNextClear)
{
    TMeasurementStore store;
    store.break_line(); // nothing to end yet
    for (int i = 0; i < 3; ++i)
        store.append({i * 0.1, 1.0, 2.0, 0, 0}, 0);
    store.break_line();
    store.break_line(); // twice is once
    for (int i = 3; i < 6; ++i)
        store.append({i * 0.1, 1.0, 2.0, 0, 0}, 0);
    const struct {
        size_t first, last;
        bool joined;
    } cases[] = {{0, 1, true}, {0, 2, true}, {1, 2, true}, {2, 3, false}, {0, 5, false},
                 {3, 4, true}, {3, 5, true}, {2, 2, true}};
    for (const auto &c : cases)
        EXPECT_EQ(store.joined(c.first, c.last), c.joined) << c.first << ".." << c.last;
    store.clear();
    for (int i = 0; i < 6; ++i)
        store.append({i * 0.1, 1.0, 2.0, 0, 0}, 0);
    EXPECT_TRUE(store.joined(0, 5)) << "a clear forgets the breaks";
}

TEST(MeasurementStore, TimeFollowsTheOriginEachRowWasRecordedWith)
{
    TMeasurementStore store;
    store.append(sample(1.0 / 86400, 1.0), Origin);
    store.append(sample(2.0 / 86400, 1.0), Origin);
    store.append(sample(1.0 / 86400, 1.0), Origin + 60000);
    EXPECT_EQ(store.msecs(0), Origin + 1000);
    EXPECT_EQ(store.msecs(1), Origin + 2000);
    EXPECT_EQ(store.msecs(2), Origin + 61000);
}

TEST(MeasurementStore, RangeExtremesEqualABruteForceScan)
{
    TMeasurementStore store;
    std::mt19937_64 random(7);
    std::normal_distribution<double> noise(0.0, 1.0);
    const std::size_t n = 300000;
    for (std::size_t i = 0; i < n; ++i)
        store.append(sample(double(i), noise(random), noise(random)), Origin);
    // Ragged ends, whole blocks, single rows, empty ranges and ranges past the end.
    std::uniform_int_distribution<std::size_t> pick(0, n);
    std::vector<std::pair<std::size_t, std::size_t>> ranges = {
        {0, n}, {0, 1}, {63, 65}, {64, 128}, {511, 4097}, {n - 1, n}, {5, 5}, {n - 3, n + 100}};
    for (int i = 0; i < 60; ++i) {
        std::size_t a = pick(random), b = pick(random);
        ranges.emplace_back(std::min(a, b), std::max(a, b));
    }
    for (const auto &[first, last] : ranges) {
        for (int series : {TMeasurementStore::Pressure, TMeasurementStore::Temperature}) {
            const MinMax fast = store.extremes(series, first, last);
            const MinMax slow = brute(store, series, first, std::min(last, n));
            EXPECT_EQ(fast.min, slow.min) << first << ".." << last;
            EXPECT_EQ(fast.max, slow.max) << first << ".." << last;
        }
    }
}

// The drawn envelope against a brute-force min/max of every pixel column, on views that cut
// the data anywhere, wider and narrower than the rows.
TEST(ChartEnvelope, EqualsBruteForceMinMaxPerPixelColumn)
{
    TMeasurementStore store;
    std::mt19937_64 random(11);
    std::uniform_real_distribution<double> step(0.0, 2.0);
    std::normal_distribution<double> noise(5.0, 3.0);
    double key = 0.0;
    const std::size_t n = 200000;
    for (std::size_t i = 0; i < n; ++i) {
        key += step(random);
        store.append(sample(key, noise(random), noise(random)), Origin);
    }
    const struct {
        double lower, upper;
        int width;
    } views[] = {{0.0, key, 800}, {-50.0, key + 50.0, 1}, {1000.0, 1200.0, 900}, {key / 3, key / 2, 640},
                 {key + 1.0, key + 10.0, 100}, {store.key(100), store.key(100) + 1e-9, 50}};
    for (const auto &v : views) {
        for (int series : {TMeasurementStore::Pressure, TMeasurementStore::Temperature}) {
            std::vector<MinMax> expected(size_t(v.width));
            std::vector<std::size_t> rows(size_t(v.width), 0);
            for (std::size_t i = 0; i < n; ++i) {
                const long long c = chart_envelope::column_of(store.key(i), v.lower, v.upper, v.width);
                if (c >= 0 && c < v.width) {
                    expected[size_t(c)].add(store.value(series, i));
                    ++rows[size_t(c)];
                }
            }
            const auto columns = chart_envelope::columns(store, series, v.lower, v.upper, v.width);
            std::size_t filled = 0;
            for (std::size_t c = 0; c < expected.size(); ++c)
                filled += rows[c] > 0;
            ASSERT_EQ(columns.size(), filled) << v.lower << ".." << v.upper;
            for (const auto &column : columns) {
                const MinMax &want = expected[size_t(column.pixel)];
                EXPECT_EQ(column.extremes.min, want.min) << "column " << column.pixel;
                EXPECT_EQ(column.extremes.max, want.max) << "column " << column.pixel;
                EXPECT_EQ(column.last - column.first, rows[size_t(column.pixel)]);
            }
        }
    }
}

TEST(ChartEnvelope, OneSampleSpikeAmongTenMillionStaysInTheFullView)
{
    TMeasurementStore store;
    const std::size_t n = 10000000, spike = 6543210;
    for (std::size_t i = 0; i < n; ++i)
        store.append(sample(double(i) / 3456000.0, i == spike ? 9.0 : 1.0 + 1e-3 * double(i % 7),
                            i == spike + 1 ? -40.0 : 20.0),
                     Origin);
    const double upper = store.key(n - 1);
    const int width = 1000;
    const long long spikeColumn = chart_envelope::column_of(store.key(spike), 0.0, upper, width);
    for (int series : {TMeasurementStore::Pressure, TMeasurementStore::Temperature}) {
        const auto columns = chart_envelope::columns(store, series, 0.0, upper, width);
        ASSERT_EQ(columns.size(), std::size_t(width));
        for (const auto &column : columns) {
            const bool hit = column.pixel == spikeColumn;
            if (series == TMeasurementStore::Pressure)
                EXPECT_EQ(column.extremes.max, hit ? 9.0 : 1.0 + 1e-3 * 6.0) << column.pixel;
            else
                EXPECT_EQ(column.extremes.min, hit ? -40.0 : 20.0) << column.pixel;
        }
    }
}
