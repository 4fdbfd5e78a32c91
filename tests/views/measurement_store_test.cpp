// The run's compact store: values computed from the raw words bit for bit as a live run shows
// them, segments of time origin, range and transmitter, time exact across offsets that overflow,
// the min/max pyramid and the chart's per-pixel envelope.
#include "session/measure_Thread.h"
#include "transmitter/OrvelDevice.h"
#include "views/chart/chart_envelope.h"
#include "views/chart/chart_time.h"
#include "views/chart/measurement_store.h"
#include "views/windows/measurement_table_model.h"
#include "views/windows/table_export.h"

#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

constexpr std::int64_t Origin = 1700000000000; // ms since the epoch
constexpr std::int64_t MaxOffset = std::numeric_limits<std::uint32_t>::max();
using Reading = TMeasurementStore::Reading;

Reading raw(int pu16, int tu16, float range_min = 0.0f, float range_max = 10.0f, int address = 0x28)
{
    return {std::uint16_t(pu16), std::uint16_t(tu16), range_min, range_max, address};
}

std::uint64_t bits(double v)
{
    std::uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

bool same_reading(const Reading &a, const Reading &b)
{
    return a.pu16 == b.pu16 && a.tu16 == b.tu16 && std::memcmp(&a.range_min, &b.range_min, sizeof(float)) == 0 &&
           std::memcmp(&a.range_max, &b.range_max, sizeof(float)) == 0 && a.address == b.address;
}

MinMax brute(const TMeasurementStore &store, int series, std::size_t first, std::size_t last)
{
    MinMax r;
    for (std::size_t i = first; i < last; ++i)
        r.add(store.value(series, i));
    return r;
}

} // namespace

// What the measurement worker delivers for a transmitter's words and range, against what the
// store and the table make of the same words: values bit for bit, and so the same texts.
TEST(MeasurementStore, ValuesAndTableTextsAreTheLiveMeasurementsBitForBit)
{
    struct Range {
        double min, max;
    };
    // As the identity words carry them, and inverted, empty, wide and values no float holds.
    std::vector<Range> ranges = {{0.0, 10.0},     {-1.0, 1.0}, {0.0, 0.25},  {-0.0625, 600.0},
                                 {1.5, 1.5},      {0.1, 2.5},  {10.0, -10.0}, {-1e6, 3.4e7}};
    std::mt19937 random(20261211);
    std::uniform_real_distribution<double> any(-1000.0, 1000.0);
    for (int i = 0; i < 8; ++i)
        ranges.push_back({any(random), any(random)});
    std::uniform_int_distribution<int> word(0, 0xFFFF);
    std::uniform_int_distribution<int> digits(0, 6);
    const int edges[] = {0, 1, 15, 16, 16383, 16384, 16385, 32767, 32768, 65534, 65535};

    const QDateTime start = QDateTime(QDate(2026, 3, 1), QTime(12, 0));
    TMeasurementTableModel model;
    std::vector<session::Measurement> live;
    std::vector<TMeasurementTableModel::Format> formats;
    for (const Range &range : ranges) {
        T_OrvelDevice device;
        device.Set_pmin(range.min);
        device.Set_pmax(range.max);
        device.Set_slave_addr(0x28);
        for (int i = 0; i < 600; ++i) {
            const int k = i % int(std::size(edges));
            device.Set_pressure_U16_raw(i < 2 * int(std::size(edges)) ? edges[k] : word(random));
            device.Set_temperature_U16_raw(i < int(std::size(edges)) ? edges[k] : word(random));
            const session::Measurement m = TMeasThread::taken(device);
            const TMeasurementTableModel::Format format{start.toMSecsSinceEpoch(), i % 2 == 0, digits(random),
                                                        digits(random)};
            model.append({m.pressure_raw, m.temperature_raw, m.range_min, m.range_max, m.address},
                         start.addMSecs(std::int64_t(live.size()) * 37), format);
            live.push_back(m);
            formats.push_back(format);
        }
    }
    const TMeasurementStore &store = *model.store();
    ASSERT_EQ(store.size(), live.size());
    for (std::size_t i = 0; i < live.size(); ++i) {
        const session::Measurement &m = live[i];
        ASSERT_EQ(bits(store.pressure(i)), bits(m.pressure))
            << m.pressure_raw << " in " << m.range_min << ".." << m.range_max;
        ASSERT_EQ(bits(store.value(TMeasurementStore::Pressure, i)), bits(m.pressure));
        ASSERT_EQ(bits(store.temperature(i)), bits(m.temperature)) << m.temperature_raw;
        ASSERT_EQ(bits(store.value(TMeasurementStore::Temperature, i)), bits(m.temperature));
        const TMeasurementTableModel::Format &f = formats[i];
        const QDateTime when = start.addMSecs(std::int64_t(i) * 37);
        const QStringList expected = table_export::row_cells(
            int(i) + 1, {m.pressure_raw, m.pressure, m.temperature_raw, m.temperature},
            {when, QDateTime::fromMSecsSinceEpoch(f.start_msecs), f.relative}, f.pressure_digits, f.temperature_digits);
        ASSERT_EQ(model.grid_row(int(i) + 1), expected) << "row " << i;
    }
}

TEST(MeasurementStore, KeepsEveryColumnAcrossChunksAndClears)
{
    TMeasurementStore store;
    const std::size_t n = TMeasurementStore::ChunkRows + 5;
    for (std::size_t i = 0; i < n; ++i)
        store.append(Origin, std::int64_t(i), raw(int(i % 65536), 65535));
    ASSERT_EQ(store.size(), n);
    const std::size_t last = n - 1;
    EXPECT_EQ(store.pressure(last), T_OrvelDevice::calc_press(int(last % 65536), 0.0f, 10.0f));
    EXPECT_EQ(store.temperature(last), T_OrvelDevice::calc_temp(65535 / 16));
    EXPECT_EQ(store.pu16(last), int(last % 65536));
    EXPECT_EQ(store.tu16(last), 65535) << "the whole 16-bit range";
    EXPECT_EQ(store.msecs(last), Origin + std::int64_t(last)) << "time back to the millisecond";

    const auto generation = store.generation();
    store.clear();
    EXPECT_TRUE(store.empty());
    EXPECT_NE(store.generation(), generation);
    EXPECT_TRUE(store.extremes(TMeasurementStore::Pressure, 0, 10).empty());
    store.append(Origin, 43200000, raw(1, 1, 5.0f, 6.0f, 0x10));
    EXPECT_EQ(store.msecs(0), Origin + 43200000);
    EXPECT_EQ(store.key(0), 0.5);
    EXPECT_TRUE(same_reading(store.reading(0), raw(1, 1, 5.0f, 6.0f, 0x10))) << "a clear forgets the old segments";
}

TEST(MeasurementStore, ABreakSeparatesRunsUntilTheNextClear)
{
    TMeasurementStore store;
    store.break_line(); // nothing to end yet
    for (int i = 0; i < 3; ++i)
        store.append(0, i * 100, raw(1, 2));
    store.break_line();
    store.break_line(); // twice is once
    for (int i = 3; i < 6; ++i)
        store.append(0, i * 100, raw(1, 2));
    const struct {
        size_t first, last;
        bool joined;
    } cases[] = {{0, 1, true}, {0, 2, true}, {1, 2, true}, {2, 3, false}, {0, 5, false},
                 {3, 4, true}, {3, 5, true}, {2, 2, true}};
    for (const auto &c : cases)
        EXPECT_EQ(store.joined(c.first, c.last), c.joined) << c.first << ".." << c.last;
    store.clear();
    for (int i = 0; i < 6; ++i)
        store.append(0, i * 100, raw(1, 2));
    EXPECT_TRUE(store.joined(0, 5)) << "a clear forgets the breaks";
}

// A new range or transmitter is not joined to the line before it; a new time origin alone is.
TEST(MeasurementStore, ANewRangeOrTransmitterStartsANewLine)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        const char *what;
        Reading first, next;
        std::int64_t next_origin;
        bool joined;
    } cases[] = {
        {"nothing changes", raw(1, 2), raw(3, 4), Origin, true},
        {"time origin", raw(1, 2), raw(3, 4), Origin + 3600000, true},
        {"range low end", raw(1, 2, 0.0f, 10.0f), raw(1, 2, -1.0f, 10.0f), Origin, false},
        {"range high end", raw(1, 2, 0.0f, 10.0f), raw(1, 2, 0.0f, 10.5f), Origin, false},
        {"transmitter", raw(1, 2, 0.0f, 10.0f, 0x28), raw(1, 2, 0.0f, 10.0f, 0x29), Origin, false},
        {"blank range read twice", raw(1, 2, nan, nan), raw(3, 4, nan, nan), Origin, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        TMeasurementStore store;
        store.append(Origin, 1000, c.first);
        store.append(Origin, 2000, c.first);
        store.append(c.next_origin, 5000, c.next);
        store.append(c.next_origin, 6000, c.next);
        EXPECT_TRUE(store.joined(0, 1)) << "the first row starts no line of its own";
        EXPECT_EQ(store.joined(1, 2), c.joined);
        EXPECT_TRUE(store.joined(2, 3));
        EXPECT_TRUE(same_reading(store.reading(1), c.first));
        EXPECT_TRUE(same_reading(store.reading(2), c.next));
        EXPECT_EQ(store.msecs(1), Origin + 2000);
        EXPECT_EQ(store.msecs(3), c.next_origin + 6000) << "time follows each row's origin";
    }
}

// Offsets from a segment's base overflow after 49 days and run backwards when the clock is set
// back: keys and times stay exact, and the line goes on.
TEST(MeasurementStore, TimeIsExactAcrossOffsetOverflowAndAClockSetBack)
{
    const std::int64_t elapsed[] = {0,
                                    1,
                                    MaxOffset - 1,
                                    MaxOffset,
                                    MaxOffset + 1,
                                    2 * MaxOffset + 7,
                                    3 * MaxOffset + 7,
                                    3 * MaxOffset + 8,
                                    -5,
                                    -4,
                                    std::int64_t(1) << 50,
                                    (std::int64_t(1) << 50) + 86400000};
    TMeasurementStore store;
    for (std::size_t i = 0; i < std::size(elapsed); ++i)
        store.append(Origin, elapsed[i], raw(int(i), int(i)));
    ASSERT_EQ(store.size(), std::size(elapsed));
    for (std::size_t i = 0; i < std::size(elapsed); ++i) {
        EXPECT_EQ(store.msecs(i), Origin + elapsed[i]) << i;
        EXPECT_EQ(bits(store.key(i)), bits(chart_time::elapsed_days(elapsed[i]))) << i;
        EXPECT_EQ(store.pu16(i), int(i));
    }
    EXPECT_TRUE(store.joined(0, std::size(elapsed) - 1));
}

// Rows read back one by one against what was appended, with segments changing between chunks,
// inside one, at every row for a while, and with long pauses.
TEST(MeasurementStore, RowsReadBackAsAppendedWhateverTheSegments)
{
    struct Appended {
        std::int64_t origin, elapsed;
        Reading reading;
        bool new_line;
    };
    std::vector<Appended> rows;
    std::mt19937_64 random(5);
    std::uniform_int_distribution<int> word(0, 0xFFFF), step(0, 100), one_in(0, 19999);
    const std::size_t n = 3 * TMeasurementStore::ChunkRows + 1234;
    std::int64_t origin = Origin, elapsed = 0;
    Reading reading = raw(0, 0, 0.0f, 10.0f, 0x28);
    for (std::size_t i = 0; i < n; ++i) {
        bool new_line = false;
        const int dice = one_in(random);
        const bool flicker = i >= 100000 && i < 100300; // the transmitter changes at every row
        if (dice == 0 || flicker) {
            reading.address = reading.address == 0x28 ? 0x29 : 0x28;
            new_line = i > 0;
        } else if (dice == 1) {
            reading.range_max += 1.0f;
            new_line = i > 0;
        } else if (dice < 6) {
            origin += 1000;
        } else if (dice == 6) {
            elapsed += MaxOffset;
        }
        elapsed += step(random);
        reading.pu16 = std::uint16_t(word(random));
        reading.tu16 = std::uint16_t(word(random));
        rows.push_back({origin, elapsed, reading, new_line});
    }
    TMeasurementStore store;
    for (const Appended &a : rows)
        store.append(a.origin, a.elapsed, a.reading);
    ASSERT_EQ(store.size(), n);
    for (std::size_t i = 0; i < n; ++i) {
        const Appended &a = rows[i];
        ASSERT_TRUE(same_reading(store.reading(i), a.reading)) << i;
        ASSERT_EQ(store.msecs(i), a.origin + a.elapsed) << i;
        ASSERT_EQ(bits(store.key(i)), bits(chart_time::elapsed_days(a.elapsed))) << i;
        ASSERT_EQ(bits(store.pressure(i)), bits(TMeasurementStore::pressure_of(a.reading))) << i;
        ASSERT_EQ(bits(store.temperature(i)), bits(TMeasurementStore::temperature_of(a.reading))) << i;
        if (i > 0) {
            ASSERT_EQ(store.joined(i - 1, i), !a.new_line) << i;
        }
    }
}

TEST(MeasurementStore, RangeExtremesEqualABruteForceScan)
{
    TMeasurementStore store;
    std::mt19937_64 random(7);
    std::normal_distribution<double> noise(32768.0, 3000.0);
    const std::size_t n = 300000;
    for (std::size_t i = 0; i < n; ++i) {
        // Three ranges, so that values of one word differ along the rows.
        const float top = i < n / 3 ? 10.0f : i < 2 * n / 3 ? 1.0f : 600.0f;
        const auto w = [&] { return int(std::clamp(noise(random), 0.0, 65535.0)); };
        store.append(Origin, std::int64_t(i), raw(w(), w(), 0.0f, top));
    }
    // Ragged ends, whole blocks, single rows, empty ranges and ranges past the end.
    std::uniform_int_distribution<std::size_t> pick(0, n);
    std::vector<std::pair<std::size_t, std::size_t>> ranges = {
        {0, n}, {0, 1}, {63, 65}, {64, 128}, {511, 4097}, {n - 1, n}, {5, 5}, {n - 3, n + 100}, {n / 3 - 2, n / 3 + 2}};
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
    std::uniform_int_distribution<std::int64_t> step(0, 2000);
    std::normal_distribution<double> noise(32768.0, 8000.0);
    const auto w = [&] { return int(std::clamp(noise(random), 0.0, 65535.0)); };
    std::int64_t elapsed = 0;
    const std::size_t n = 200000;
    for (std::size_t i = 0; i < n; ++i) {
        elapsed += step(random);
        store.append(Origin, elapsed, raw(w(), w()));
    }
    const double key = store.key(n - 1);
    const struct {
        double lower, upper;
        int width;
    } views[] = {{0.0, key, 800},          {-key / 100, key * 1.01, 1},       {key / 10, key * 0.12, 900},
                 {key / 3, key / 2, 640},  {key * 1.001, key * 1.01, 100},    {store.key(100), store.key(100) + 1e-12, 50}};
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
    const int calm = 20000, hot = 0xFFFF, warm = 22784, frozen = 0;
    for (std::size_t i = 0; i < n; ++i)
        store.append(Origin, std::int64_t(i) * 25,
                     raw(i == spike ? hot : calm + int(i % 7), i == spike + 1 ? frozen : warm));
    const double upper = store.key(n - 1);
    const int width = 1000;
    const long long spikeColumn = chart_envelope::column_of(store.key(spike), 0.0, upper, width);
    const double calmTop = TMeasurementStore::pressure_of(raw(calm + 6, warm));
    for (int series : {TMeasurementStore::Pressure, TMeasurementStore::Temperature}) {
        const auto columns = chart_envelope::columns(store, series, 0.0, upper, width);
        ASSERT_EQ(columns.size(), std::size_t(width));
        for (const auto &column : columns) {
            const bool hit = column.pixel == spikeColumn;
            if (series == TMeasurementStore::Pressure)
                EXPECT_EQ(column.extremes.max, hit ? TMeasurementStore::pressure_of(raw(hot, warm)) : calmTop)
                    << column.pixel;
            else
                EXPECT_EQ(column.extremes.min, TMeasurementStore::temperature_of(raw(calm, hit ? frozen : warm)))
                    << column.pixel;
        }
    }
}
