// A long recorded run written out as the table window saves it, and the retention's removal of
// one: the export reads the run a piece at a time, so its memory does not grow with the run
// (`extra_rss_mb`, the process's peak above what it held before); a removal runs on the
// recorder's writer thread, and `ms` tells how long new rows wait in memory meanwhile.
#include "views/windows/run_export.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fstream>
#include <string>

namespace {

// Stores a run of `count` rows of a transmitter of 0 to 10 bar, in large commits.
std::int64_t store(TRunDatabase &db, std::int64_t count)
{
    run_database::Run run;
    run.started = QDateTime::currentDateTime();
    run.range_max = 10;
    run.pressure_mode = 1;
    db.begin_run(run);
    std::vector<run_database::Row> rows;
    for (std::int64_t first = 0; first < count; first += rows.size()) {
        rows.clear();
        for (std::int64_t n = first; n < std::min(count, first + 100000); ++n)
            rows.push_back({n, n * 10, std::uint16_t(0x8000 + n * 7), std::uint16_t(0x5C00 + n % 97)});
        db.append(run.id, rows, {});
    }
    return run.id;
}

// The process's resident memory, or its peak since the last reset, in kilobytes.
long memory_kb(const char *field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::string(field).size()));
    return 0;
}

void reset_peak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

void BM_ExportRun(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QString::fromLatin1(run_database::FileName));
    TRunDatabase db;
    db.open(file, TRunDatabase::Access::ReadWrite);
    store(db, state.range(0));
    const run_database::Run run = db.runs().value(0);
    const run_export::Format format{table_export::captions([](const char *, const char *text) {
                                        return QString::fromUtf8(text);
                                    }),
                                    3, 2, u'.'};
    const QString target = dir.filePath(QStringLiteral("run.txt"));
    long extra_kb = 0;
    for (auto _ : state) {
        const long before = memory_kb("VmRSS:");
        reset_peak();
        const run_export::Outcome outcome = run_export::save(db, run, target, format);
        if (!outcome.ok())
            state.SkipWithError("the export failed");
        extra_kb = std::max(extra_kb, memory_kb("VmHWM:") - before);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * QFile(target).size());
    state.counters["extra_rss_mb"] = double(extra_kb) / 1024;
}
BENCHMARK(BM_ExportRun)->Arg(1000000)->Arg(4000000)->Unit(benchmark::kMillisecond);

void BM_RetentionRemovesARun(benchmark::State &state)
{
    QTemporaryDir dir;
    TRunDatabase db;
    db.open(dir.filePath(QString::fromLatin1(run_database::FileName)), TRunDatabase::Access::ReadWrite);
    for (auto _ : state) {
        state.PauseTiming();
        store(db, state.range(0));
        state.ResumeTiming();
        // As old as the limit allows and one day more.
        benchmark::DoNotOptimize(db.apply_retention(1, 0, {}, QDateTime::currentDateTime().addDays(2)));
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_RetentionRemovesARun)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
