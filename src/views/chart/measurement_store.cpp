#include "views/chart/measurement_store.h"

#include "transmitter/OrvelDevice.h"

#include <cstring>
#include <limits>

namespace {

// Bit for bit: a range read from a blank memory may be NaN, which equals nothing, not even itself.
bool same(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

double TMeasurementStore::pressure_of(const Reading &reading)
{
    return T_OrvelDevice::calc_press(reading.pu16, reading.range_min, reading.range_max);
}

double TMeasurementStore::temperature_of(const Reading &reading)
{
    // The upper 12 bits, as the device model takes them.
    return T_OrvelDevice::calc_temp(std::int32_t(reading.tu16) / 16);
}

TMeasurementStore::TMeasurementStore() = default;
TMeasurementStore::~TMeasurementStore() = default;

bool TMeasurementStore::fits_last_segment(std::int64_t origin_msecs, std::int64_t elapsed_ms,
                                          const Reading &reading) const
{
    if (fSegments.empty())
        return false;
    const Segment &s = fSegments.back();
    return s.origin_msecs == origin_msecs && same(s.range_min, reading.range_min) &&
           same(s.range_max, reading.range_max) && s.address == reading.address && elapsed_ms >= s.base_ms &&
           elapsed_ms - s.base_ms <= std::int64_t(std::numeric_limits<std::uint32_t>::max());
}

void TMeasurementStore::append(std::int64_t origin_msecs, std::int64_t elapsed_ms, const Reading &reading)
{
    if (!fits_last_segment(origin_msecs, elapsed_ms, reading)) {
        // Values of another range or transmitter are not joined to the line before them.
        if (!fSegments.empty() && (!same(fSegments.back().range_min, reading.range_min) ||
                                   !same(fSegments.back().range_max, reading.range_max) ||
                                   fSegments.back().address != reading.address))
            break_line();
        fSegments.push_back(
            {fSize, origin_msecs, elapsed_ms, reading.range_min, reading.range_max, reading.address});
    }
    if (fSize == fChunks.size() * ChunkRows) {
        // Left uninitialised: only the pages rows are written to become resident.
        fChunks.push_back(std::unique_ptr<Chunk>(new Chunk));
        fChunkSegments.push_back(fSegments.size() - 1);
    }
    Chunk &c = *fChunks.back();
    const std::size_t s = slot(fSize);
    c.offset[s] = std::uint32_t(elapsed_ms - fSegments.back().base_ms);
    c.pu16[s] = reading.pu16;
    c.tu16[s] = reading.tu16;
    fPyramids[Pressure].push(pressure_of(reading));
    fPyramids[Temperature].push(temperature_of(reading));
    ++fSize;
}

void TMeasurementStore::clear()
{
    std::vector<std::unique_ptr<Chunk>>().swap(fChunks);
    std::vector<std::size_t>().swap(fChunkSegments);
    std::vector<Segment>().swap(fSegments);
    fBreaks.clear();
    for (TMinMaxPyramid &p : fPyramids)
        p.clear();
    fSize = 0;
    ++fGeneration;
}

double TMeasurementStore::pressure(std::size_t i) const
{
    const Segment &s = segment(i);
    return T_OrvelDevice::calc_press(chunk(i).pu16[slot(i)], s.range_min, s.range_max);
}

double TMeasurementStore::temperature(std::size_t i) const
{
    return T_OrvelDevice::calc_temp(std::int32_t(chunk(i).tu16[slot(i)]) / 16);
}

TMeasurementStore::Reading TMeasurementStore::reading(std::size_t i) const
{
    const Segment &s = segment(i);
    return {chunk(i).pu16[slot(i)], chunk(i).tu16[slot(i)], s.range_min, s.range_max, s.address};
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
