// A run at the fastest pace, through the real window, on the simulated adapter with one
// millisecond per report: the mean time from one measurement to the next (cycle_ms) against the
// protocol's own time (protocol_ms: the slider's wait, the wait after the measurement command
// and one report time for every report the cycle exchanges), with none or many measurements
// already recorded. cycle_ratio is the first over the second; whatever the program adds on top
// of the protocol shows there.
#include "services/log/logFile.h"
#include "session/session.h"
#include "views/monitor/monitor_view.h"

#include "bench_app.h"
#include "monitor_window.h"
#include "sim_control.h"

#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <type_traits>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr unsigned ReportMs = 1;
// The transmitter's conversion time, which the handler waits between the measurement command
// and reading the answer.
constexpr double CommandWaitMs = 10;
constexpr int WarmUpCycles = 20;

// What the session publishes during the run, noted the moment it arrives.
struct RunWatch {
    bool found = false;
    bool running = false;
    std::vector<Clock::time_point> arrived;
    std::vector<std::size_t> reports; // reports since the measurement before
    bool counting = false;
};

// Sleeps in the event loop rather than spinning, which would take a core from the worker.
bool waitFor(const std::function<bool()> &done, int ms)
{
    QTimer wake; // looks at the time now and then, should nothing else happen
    wake.start(50);
    const auto until = Clock::now() + std::chrono::milliseconds(ms);
    while (!done() && Clock::now() < until)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

// Both ways: the program's request and the adapter's answer each take one report time.
std::size_t reportsSince(zorbit_test::SimControl &sim)
{
    return sim.takeTraffic().size();
}

} // namespace

static void BM_RunAtFastestPace(benchmark::State &state)
{
    benchApplication();
    zorbit_test::SimControl sim;
    std::string error;
    if (!sim.loaded() || !sim.start({}, &error)) {
        state.SkipWithError(("the simulated adapter did not start: " + sim.error() + error).c_str());
        return;
    }
    sim.iowsim_set_latency_ms(ReportMs);
    bench_window::MonitorWindow m;
    if (!m.ready()) {
        state.SkipWithError("the chart series were not created");
        return;
    }

    RunWatch watch;
    QObject::connect(&m.form->session(), &TSession::published, m.form.get(), [&](const session::Record &record) {
        std::visit(
            [&](const auto &r) {
                using R = std::decay_t<decltype(r)>;
                if constexpr (std::is_same_v<R, session::BusFound>)
                    watch.found = true;
                else if constexpr (std::is_same_v<R, session::RunStarted>)
                    watch.running = true;
                else if constexpr (std::is_same_v<R, session::RunEnded>)
                    watch.running = false;
                else if constexpr (std::is_same_v<R, session::Measurement>) {
                    if (!r.in_run)
                        return;
                    // The worker waits for this to return, so the traffic so far is this cycle's.
                    watch.arrived.push_back(Clock::now());
                    const std::size_t reports = reportsSince(sim);
                    if (watch.counting)
                        watch.reports.push_back(reports);
                    watch.counting = watch.arrived.size() >= WarmUpCycles;
                }
            },
            record);
    });
    if (!waitFor([&] { return watch.found; }, 10000)) {
        state.SkipWithError("the scan found no transmitter");
        return;
    }
    m.record(int(state.range(0)));

    auto *monitor = m.form->findChild<TMonitorView *>();
    auto *slider = m.form->findChild<QSlider *>(QStringLiteral("TrackBar1"));
    auto *start = m.form->findChild<QPushButton *>(QStringLiteral("start_btn"));
    auto *stop = m.form->findChild<QPushButton *>(QStringLiteral("stop_btn"));
    slider->setValue(slider->minimum());
    const double sliderMs = monitor->delay();
    start->click();
    if (!waitFor([&] { return watch.arrived.size() >= WarmUpCycles; }, 20000)) {
        state.SkipWithError("the run did not start measuring");
        return;
    }

    std::size_t seen = watch.arrived.size();
    for (auto _ : state) {
        if (!waitFor([&] { return watch.arrived.size() > seen; }, 5000)) {
            state.SkipWithError("a measurement did not come");
            break;
        }
        const double seconds = std::chrono::duration<double>(watch.arrived[seen] - watch.arrived[seen - 1]).count();
        state.SetIterationTime(seconds);
        ++seen;
    }
    stop->click();
    waitFor([&] { return !watch.running; }, 5000);

    const std::size_t cycles = seen - WarmUpCycles;
    if (cycles > 0 && watch.reports.size() >= cycles) {
        double reports = 0;
        for (std::size_t i = 0; i < cycles; ++i)
            reports += double(watch.reports[i]);
        const double mean = std::chrono::duration<double, std::milli>(watch.arrived[seen - 1] -
                                                                      watch.arrived[WarmUpCycles - 1])
                                .count() /
                            double(cycles);
        const double protocol = sliderMs + CommandWaitMs + reports / double(cycles) * ReportMs;
        state.counters["cycle_ms"] = mean;
        state.counters["protocol_ms"] = protocol;
        state.counters["cycle_ratio"] = mean / protocol;
        state.counters["reports_per_cycle"] = reports / double(cycles);
    }
    QObject::disconnect(&m.form->session(), &TSession::published, m.form.get(), nullptr);
    m.form.reset();
    TLogFile::release();
}
BENCHMARK(BM_RunAtFastestPace)
    ->Arg(0)
    ->Arg(10000000)
    ->Iterations(300)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
