#include "views/chart/recorded_store.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace recorded_store {

namespace {

using run_database::Row;

// Batches handed from the thread that reads the file to the one that fills the store, at most
// two waiting, so that reading and filling overlap without the whole run piling up.
class BatchQueue
{
public:
    // The reader's side: false once the filler has given up.
    bool put(const std::vector<Row> &rows)
    {
        std::unique_lock<std::mutex> hold(f_lock);
        f_changed.wait(hold, [this] { return f_stop || f_ready.size() < 2; });
        if (f_stop)
            return false;
        f_ready.push_back(rows);
        f_changed.notify_all();
        return true;
    }
    void finish(const QString &why)
    {
        std::lock_guard<std::mutex> hold(f_lock);
        f_why = why;
        f_finished = true;
        f_changed.notify_all();
    }
    // The filler's side: false once the reader has finished and nothing waits.
    bool take(std::vector<Row> &rows)
    {
        std::unique_lock<std::mutex> hold(f_lock);
        f_changed.wait(hold, [this] { return !f_ready.empty() || f_finished; });
        if (f_ready.empty())
            return false;
        rows = std::move(f_ready.front());
        f_ready.pop_front();
        f_changed.notify_all();
        return true;
    }
    void stop()
    {
        std::lock_guard<std::mutex> hold(f_lock);
        f_stop = true;
        f_changed.notify_all();
    }
    // After the reader has ended.
    const QString &why() const { return f_why; }

private:
    std::mutex f_lock;
    std::condition_variable f_changed;
    std::deque<std::vector<Row>> f_ready;
    bool f_stop = false;
    bool f_finished = false;
    QString f_why;
};

} // namespace

QString load(TRunDatabase &db, const run_database::Run &run, TMeasurementStore &store)
{
    const std::atomic<bool> never{false};
    return load(db, run, store, never);
}

QString load(TRunDatabase &db, const run_database::Run &run, TMeasurementStore &store,
             const std::atomic<bool> &cancel)
{
    const std::int64_t origin = run.started.toMSecsSinceEpoch();
    // The conversion's range as the measurement worker hands it over.
    TMeasurementStore::Reading reading;
    reading.range_min = float(run.range_min);
    reading.range_max = float(run.range_max);
    reading.address = run.address;
    // Filled by the reader before its first batch, read here after it.
    std::vector<std::int64_t> breaks;
    BatchQueue queue;
    // The file is read on a thread of its own while this one fills the store; `db` is the
    // reader's until it is joined.
    std::thread reader([&] {
        queue.finish(db.read(
            run.id, [&queue](const std::vector<Row> &rows) { return queue.put(rows); }, breaks));
    });
    struct Join {
        BatchQueue &queue;
        std::thread &reader;
        ~Join()
        {
            queue.stop();
            if (reader.joinable())
                reader.join();
        }
    } join{queue, reader};

    bool cancelled = false;
    std::size_t next_break = 0;
    store.break_line();
    std::vector<Row> rows;
    while (queue.take(rows)) {
        if (cancel) {
            cancelled = true;
            break;
        }
        for (const Row &row : rows) {
            while (next_break < breaks.size() && breaks[next_break] < row.n)
                ++next_break;
            if (next_break < breaks.size() && breaks[next_break] == row.n)
                store.break_line();
            reading.pu16 = row.pressure_raw;
            reading.tu16 = row.temperature_raw;
            store.append(origin, row.t_ms, reading);
        }
    }
    if (cancelled)
        return QStringLiteral("cancelled");
    queue.stop();
    reader.join();
    return queue.why();
}

} // namespace recorded_store
