// What the monitor benchmarks measure beside their timings: the process's resident memory and
// the median time of a chart's repaint. Main thread only.
#pragma once

#include "views/chart/chart.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <malloc.h>
#include <unistd.h>
#include <vector>

namespace bench_measures {

inline double residentMegabytes()
{
    // Memory freed by an earlier run goes back first, so that it is not counted or reused.
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0.0;
}

// Milliseconds of the median of a few replots.
inline double replotMs(TChart &chart)
{
    std::vector<double> took;
    for (int i = 0; i < 7; ++i) {
        QElapsedTimer t;
        t.start();
        chart.replot();
        took.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(took.begin(), took.end());
    return took[took.size() / 2];
}

} // namespace bench_measures
