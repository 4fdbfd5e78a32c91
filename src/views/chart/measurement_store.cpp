#include "views/chart/measurement_store.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double MillisecondsPerDay = 86400000.0;
}

TMeasurementStore::TMeasurementStore() = default;
TMeasurementStore::~TMeasurementStore() = default;

void TMeasurementStore::append(const Sample &sample, std::int64_t origin_msecs)
{
    if (fSize == fChunks.size() * ChunkRows)
        // Left uninitialised: only the pages rows are written to become resident.
        fChunks.push_back(std::unique_ptr<Chunk>(new Chunk));
    if (fOrigins.empty() || fOrigins.back().origin_msecs != origin_msecs)
        fOrigins.push_back({fSize, origin_msecs});
    Chunk &c = *fChunks.back();
    const std::size_t s = slot(fSize);
    c.key[s] = sample.key;
    c.pressure[s] = sample.pressure;
    c.temperature[s] = sample.temperature;
    c.pu16[s] = std::uint16_t(sample.pu16);
    c.tu16[s] = std::uint16_t(sample.tu16);
    fPyramids[Pressure].push(sample.pressure);
    fPyramids[Temperature].push(sample.temperature);
    ++fSize;
}

void TMeasurementStore::clear()
{
    std::vector<std::unique_ptr<Chunk>>().swap(fChunks);
    std::vector<OriginRun>().swap(fOrigins);
    fBreaks.clear();
    for (TMinMaxPyramid &p : fPyramids)
        p.clear();
    fSize = 0;
    ++fGeneration;
}

void TMeasurementStore::break_line()
{
    if (fSize > 0 && (fBreaks.empty() || fBreaks.back() != fSize))
        fBreaks.push_back(fSize);
}

bool TMeasurementStore::joined(std::size_t first, std::size_t last) const
{
    const auto next = std::upper_bound(fBreaks.begin(), fBreaks.end(), first);
    return next == fBreaks.end() || *next > last;
}

std::int64_t TMeasurementStore::msecs(std::size_t i) const
{
    const auto run = std::upper_bound(fOrigins.begin(), fOrigins.end(), i,
                                      [](std::size_t row, const OriginRun &r) { return row < r.first; });
    const std::int64_t origin = run == fOrigins.begin() ? 0 : std::prev(run)->origin_msecs;
    return origin + std::llround(key(i) * MillisecondsPerDay);
}

MinMax TMeasurementStore::extremes(int series, std::size_t first, std::size_t last) const
{
    const int s = series == Pressure ? Pressure : Temperature;
    return fPyramids[s].extremes(first, last, [this, s](std::size_t i) { return value(s, i); });
}

std::size_t TMeasurementStore::lower_bound(double k) const
{
    std::size_t lo = 0, hi = fSize;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (key(mid) < k)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}
