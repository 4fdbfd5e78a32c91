#pragma once
// Nearest integer with ties to the even neighbour (156.5 -> 156, 349.5 -> 350),
// clamped to the int range; NaN gives 0.
#include <cmath>
#include <limits>

inline double RoundHalfEvenReal(double x)
{
    const double lower = std::floor(x);
    const double fraction = x - lower;
    if (fraction > 0.5)
        return lower + 1.0;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

inline int RoundHalfEven(double x)
{
    if (std::isnan(x))
        return 0;
    const double rounded = RoundHalfEvenReal(x);
    if (rounded >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (rounded <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(rounded);
}
