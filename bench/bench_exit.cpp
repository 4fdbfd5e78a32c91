// The program as a process, closed in the middle of each state (a silent bus, no adapter, a scan
// cycle): close_ms is the time from the close request (SIGTERM, as a session manager sends it) to
// the end of the process; the target is under 2000 ms.
#include "program_process.h"

#include <QElapsedTimer>
#include <QThread>
#include <benchmark/benchmark.h>
#include <csignal>

namespace {

struct State {
    const char *scenario;
    const char *logged; // a log line that shows the program is (nearly) in that state
    int settle_ms;      // then so long, to close it in the middle of a cycle
};

const State States[] = {
    {"[adapter]\ndrop_answers = true\n", "The IO-Warrior adapter does not answer", 1000},
    {"[adapter]\nplugged = false\n", "No IO-Warrior adapter found", 300},
    {"[transmitter.t]\naddress = 0x28\n", "User : ", 2000},
};

void ProgramExit(benchmark::State &state)
{
    const State &s = States[state.range(0)];
    double total_ms = 0;
    for (auto _ : state) {
        QTemporaryDir home;
        QProcess program;
        if (const QString why = program_process::start(program, QString::fromUtf8(ZORBIT_PROGRAM), home, s.scenario);
            !why.isEmpty()) {
            state.SkipWithError(why.toStdString().c_str());
            return;
        }
        QElapsedTimer waited;
        waited.start();
        while (!program_process::logText(home).contains(QString::fromLatin1(s.logged)) && waited.elapsed() < 20000)
            QThread::msleep(20);
        if (waited.elapsed() >= 20000) {
            program.kill();
            program.waitForFinished();
            state.SkipWithError("the program did not reach the state");
            return;
        }
        QThread::msleep(unsigned(s.settle_ms));
        QElapsedTimer closing;
        closing.start();
        ::kill(pid_t(program.processId()), SIGTERM);
        if (!program.waitForFinished(10000)) {
            program.kill();
            program.waitForFinished();
            state.SkipWithError("the program did not end within 10 s");
            return;
        }
        const double ms = double(closing.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1000.0);
        total_ms += ms;
    }
    state.counters["close_ms"] = benchmark::Counter(total_ms / double(state.iterations()));
}

} // namespace

BENCHMARK(ProgramExit)->Arg(0)->Arg(1)->Arg(2)->ArgName("state")->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
