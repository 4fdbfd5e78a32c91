#pragma once
// What the chart draws of a long series: per pixel column the rows that fall into it with their
// lowest, highest, first and last value, so that drawing costs follow the pixels, not the points,
// and no single-sample peak is lost. Widget-free; stateless.
#include "views/chart/measurement_store.h"

#include <cmath>
#include <vector>

namespace chart_envelope {

struct Column {
    int pixel = 0;          // 0 … width - 1 from the view's left edge
    std::size_t first = 0;  // rows [first, last) lie in this column
    std::size_t last = 0;
    MinMax extremes;
};

// The pixel column a key falls into, for a view of `width` columns over keys [lower, upper].
inline long long column_of(double key, double lower, double upper, int width)
{
    return (long long)std::floor((key - lower) / (upper - lower) * width);
}

// The columns of a view that hold at least one row, left to right.
std::vector<Column> columns(const TMeasurementStore &store, int series, double lower, double upper, int width);

// Rows [first, last) whose keys lie in the view (first == last: none).
struct Rows {
    std::size_t first = 0;
    std::size_t last = 0;
};
Rows visible_rows(const TMeasurementStore &store, double lower, double upper, int width);

} // namespace chart_envelope
