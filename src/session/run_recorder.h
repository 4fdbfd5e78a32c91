// Records runs as they are measured: each measurement goes to the file of recorded runs in the
// recording folder, written by a thread of its own with at most one commit a second, so a kill or
// a power cut loses at most the last second. A file that cannot be written (disk full, a folder
// without write access, a damaged file) is told once; the rows wait in memory and go to the file,
// whole, once writing works again. The writer also removes the oldest runs by the retention
// limits, never the run it records nor one open in a window.
// Threading: the public functions belong to the thread that made the recorder (the main thread),
// but for set_open_runs, which any thread may call; the signals are emitted on the main thread.
// The writer thread shares only what is under the lock.
#pragma once

#include "services/recording/run_database.h"
#include "services/utils/main_thread_call.h"

#include <QList>
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
    // Removes, now and whenever a run starts, the runs older than `days` and then the oldest until
    // all take at most `megabytes`; 0 leaves a limit off.
    void set_retention(int days, int megabytes);
    // The runs open in a window, which retention leaves alone.
    void set_open_runs(const QList<std::int64_t> &runs);

signals:
    // `ok` false: the file cannot be written, told once until it works again; `ok` true: it
    // works again, with `waiting` rows written late.
    void problem(bool ok, const QString &text);
    // Retention removed runs (`ok`), or failed after removing `removed`; `text` is the log's line.
    void runs_removed(bool ok, const QList<std::int64_t> &removed, const QString &text);

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

    struct Retention {
        int days = 0;
        int megabytes = 0;
    };

    void writer();
    // Writes the commands in order; false when one failed (it and the rest stay queued).
    bool write(std::deque<Command> &commands, QString &why);
    void tell(bool ok, const QString &text);
    void tell_removed(bool ok, const QList<std::int64_t> &removed, const QString &text);
    // On the writer thread, with the limits and the open runs of the moment.
    void retain();

    const QString f_folder;
    // The writer thread's.
    TRunDatabase f_db;
    std::int64_t f_current = -1; // the run the rows belong to
    bool f_began = false;        // a run was stored since retention last ran

    // Under f_lock.
    mutable std::mutex f_lock;
    std::condition_variable f_wake;
    std::deque<Command> f_queue;
    bool f_stop = false;
    bool f_flush = false;
    std::uint64_t f_flushes_done = 0;
    std::condition_variable f_flushed;
    std::int64_t f_run_id = -1;
    Retention f_retention;
    bool f_retain = false; // asked for by a change of the limits
    QList<std::int64_t> f_open_runs;

    // Main thread.
    bool f_running = false;
    std::int64_t f_next_row = 0;
    bool f_break_next = false;

    // What the writer tells reaches the main thread through the gate's lock.
    main_thread_call::Gate f_main{this};
    std::thread f_thread; // last: starts once everything above exists
};
