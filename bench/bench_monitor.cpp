// One measurement of a run handed to the main window (updateGui_meas) on the main thread, with
// the chart, the table window and every instrument shown and that many measurements already
// recorded; the monitor stores it at once and draws it with its next frame. Beside
// it: the repaints that follow at the screen's pace (replot_ms of the whole run, replot_zoomed_ms
// of one hundredth of it, table_view_ms), the resident memory (rss_mb, and bytes_per_row above
// the empty window: the table's grid is given a bounded window of the rows, so only the store
// grows with the run), saving the whole table (export_rows_per_s) and Ctrl+Home in the table
// (table_jump_ms), which moves that window to the run's first row.
#include "services/log/logFile.h"
#include "views/windows/table_view.h"

#include "bench_app.h"
#include "bench_measures.h"
#include "monitor_window.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTableView>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using bench_measures::replotMs;
using bench_measures::residentMegabytes;
using bench_window::processEvents;

// One more measurement of the run, a little after the last one.
session::Measurement next(int i)
{
    return bench_window::measurement(QDateTime::currentDateTime(), 1.0 + 0.001 * (i % 7), 22.0);
}

} // namespace

static void BM_UpdateGuiMeas(benchmark::State &state)
{
    benchApplication();
    bench_window::MonitorWindow m;
    if (!m.ready()) {
        state.SkipWithError("the chart series were not created");
        return;
    }
    processEvents(100);
    const double empty = residentMegabytes();
    const int count = int(state.range(0));
    m.record(count);
    processEvents(100);
    const double resident = residentMegabytes();
    state.counters["rss_mb"] = resident;
    if (count > 0)
        state.counters["bytes_per_row"] = (resident - empty) * 1024.0 * 1024.0 / count;
    {
        state.counters["replot_ms"] = replotMs(*m.chart);
        QCPAxis *time = m.chart->bottom_axis();
        const QCPRange whole = time->range();
        m.chart->set_axis_range(time, whole.center(), whole.center() + whole.size() / 100);
        state.counters["replot_zoomed_ms"] = replotMs(*m.chart);
        m.chart->set_auto_scaling(time, true);
        m.form->updateGui_meas(next(0));
        QElapsedTimer took;
        took.start();
        m.table->update_view();
        state.counters["table_view_ms"] = double(took.nsecsElapsed()) / 1e6;
    }
    std::vector<double> calls;
    calls.reserve(size_t(state.max_iterations));
    int handed = 0;
    for (auto _ : state) {
        const session::Measurement m_next = next(++handed);
        QElapsedTimer took;
        took.start();
        m.form->updateGui_meas(m_next);
        const double seconds = double(took.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        calls.push_back(seconds * 1e3);
    }
    std::sort(calls.begin(), calls.end());
    if (!calls.empty()) {
        state.counters["median_ms"] = calls[calls.size() / 2];
        state.counters["p99_ms"] = calls[std::min(calls.size() - 1, calls.size() * 99 / 100)];
    }
    processEvents(50);
    {
        const QString file = m.home.filePath(QStringLiteral("table.txt"));
        m.table->set_file_name_asker([file](QWidget *, const QString &) { return file; });
        QElapsedTimer took;
        took.start();
        m.table->save_to_file();
        const double seconds = double(took.nsecsElapsed()) / 1e9;
        state.counters["export_ms"] = seconds * 1e3;
        state.counters["export_rows_per_s"] = double(m.table->row_count() - 1) / seconds;
        QFile::remove(file);
    }
    {
        QTableView *grid = m.table->findChild<QTableView *>(QStringLiteral("Grid"));
        QKeyEvent home(QEvent::KeyPress, Qt::Key_Home, Qt::ControlModifier);
        QElapsedTimer took;
        took.start();
        QApplication::sendEvent(grid, &home);
        state.counters["table_jump_ms"] = double(took.nsecsElapsed()) / 1e6;
    }
    m.form.reset();
    TLogFile::release();
}
BENCHMARK(BM_UpdateGuiMeas)
    ->Arg(0)
    ->Arg(100000)
    ->Arg(1000000)
    ->Arg(10000000)
    ->Iterations(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
