// Readings for tests that want round values back: raw words that the device model turns into a
// pressure on a 1/1024 bar step (range 0 … 32 bar, words for -16 … 48 bar) and a temperature on
// its 0.05 °C step. 20.0, 1.0 or 23.5 come back exactly; other values as the nearest step.
#pragma once

#include "views/chart/measurement_store.h"

#include <algorithm>
#include <cmath>

namespace exact_readings {

constexpr float RangeMin = 0.0f;
constexpr float RangeMax = 32.0f;

inline std::uint16_t word(double v)
{
    return std::uint16_t(std::clamp<long long>(std::llround(v), 0, 0xFFFF));
}

// The raw words nearest to these values.
inline TMeasurementStore::Reading reading(double pressure, double temperature, int address = 0x28)
{
    return {word(16384 + pressure * 1024), word(double(std::llround((temperature + 50) / 0.05) + 24) * 16), RangeMin,
            RangeMax, address};
}

} // namespace exact_readings
