#include "views/chart/chart_envelope.h"

namespace chart_envelope {

namespace {

// The first row in [from, to) whose column lies beyond `column` (keys rise with the rows).
std::size_t first_beyond(const TMeasurementStore &store, std::size_t from, std::size_t to, long long column,
                         double lower, double upper, int width)
{
    while (from < to) {
        const std::size_t mid = from + (to - from) / 2;
        if (column_of(store.key(mid), lower, upper, width) <= column)
            from = mid + 1;
        else
            to = mid;
    }
    return from;
}

} // namespace

Rows visible_rows(const TMeasurementStore &store, double lower, double upper, int width)
{
    if (width <= 0 || !(upper > lower))
        return {};
    const std::size_t n = store.size();
    const std::size_t first = first_beyond(store, 0, n, -1, lower, upper, width);
    const std::size_t last = first_beyond(store, first, n, width - 1, lower, upper, width);
    return {first, last};
}

std::vector<Column> columns(const TMeasurementStore &store, int series, double lower, double upper, int width)
{
    std::vector<Column> result;
    const Rows rows = visible_rows(store, lower, upper, width);
    std::size_t i = rows.first;
    while (i < rows.last) {
        const long long column = column_of(store.key(i), lower, upper, width);
        const std::size_t end = first_beyond(store, i + 1, rows.last, column, lower, upper, width);
        result.push_back({int(column), i, end, store.extremes(series, i, end)});
        i = end;
    }
    return result;
}

} // namespace chart_envelope
