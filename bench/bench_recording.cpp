// Runs recorded as they are measured. BM_RecordMeasurement: what the session adds on the main
// thread to each measurement of a run when runs are recorded (the time since the run's start and
// the recorder's add), per call, while the recorder's writer commits beside it; compare its
// median_ms with BM_UpdateGuiMeas's. BM_OpenRecordedRun: a recorded run read from its file into a
// store and drawn by a chart of the main window's size: seconds to the first drawn chart
// (open_ms, load_ms and first_replot_ms of them), bytes_per_row of the store above the empty
// chart, and replot_ms of the whole run afterwards.
#include "services/recording/run_database.h"
#include "session/run_recorder.h"
#include "views/chart/chart.h"
#include "views/chart/measurement_store.h"
#include "views/chart/recorded_store.h"

#include "bench_app.h"
#include "bench_measures.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>
#include <random>
#include <vector>

namespace {

run_database::Run a_run(const QDateTime &started)
{
    run_database::Run run;
    run.started = started;
    run.address = 0x28;
    run.product_code = QStringLiteral("F01234E07P0056");
    run.range_min = 0.0;
    run.range_max = 10.0;
    run.pressure_mode = 1;
    run.calibration_date = QStringLiteral("07.04.2019");
    run.adapter_serial = QStringLiteral("0000C0DE");
    run.interval_ms = 10;
    run.program_version = QStringLiteral("bench");
    return run;
}

// A file with one run of that many rows at the fastest pace, a new line every million rows;
// written once per process, as the recorder writes it, in commits of many rows.
struct RecordedFile {
    QTemporaryDir dir;
    QString path;
    run_database::Run run;
    QString error;
};

const RecordedFile &recorded_file(std::int64_t rows)
{
    static std::map<std::int64_t, std::unique_ptr<RecordedFile>> files;
    std::unique_ptr<RecordedFile> &file = files[rows];
    if (file)
        return *file;
    file = std::make_unique<RecordedFile>();
    file->path = file->dir.filePath(QString::fromLatin1(run_database::FileName));
    TRunDatabase db;
    file->error = db.open(file->path, TRunDatabase::Access::ReadWrite);
    file->run = a_run(QDateTime::currentDateTime().addMSecs(-10 * rows));
    if (file->error.isEmpty())
        file->error = db.begin_run(file->run);
    std::mt19937 random(3);
    std::normal_distribution<double> noise(0.0, 1.0);
    std::vector<run_database::Row> batch;
    for (std::int64_t first = 0; file->error.isEmpty() && first < rows; first += std::int64_t(TRunDatabase::BatchRows)) {
        batch.clear();
        std::vector<std::int64_t> breaks;
        for (std::int64_t n = first; n < std::min(rows, first + std::int64_t(TRunDatabase::BatchRows)); ++n) {
            const double p = 1.0 + 0.01 * noise(random), t = 22.0 + 0.1 * noise(random);
            batch.push_back({n, n * 10, std::uint16_t(16384 + p * 3276.8),
                             std::uint16_t(std::llround((t + 50) / 0.05 + 24) * 16)});
            if (n > 0 && n % 1000000 == 0)
                breaks.push_back(n);
        }
        file->error = db.append(file->run.id, batch, breaks);
    }
    if (file->error.isEmpty())
        file->error = db.end_run(file->run.id, QDateTime::currentDateTime());
    return *file;
}

} // namespace

static void BM_RecordMeasurement(benchmark::State &state)
{
    benchApplication();
    QTemporaryDir folder;
    TRunRecorder recorder(folder.path());
    const QDateTime started = QDateTime::currentDateTime();
    const std::int64_t started_ms = started.toMSecsSinceEpoch();
    recorder.start_run(a_run(started));
    std::vector<double> calls, times;
    calls.reserve(std::size_t(state.max_iterations));
    times.reserve(std::size_t(state.max_iterations));
    std::uint16_t word = 0;
    for (auto _ : state) {
        // Stamped by the measurement worker, in UTC.
        const QDateTime taken = QDateTime::currentDateTimeUtc();
        ++word;
        QElapsedTimer took;
        took.start();
        const std::int64_t t_ms = taken.toMSecsSinceEpoch() - started_ms;
        const qint64 timed = took.nsecsElapsed();
        recorder.add(t_ms, word, word);
        const double seconds = double(took.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        calls.push_back(seconds * 1e3);
        times.push_back(double(timed) / 1e6);
    }
    recorder.end_run(QDateTime::currentDateTime());
    recorder.flush();
    std::sort(calls.begin(), calls.end());
    std::sort(times.begin(), times.end());
    if (!calls.empty()) {
        state.counters["median_ms"] = calls[calls.size() / 2];
        state.counters["p99_ms"] = calls[std::min(calls.size() - 1, calls.size() * 99 / 100)];
        state.counters["max_ms"] = calls.back();
        // Of the median: the time since the run's start alone.
        state.counters["time_median_ms"] = times[times.size() / 2];
    }
    // Only a recording that reached the file counts.
    TRunDatabase db;
    const QString why = db.open(recorder.file(), TRunDatabase::Access::ReadOnly);
    const QList<run_database::Run> runs = db.runs();
    if (!why.isEmpty() || runs.size() != 1 || runs[0].rows != std::int64_t(calls.size()))
        state.SkipWithError("the recorder did not write every row");
}
BENCHMARK(BM_RecordMeasurement)->Iterations(200000)->UseManualTime()->Unit(benchmark::kMicrosecond);

static void BM_OpenRecordedRun(benchmark::State &state)
{
    benchApplication();
    const std::int64_t count = state.range(0);
    const RecordedFile &file = recorded_file(count);
    if (!file.error.isEmpty()) {
        state.SkipWithError(file.error.toStdString().c_str());
        return;
    }
    for (auto _ : state) {
        // The empty window: a chart of the main window's size, drawn once.
        TChart chart;
        chart.resize(900, 420);
        chart.init_series(0xCA6500, 0x1111FF);
        chart.show();
        chart.replot();
        const double empty = bench_measures::residentMegabytes();

        QElapsedTimer took;
        took.start();
        TRunDatabase db;
        QString why = db.open(file.path, TRunDatabase::Access::ReadOnly);
        const qint64 opened = took.nsecsElapsed();
        auto store = std::make_shared<TMeasurementStore>();
        if (why.isEmpty())
            why = recorded_store::load(db, file.run, *store);
        db.close();
        const qint64 loaded = took.nsecsElapsed();
        chart.set_store(store);
        chart.replot();
        const qint64 drawn = took.nsecsElapsed();
        state.SetIterationTime(double(drawn) / 1e9);
        if (!why.isEmpty() || std::int64_t(store->size()) != count) {
            state.SkipWithError(why.isEmpty() ? "rows missing" : why.toStdString().c_str());
            return;
        }
        state.counters["open_ms"] = double(opened) / 1e6;
        state.counters["load_ms"] = double(loaded - opened) / 1e6;
        state.counters["first_replot_ms"] = double(drawn - loaded) / 1e6;
        state.counters["first_chart_s"] = double(drawn) / 1e9;
        state.counters["bytes_per_row"] =
            (bench_measures::residentMegabytes() - empty) * 1024.0 * 1024.0 / double(count);
        state.counters["replot_ms"] = bench_measures::replotMs(chart);
        // The file's share of load_ms: the same rows read without a store.
        TRunDatabase again;
        std::vector<std::int64_t> breaks;
        std::size_t rows = 0;
        if (again.open(file.path, TRunDatabase::Access::ReadOnly).isEmpty()) {
            QElapsedTimer reading;
            reading.start();
            again.read(
                file.run.id,
                [&rows](const std::vector<run_database::Row> &batch) {
                    rows += batch.size();
                    return true;
                },
                breaks);
            state.counters["file_read_ms"] = double(reading.nsecsElapsed()) / 1e6;
        }
    }
}
BENCHMARK(BM_OpenRecordedRun)->Arg(10000000)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kMillisecond);
