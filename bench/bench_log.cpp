// The event log is called from the GUI thread and a worker at once, up to a line per register
// transfer while the memory is read, so filing an event has to stay cheap and the writer has to
// keep up with bursts.
#include "services/settings/IniHandler.h"
#include "services/log/logFile.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <climits>
#include <memory>

namespace {

// A log on a temporary folder that never rolls over.
struct BenchLog {
    BenchLog()
    {
        QDir(folder.path()).mkpath(QStringLiteral("logs"));
        ini = std::make_unique<TIniHandler>(folder.path(), folder.path());
        ini->Set_LogFilesize(INT_MAX);
        log = std::make_unique<TLogFile>(QDir(folder.path()).filePath(QStringLiteral("logs")), ini.get());
    }
    // Waits until the writer has written everything.
    qint64 finish()
    {
        const QString file = log->fileName();
        log.reset();
        return QFileInfo(file).size();
    }

    QTemporaryDir folder;
    std::unique_ptr<TIniHandler> ini;
    std::unique_ptr<TLogFile> log;
};

const QString Message = QStringLiteral("get_device_memory: read 0x0C = 0x4A21 status 0x40");

std::unique_ptr<BenchLog> sharedLog;

void BM_LogAddEvent(benchmark::State &state)
{
    if (state.thread_index() == 0)
        sharedLog = std::make_unique<BenchLog>();
    for (auto _ : state)
        sharedLog->log->addEvent(catCommunication, lError, Message);
    if (state.thread_index() == 0) {
        sharedLog->finish();
        sharedLog.reset();
    }
}
// Fixed work per run keeps the file and the queue small; repeated for a median.
BENCHMARK(BM_LogAddEvent)->Threads(2)->Iterations(200000)->Repetitions(5)->UseRealTime();

void BM_LogWriterThroughput(benchmark::State &state)
{
    const int lines = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        BenchLog bench;
        const qint64 lineBytes = TLogFile::queueEvent({catCommunication, lError, TLogFile::localNow(), Message})
                                     .toLocal8Bit()
                                     .size() + 2;
        state.ResumeTiming();

        // Queued as fast as one thread can; the writer runs alongside and the release waits for it.
        for (int i = 0; i < lines; ++i)
            bench.log->addEvent(catCommunication, lError, Message);
        const qint64 written = bench.finish();

        state.PauseTiming();
        if (written != lines * lineBytes)
            state.SkipWithError("not every line reached the file");
        state.ResumeTiming();
    }
    state.counters["lines_per_second"] =
        benchmark::Counter(double(state.iterations()) * lines, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LogWriterThroughput)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
