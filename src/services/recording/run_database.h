// The file in which every run is recorded as it is measured: one row per run with the
// transmitter it measured, and per measurement the two raw words and the time since the run
// began (SQLite, write-ahead log). A file of a newer schema or a damaged one is refused and left
// as it is.
// Threading: one thread at a time uses an instance; several instances (a writer and readers) may
// use one file at once.
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

struct sqlite3;

namespace run_database {

// The schema this program writes; files of an older one are brought up to it.
constexpr int SchemaVersion = 1;
// The file in the recording folder.
constexpr const char *FileName = "runs.sqlite";

struct Run {
    std::int64_t id = -1;
    QString uid; // the same on every copy of the run (a server, an export)
    QDateTime started;
    QDateTime ended; // invalid while it runs, or when it was cut off
    int address = -1;
    QString product_code;
    double range_min = 0;
    double range_max = 0;
    int pressure_mode = 0;
    QString calibration_date;
    QString adapter_serial;
    int interval_ms = 0;
    QString program_version;
    std::int64_t rows = 0;
    std::int64_t last_ms = -1; // the last row's time since the start; -1 without rows
    std::int64_t bytes = 0; // an estimate of what its rows take in the file
};

struct Row {
    std::int64_t n = 0;    // 0, 1, 2, … within the run
    std::int64_t t_ms = 0; // since the run's start
    std::uint16_t pressure_raw = 0;
    std::uint16_t temperature_raw = 0;
};

} // namespace run_database

class TRunDatabase
{
public:
    enum class Access { ReadWrite, ReadOnly };

    TRunDatabase() = default;
    ~TRunDatabase();
    TRunDatabase(const TRunDatabase &) = delete;
    TRunDatabase &operator=(const TRunDatabase &) = delete;

    // Opens the file, creating it (read-write only) when it does not exist. Empty on success;
    // otherwise why, and the file is as it was.
    QString open(const QString &path, Access access);
    void close();
    bool is_open() const { return f_db != nullptr; }
    const QString &path() const { return f_path; }

    // The version a file carries, from its header; 0 for an empty or missing file, -1 when it is
    // no database of this kind.
    static int file_version(const QString &path);

    // Gives `run` its id and uid and stores it.
    QString begin_run(run_database::Run &run);
    // One transaction: the rows, the rows that begin a new line, and the end when valid.
    QString append(std::int64_t run, const std::vector<run_database::Row> &rows,
                   const std::vector<std::int64_t> &breaks, const QDateTime &ended = {});
    QString end_run(std::int64_t run, const QDateTime &ended);

    // Newest first.
    QList<run_database::Run> runs(QString *error = nullptr);
    QString read(std::int64_t run, std::vector<run_database::Row> &rows, std::vector<std::int64_t> &breaks);
    // The run's rows handed over in order in batches of at most `BatchRows`, so that a long run
    // never lies in memory whole; `breaks` is filled before the first batch. Rows and breaks are
    // read as one moment of the file, whatever a writer adds meanwhile. A batch answered with
    // false ends the read, which then returns "stopped".
    using RowBatch = std::function<bool(const std::vector<run_database::Row> &rows)>;
    static constexpr std::size_t BatchRows = 65536;
    QString read(std::int64_t run, const RowBatch &batch, std::vector<std::int64_t> &breaks);
    QString remove(std::int64_t run);
    // Removes the oldest runs until none is older than `days` (0: no limit) and all together
    // take at most `megabytes` (0: no limit); never one of `keep`. Returns the removed ids.
    QList<std::int64_t> apply_retention(int days, int megabytes, const QList<std::int64_t> &keep,
                                        const QDateTime &now, QString *error = nullptr);

    // SQLite's integrity check; "ok" for a sound file.
    QString integrity_check();

private:
    // SQLite's quick check on the file as it lies on the disk; "ok" for a sound one.
    static QString quick_check(const QString &path);
    QString exec(const char *sql);
    QString error_text(const char *what) const;
    QString create_or_migrate(int version);

    sqlite3 *f_db = nullptr;
    QString f_path;
};
