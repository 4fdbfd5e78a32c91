// Records runs as they are measured: each measurement goes to the file of recorded runs in the
// recording folder, written by a thread of its own with at most one commit a second, so a kill or
// a power cut loses at most the last second. A file that cannot be written (disk full, a folder
// without write access, a damaged file) is told once; the rows wait in memory and go to the file,
// whole, once writing works again.
// Threading: the public functions belong to the thread that made the recorder (the main thread);
// `problem` is emitted there too. The writer thread touches only the queue under its lock.
#pragma once

#include "services/recording/run_database.h"

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <variant>

class TRunRecorder : public QObject
{
    Q_OBJECT
public:
    explicit TRunRecorder(const QString &folder, QObject *parent = nullptr);
    // Writes what is waiting, once more if it fails, and ends the writer.
    ~TRunRecorder() override;

    QString file() const;
    // A new run with its transmitter; rows added until end_run belong to it.
    void start_run(const run_database::Run &run);
    void add(std::int64_t t_ms, std::uint16_t pressure_raw, std::uint16_t temperature_raw);
    // The next row starts a new line (a cleared chart).
    void add_break();
    void end_run(const QDateTime &ended);
    bool recording() const { return f_running; }
    // The run being recorded, once the writer has stored it; -1 otherwise.
    std::int64_t run_id() const;
    // Writes what waits now instead of within the second (a test, the end of the program).
    void flush();

signals:
    // `ok` false: the file cannot be written, told once until it works again; `ok` true: it
    // works again, with `waiting` rows written late.
    void problem(bool ok, const QString &text);

private:
    struct Begin {
        run_database::Run run;
    };
    struct Rows {
        std::vector<run_database::Row> rows;
        std::vector<std::int64_t> breaks;
    };
    struct End {
        QDateTime ended;
    };
    using Command = std::variant<Begin, Rows, End>;

    void writer();
    // Writes the commands in order; false when one failed (it and the rest stay queued).
    bool write(std::deque<Command> &commands, QString &why);
    void tell(bool ok, const QString &text);

    const QString f_folder;
    // The writer thread's.
    TRunDatabase f_db;
    std::int64_t f_current = -1; // the run the rows belong to

    // Under f_lock.
    mutable std::mutex f_lock;
    std::condition_variable f_wake;
    std::deque<Command> f_queue;
    bool f_stop = false;
    bool f_flush = false;
    std::uint64_t f_flushes_done = 0;
    std::condition_variable f_flushed;
    std::int64_t f_run_id = -1;

    // Main thread.
    bool f_running = false;
    std::int64_t f_next_row = 0;
    bool f_break_next = false;

    std::thread f_thread; // last: starts once everything above exists
};
