#pragma once
// The measurements of a run, read by the chart and the table alike. A row keeps only what the
// transmitter delivered: a time offset and the two raw words (8 bytes); pressure and temperature
// are computed from them with the device model's conversions whenever they are read. What rows
// share (time origin, range, transmitter) is kept once per segment; a new range or transmitter
// starts a new line. Columns grow in fixed chunks, so that a new row never moves the older ones.
// Keys are days since the time origin; each series keeps a min/max pyramid for drawing.
// One thread at a time: a loader may fill a store of its own and hand it over whole; the chart and
// the table read it on the user-interface thread.
#include "views/chart/min_max_pyramid.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

class TMeasurementStore
{
public:
    enum Series { Pressure = 0, Temperature = 1 };

    // One measurement as the transmitter delivered it, with the range its pressure word is read
    // with (as the device model hands it to its conversion) and the transmitter's address.
    struct Reading {
        std::uint16_t pu16 = 0;
        std::uint16_t tu16 = 0;
        float range_min = 0.0f;
        float range_max = 0.0f;
        int address = -1;
    };
    // The device model's conversions, bit for bit what a live measurement shows.
    static double pressure_of(const Reading &reading);
    static double temperature_of(const Reading &reading);

    TMeasurementStore();
    ~TMeasurementStore();
    TMeasurementStore(const TMeasurementStore &) = delete;
    TMeasurementStore &operator=(const TMeasurementStore &) = delete;

    // `origin_msecs`: the time origin of the key, in milliseconds since the epoch; `elapsed_ms`:
    // when the row was measured, in milliseconds since that origin.
    void append(std::int64_t origin_msecs, std::int64_t elapsed_ms, const Reading &reading);
    void clear();
    // Changes with every clear, so that readers notice rows that went away.
    std::uint64_t generation() const { return fGeneration; }

    std::size_t size() const { return fSize; }
    bool empty() const { return fSize == 0; }
    // Days since the row's time origin, as the chart's time axis counts them.
    double key(std::size_t i) const { return double(elapsed_ms(i)) / MillisecondsPerDay; }
    double value(int series, std::size_t i) const { return series == Pressure ? pressure(i) : temperature(i); }
    double pressure(std::size_t i) const;
    double temperature(std::size_t i) const;
    int pu16(std::size_t i) const { return chunk(i).pu16[slot(i)]; }
    int tu16(std::size_t i) const { return chunk(i).tu16[slot(i)]; }
    Reading reading(std::size_t i) const;
    // When row i was measured, in milliseconds since the epoch.
    std::int64_t msecs(std::size_t i) const
    {
        const Segment &s = segment(i);
        return s.origin_msecs + s.base_ms + chunk(i).offset[slot(i)];
    }

    // The next row starts a new line, not joined to the rows before it (a new run).
    void break_line();
    // Whether rows first - 1 and first .. last lie on one line: no break in (first, last].
    bool joined(std::size_t first, std::size_t last) const;

    // Lowest and highest value of a series over rows [first, last).
    MinMax extremes(int series, std::size_t first, std::size_t last) const;
    // The first row whose key is not below `key` (keys rise as time goes on).
    std::size_t lower_bound(double key) const;

    static constexpr std::size_t ChunkRows = std::size_t(1) << 16;
    static constexpr double MillisecondsPerDay = 86400000.0;

private:
    // Rows from `first` until the next segment share these.
    struct Segment {
        std::size_t first;
        std::int64_t origin_msecs;
        std::int64_t base_ms; // elapsed milliseconds of offset 0
        float range_min;
        float range_max;
        int address;
    };
    struct Chunk {
        std::uint32_t offset[ChunkRows];
        std::uint16_t pu16[ChunkRows];
        std::uint16_t tu16[ChunkRows];
    };
    const Chunk &chunk(std::size_t i) const { return *fChunks[i / ChunkRows]; }
    static std::size_t slot(std::size_t i) { return i % ChunkRows; }
    std::int64_t elapsed_ms(std::size_t i) const { return segment(i).base_ms + chunk(i).offset[slot(i)]; }
    const Segment &segment(std::size_t i) const
    {
        const std::size_t c = i / ChunkRows;
        std::size_t s = fChunkSegments[c];
        // Nearly always the chunk's rows share one segment; else the last one beginning at or before i.
        const std::size_t end = c + 1 < fChunkSegments.size() ? fChunkSegments[c + 1] + 1 : fSegments.size();
        if (s + 1 < end && fSegments[s + 1].first <= i)
            s = std::size_t(std::upper_bound(fSegments.begin() + std::ptrdiff_t(s) + 1,
                                             fSegments.begin() + std::ptrdiff_t(end), i,
                                             [](std::size_t row, const Segment &g) { return row < g.first; }) -
                            fSegments.begin()) -
                1;
        return fSegments[s];
    }
    // Whether a row of this origin, range and transmitter measured at `elapsed_ms` fits the last segment.
    bool fits_last_segment(std::int64_t origin_msecs, std::int64_t elapsed_ms, const Reading &reading) const;

    std::vector<std::unique_ptr<Chunk>> fChunks;
    // Per chunk the segment of its first row, apart from the chunks: a search touches no chunk twice.
    std::vector<std::size_t> fChunkSegments;
    std::vector<Segment> fSegments;
    std::vector<std::size_t> fBreaks; // rows that start a new line, rising
    TMinMaxPyramid fPyramids[2];
    std::size_t fSize = 0;
    std::uint64_t fGeneration = 0;
};
