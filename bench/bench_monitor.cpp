// One displayed measurement of a run (updateGui_meas) on the main thread, with the chart, the
// table window and every instrument shown and that many measurements already recorded. Beside
// it: the repaints that follow at the screen's pace (replot_ms of the whole run, replot_zoomed_ms
// of one hundredth of it, table_view_ms), the resident memory (rss_mb, and bytes_per_row above
// the empty window) and saving the whole table (export_rows_per_s).
#include "views/chart/chart.h"
#include "services/log/logFile.h"
#include "app/main.h"
#include "views/chart/measurement_store.h"
#include "views/windows/table_view.h"

#include "bench_app.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cmath>
#include <malloc.h>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

double residentMegabytes()
{
    // Memory freed by an earlier run goes back first, so that it is not counted or reused.
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0.0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0) : 0.0;
}

void processEvents(int ms)
{
    QElapsedTimer spent;
    spent.start();
    do
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    while (spent.elapsed() < ms);
}

// The main window and the table window of one benchmark run; they end inside it, while the
// program's own statics still exist for the workers to finish with.
struct Monitor {
    QTemporaryDir home;
    std::unique_ptr<Ttable_form> table;
    std::unique_ptr<Tmain_Form> form;
    TChart *chart = nullptr;

    Monitor()
    {
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toLocal8Bit());
        qputenv("XDG_RUNTIME_DIR", home.filePath(QStringLiteral("run")).toLocal8Bit());
        QDir().mkpath(home.filePath(QStringLiteral("run")));
        table = std::make_unique<Ttable_form>();
        form = std::make_unique<Tmain_Form>();
        form->attach_windows({nullptr, nullptr, nullptr, table.get()});
        // Away from the pointer: a window shown under it makes the application create an input
        // device that outlives the application object at exit.
        form->move(300, 300);
        table->move(300, 300);
        form->show();
        table->show();
        chart = form->findChild<TChart *>(QStringLiteral("Chart"));
        // The deferred start-up creates the series.
        QElapsedTimer waited;
        waited.start();
        while (!chart->series(TChart::PressureSeries) && waited.elapsed() < 5000)
            processEvents(20);
    }
    int recorded() const { return chart->point_count(TChart::PressureSeries); }
    // A run of `count` measurements 25 ms apart that ends now, recorded as updateGui_meas records
    // one: the rows go into the store the chart and the table share.
    void record(int count)
    {
        form->updateGui_meas();
        TMeasurementStore &store = *chart->store();
        const double last = store.key(0);
        const std::int64_t origin = store.msecs(0) - std::llround(last * 86400000.0);
        table->init();
        std::mt19937 random(1);
        std::normal_distribution<double> noise(0.0, 1.0);
        for (int i = 0; i < count; ++i) {
            const double p = 1.0 + 0.01 * noise(random), t = 22.0 + 0.1 * noise(random);
            store.append({last - double(count - i) * 25.0 / 86400000.0, p, t, int(6553 + p * 2621), int(t * 500)},
                         origin);
            table->row_recorded();
            if (i % 100000 == 0)
                QCoreApplication::processEvents(); // as the event loop runs between measurements
        }
        chart->points_added();
    }
    // Milliseconds of the median of a few replots.
    double replotMs()
    {
        std::vector<double> took;
        for (int i = 0; i < 7; ++i) {
            QElapsedTimer t;
            t.start();
            chart->replot();
            took.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        std::sort(took.begin(), took.end());
        return took[took.size() / 2];
    }
};

} // namespace

static void BM_UpdateGuiMeas(benchmark::State &state)
{
    benchApplication();
    Monitor m;
    if (!m.chart || !m.chart->series(TChart::PressureSeries)) {
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
        state.counters["replot_ms"] = m.replotMs();
        QCPAxis *time = m.chart->bottom_axis();
        const QCPRange whole = time->range();
        m.chart->set_axis_range(time, whole.center(), whole.center() + whole.size() / 100);
        state.counters["replot_zoomed_ms"] = m.replotMs();
        m.chart->set_auto_scaling(time, true);
        m.form->updateGui_meas();
        QElapsedTimer took;
        took.start();
        m.table->update_view();
        state.counters["table_view_ms"] = double(took.nsecsElapsed()) / 1e6;
    }
    std::vector<double> calls;
    calls.reserve(size_t(state.max_iterations));
    for (auto _ : state) {
        QElapsedTimer took;
        took.start();
        m.form->updateGui_meas();
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
