#pragma once
// The measurements of a run, column by column (28 bytes a measurement), read by the chart and
// the table alike. Columns grow in fixed chunks, so that a new measurement never moves the
// older ones. Keys are days since the run's time origin; each series keeps a min/max pyramid
// for drawing. User-interface thread only.
#include "views/chart/min_max_pyramid.h"

#include <cstdint>
#include <memory>
#include <vector>

class TMeasurementStore
{
public:
    enum Series { Pressure = 0, Temperature = 1 };

    struct Sample {
        double key = 0.0; // days since the time origin
        double pressure = 0.0;
        double temperature = 0.0;
        int pu16 = 0; // the chip's raw 16-bit words
        int tu16 = 0;
    };

    TMeasurementStore();
    ~TMeasurementStore();
    TMeasurementStore(const TMeasurementStore &) = delete;
    TMeasurementStore &operator=(const TMeasurementStore &) = delete;

    // `origin_msecs`: the time origin of the key, in milliseconds since the epoch.
    void append(const Sample &sample, std::int64_t origin_msecs);
    void clear();
    // Changes with every clear, so that readers notice rows that went away.
    std::uint64_t generation() const { return fGeneration; }

    std::size_t size() const { return fSize; }
    bool empty() const { return fSize == 0; }
    double key(std::size_t i) const { return chunk(i).key[slot(i)]; }
    double value(int series, std::size_t i) const
    {
        return series == Pressure ? chunk(i).pressure[slot(i)] : chunk(i).temperature[slot(i)];
    }
    double pressure(std::size_t i) const { return chunk(i).pressure[slot(i)]; }
    double temperature(std::size_t i) const { return chunk(i).temperature[slot(i)]; }
    int pu16(std::size_t i) const { return chunk(i).pu16[slot(i)]; }
    int tu16(std::size_t i) const { return chunk(i).tu16[slot(i)]; }
    // When row i was measured, in milliseconds since the epoch.
    std::int64_t msecs(std::size_t i) const;

    // The next row starts a new line, not joined to the rows before it (a new run).
    void break_line();
    // Whether rows first - 1 and first .. last lie on one line: no break in (first, last].
    bool joined(std::size_t first, std::size_t last) const;

    // Lowest and highest value of a series over rows [first, last).
    MinMax extremes(int series, std::size_t first, std::size_t last) const;
    // The first row whose key is not below `key` (keys rise as time goes on).
    std::size_t lower_bound(double key) const;

    static constexpr std::size_t ChunkRows = std::size_t(1) << 16;

private:
    struct Chunk {
        double key[ChunkRows];
        double pressure[ChunkRows];
        double temperature[ChunkRows];
        std::uint16_t pu16[ChunkRows];
        std::uint16_t tu16[ChunkRows];
    };
    struct OriginRun {
        std::size_t first;
        std::int64_t origin_msecs;
    };
    const Chunk &chunk(std::size_t i) const { return *fChunks[i / ChunkRows]; }
    static std::size_t slot(std::size_t i) { return i % ChunkRows; }

    std::vector<std::unique_ptr<Chunk>> fChunks;
    std::vector<OriginRun> fOrigins;
    std::vector<std::size_t> fBreaks; // rows that start a new line, rising
    TMinMaxPyramid fPyramids[2];
    std::size_t fSize = 0;
    std::uint64_t fGeneration = 0;
};
