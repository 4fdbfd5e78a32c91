#pragma once
// Texts and steps of the monitor chart's elapsed-time axis, whose values count days.
// Stateless; callable from any thread.
#include <QString>

namespace chart_time {

// Elapsed days since the time origin (the chart's x value).
double elapsed_days(qint64 msecs);
// "hh:mm:ss.zzz" of the time-of-day part: whole days drop out, so 25 hours read 01:00:00.000.
QString elapsed_label(double days);
// A readable step between time labels, in days: the smallest of 1, 2, 5 … ms, 1, 2, 5, 10, 15,
// 30 s and min, 1, 2, 3, 6, 12 h and whole days that puts at most `max_labels` into `range_days`.
double label_step(double range_days, int max_labels);

} // namespace chart_time
