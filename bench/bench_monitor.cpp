// One displayed measurement of a run (updateGui_meas) on the main thread, with the chart, the
// table window and every instrument shown and that many measurements already recorded. The
// repaints that follow at the screen's pace are reported beside it (replot_ms, table_view_ms).
#include "chart_widget.h"
#include "logFile.h"
#include "main.h"
#include "table_view.h"

#include "bench_app.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

double residentMegabytes()
{
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
    void record(int count)
    {
        while (recorded() < count) {
            form->updateGui_meas();
            if (recorded() % 1000 == 0)
                QCoreApplication::processEvents(); // as the event loop runs between measurements
        }
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
    m.record(int(state.range(0)));
    processEvents(100);
    state.counters["rss_mb"] = residentMegabytes();
    {
        QElapsedTimer took;
        took.start();
        m.chart->replot();
        state.counters["replot_ms"] = double(took.nsecsElapsed()) / 1e6;
        m.form->updateGui_meas();
        took.restart();
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
    m.form.reset();
    TLogFile::release();
}
BENCHMARK(BM_UpdateGuiMeas)
    ->Arg(0)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(2000)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
