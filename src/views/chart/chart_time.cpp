#include "views/chart/chart_time.h"

#include <QTime>
#include <algorithm>
#include <cmath>

namespace chart_time {

namespace {

constexpr double MsecsPerDay = 86400000.0;
constexpr qint64 MsecsPerDayInt = 86400000;

} // namespace

double elapsed_days(qint64 msecs)
{
    return double(msecs) / MsecsPerDay;
}

QString elapsed_label(double days)
{
    if (!std::isfinite(days))
        return QString();
    // Before the origin the time-of-day part counts backwards, as a negative date-time's does.
    const double msecs = std::fabs(days) * MsecsPerDay;
    const qint64 in_day = std::llround(std::fmod(msecs, MsecsPerDay)) % MsecsPerDayInt;
    return QTime::fromMSecsSinceStartOfDay(int(in_day)).toString(QStringLiteral("hh:mm:ss.zzz"));
}

double label_step(double range_days, int max_labels)
{
    static const double steps_ms[] = {1,       2,       5,       10,      20,       50,       100,      200,
                                      500,     1e3,     2e3,     5e3,     10e3,     15e3,     30e3,     60e3,
                                      120e3,   300e3,   600e3,   900e3,   1800e3,   3600e3,   7200e3,   10800e3,
                                      21600e3, 43200e3, 86400e3};
    max_labels = std::max(max_labels, 1);
    const double range_ms = std::fabs(range_days) * MsecsPerDay;
    for (double step : steps_ms) {
        if (range_ms / step <= max_labels)
            return step / MsecsPerDay;
    }
    // Whole days: 1, 2, 5, 10, ...
    double days = 1.0;
    for (int i = 0; range_ms / (days * MsecsPerDay) > max_labels; i = (i + 1) % 3)
        days *= i == 1 ? 2.5 : 2.0;
    return days;
}

} // namespace chart_time
