#include "services/recording/run_database.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QUuid>
#include <sqlite3.h>

using run_database::Row;
using run_database::Run;

namespace {

// A prepared statement, finalised however the caller leaves.
class Statement
{
public:
    Statement(sqlite3 *db, const char *sql) { f_rc = sqlite3_prepare_v2(db, sql, -1, &f_stmt, nullptr); }
    ~Statement() { sqlite3_finalize(f_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return f_rc == SQLITE_OK; }
    void bind(int i, std::int64_t v) { sqlite3_bind_int64(f_stmt, i, v); }
    void bind(int i, double v) { sqlite3_bind_double(f_stmt, i, v); }
    void bind(int i, const QString &v)
    {
        const QByteArray utf8 = v.toUtf8();
        sqlite3_bind_text(f_stmt, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bind_time(int i, const QDateTime &t)
    {
        if (t.isValid())
            bind(i, std::int64_t(t.toMSecsSinceEpoch()));
        else
            sqlite3_bind_null(f_stmt, i);
    }
    int step() { return sqlite3_step(f_stmt); }
    void reset() { sqlite3_reset(f_stmt); }
    std::int64_t integer(int i) const { return sqlite3_column_int64(f_stmt, i); }
    double real(int i) const { return sqlite3_column_double(f_stmt, i); }
    bool null(int i) const { return sqlite3_column_type(f_stmt, i) == SQLITE_NULL; }
    QString text(int i) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(f_stmt, i)),
                                 sqlite3_column_bytes(f_stmt, i));
    }
    QDateTime time(int i) const { return null(i) ? QDateTime() : QDateTime::fromMSecsSinceEpoch(integer(i)); }

private:
    sqlite3_stmt *f_stmt = nullptr;
    int f_rc = SQLITE_ERROR;
};

// Each step brings a file of that version to the next one; a new version adds a step and never
// changes an old one.
const char *const MigrationSteps[run_database::SchemaVersion] = {
    // 0 → 1
    "CREATE TABLE runs ("
    " id INTEGER PRIMARY KEY,"
    " uid TEXT NOT NULL UNIQUE,"
    " started_ms INTEGER NOT NULL,"
    " ended_ms INTEGER,"
    " address INTEGER NOT NULL,"
    " product_code TEXT NOT NULL,"
    " range_min REAL NOT NULL,"
    " range_max REAL NOT NULL,"
    " pressure_mode INTEGER NOT NULL,"
    " calibration_date TEXT NOT NULL,"
    " adapter_serial TEXT NOT NULL,"
    " interval_ms INTEGER NOT NULL,"
    " program_version TEXT NOT NULL,"
    " row_count INTEGER NOT NULL DEFAULT 0);"
    "CREATE TABLE rows ("
    " run INTEGER NOT NULL,"
    " n INTEGER NOT NULL,"
    " t_ms INTEGER NOT NULL,"
    " pressure_raw INTEGER NOT NULL,"
    " temperature_raw INTEGER NOT NULL,"
    " PRIMARY KEY (run, n)) WITHOUT ROWID;"
    "CREATE TABLE breaks ("
    " run INTEGER NOT NULL,"
    " n INTEGER NOT NULL,"
    " PRIMARY KEY (run, n)) WITHOUT ROWID;",
};

constexpr int HeaderSize = 100;
constexpr int UserVersionOffset = 60;
const char Magic[] = "SQLite format 3";

} // namespace

TRunDatabase::~TRunDatabase()
{
    close();
}

int TRunDatabase::file_version(const QString &path)
{
    QFile file(path);
    if (!file.exists() || file.size() == 0)
        return 0;
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray header = file.read(HeaderSize);
    if (header.size() < HeaderSize || !header.startsWith(QByteArray(Magic, sizeof Magic)))
        return -1;
    const auto *b = reinterpret_cast<const unsigned char *>(header.constData()) + UserVersionOffset;
    return int((std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) | b[3]);
}

QString TRunDatabase::open(const QString &path, Access access)
{
    close();
    const int header = file_version(path);
    const QString name = QFileInfo(path).fileName();
    if (header < 0)
        return QStringLiteral("%1 is no database of recorded runs, or it is damaged; it was left as it is.").arg(path);
    if (header > run_database::SchemaVersion)
        return QStringLiteral("%1 was written by a newer version of the program (schema %2, this one knows %3); it "
                              "was left as it is.")
            .arg(path)
            .arg(header)
            .arg(run_database::SchemaVersion);
    if (access == Access::ReadOnly && header == 0)
        return QStringLiteral("%1 holds no recorded runs.").arg(path);

    // A damaged file is found before anything is opened for writing, through a connection
    // that leaves no log or lock file beside it.
    if (header > 0) {
        const QString check = quick_check(path);
        if (check != QLatin1String("ok"))
            return QStringLiteral("%1 is damaged (%2); it was left as it is.").arg(path, check);
    }

    const int flags = access == Access::ReadOnly ? SQLITE_OPEN_READONLY
                                                 : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    sqlite3 *db = nullptr;
    const QByteArray file = QFile::encodeName(path);
    if (sqlite3_open_v2(file.constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        const QString why = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_close(db);
        return QStringLiteral("%1 cannot be opened: %2").arg(path, why);
    }
    f_db = db;
    f_path = path;
    sqlite3_busy_timeout(f_db, 5000);

    // What the header says may be older than the write-ahead log: the file's own word counts.
    int version = 0;
    {
        Statement s(f_db, "PRAGMA user_version");
        if (!s.ok() || s.step() != SQLITE_ROW) {
            const QString why = error_text("read");
            close();
            return QStringLiteral("%1 is no database of recorded runs, or it is damaged (%2); it was left as it is.")
                .arg(path, why);
        }
        version = int(s.integer(0));
    }
    if (version > run_database::SchemaVersion) {
        close();
        return QStringLiteral("%1 was written by a newer version of the program (schema %2); it was left as it is.")
            .arg(path)
            .arg(version);
    }
    if (access == Access::ReadWrite) {
        // Each commit reaches the disk before the next: a power cut loses at most the last one.
        QString why = exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL;");
        if (why.isEmpty() && version < run_database::SchemaVersion)
            why = create_or_migrate(version);
        if (!why.isEmpty()) {
            close();
            return QStringLiteral("%1 cannot be prepared for recording: %2").arg(name, why);
        }
    }
    return {};
}

QString TRunDatabase::quick_check(const QString &path)
{
    QUrl uri = QUrl::fromLocalFile(path);
    uri.setQuery(QStringLiteral("immutable=1"));
    const QByteArray name = uri.toEncoded();
    sqlite3 *db = nullptr;
    QString out;
    if (sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr) != SQLITE_OK) {
        out = QString::fromUtf8(sqlite3_errmsg(db));
    } else {
        Statement s(db, "PRAGMA quick_check");
        QStringList lines;
        int rc = SQLITE_ERROR;
        while (s.ok() && (rc = s.step()) == SQLITE_ROW)
            lines << s.text(0);
        out = rc == SQLITE_DONE && !lines.isEmpty() ? lines.join(u'\n') : QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    return out;
}

void TRunDatabase::close()
{
    if (f_db)
        sqlite3_close(f_db);
    f_db = nullptr;
}

QString TRunDatabase::exec(const char *sql)
{
    char *message = nullptr;
    if (sqlite3_exec(f_db, sql, nullptr, nullptr, &message) == SQLITE_OK)
        return {};
    const QString why = QString::fromUtf8(message ? message : sqlite3_errmsg(f_db));
    sqlite3_free(message);
    return why;
}

QString TRunDatabase::error_text(const char *what) const
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromUtf8(sqlite3_errmsg(f_db)));
}

QString TRunDatabase::create_or_migrate(int version)
{
    if (QString why = exec("BEGIN IMMEDIATE"); !why.isEmpty())
        return why;
    for (int step = version; step < run_database::SchemaVersion; ++step) {
        if (QString why = exec(MigrationSteps[step]); !why.isEmpty()) {
            exec("ROLLBACK");
            return why;
        }
    }
    const QByteArray set = QByteArrayLiteral("PRAGMA user_version=") + QByteArray::number(run_database::SchemaVersion);
    QString why = exec(set.constData());
    why = why.isEmpty() ? exec("COMMIT") : why;
    if (!why.isEmpty()) {
        exec("ROLLBACK");
        return why;
    }
    // The header carries the version from now on, not only the log.
    exec("PRAGMA wal_checkpoint(TRUNCATE)");
    return {};
}

QString TRunDatabase::begin_run(Run &run)
{
    if (!f_db)
        return QStringLiteral("not open");
    if (run.uid.isEmpty())
        run.uid = QUuid::createUuid().toString(QUuid::WithoutBraces);
    Statement s(f_db, "INSERT INTO runs (uid, started_ms, ended_ms, address, product_code, range_min, range_max, "
                      "pressure_mode, calibration_date, adapter_serial, interval_ms, program_version) "
                      "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    if (!s.ok())
        return error_text("prepare");
    s.bind(1, run.uid);
    s.bind_time(2, run.started);
    s.bind_time(3, run.ended);
    s.bind(4, std::int64_t(run.address));
    s.bind(5, run.product_code);
    s.bind(6, run.range_min);
    s.bind(7, run.range_max);
    s.bind(8, std::int64_t(run.pressure_mode));
    s.bind(9, run.calibration_date);
    s.bind(10, run.adapter_serial);
    s.bind(11, std::int64_t(run.interval_ms));
    s.bind(12, run.program_version);
    if (s.step() != SQLITE_DONE)
        return error_text("insert run");
    run.id = sqlite3_last_insert_rowid(f_db);
    return {};
}

QString TRunDatabase::append(std::int64_t run, const std::vector<Row> &rows, const std::vector<std::int64_t> &breaks,
                             const QDateTime &ended)
{
    if (!f_db)
        return QStringLiteral("not open");
    if (QString why = exec("BEGIN IMMEDIATE"); !why.isEmpty())
        return why;
    auto fail = [this](const char *what) {
        const QString why = error_text(what);
        exec("ROLLBACK");
        return why;
    };
    {
        Statement s(f_db, "INSERT OR REPLACE INTO rows (run, n, t_ms, pressure_raw, temperature_raw) VALUES (?,?,?,?,?)");
        if (!s.ok())
            return fail("prepare");
        for (const Row &row : rows) {
            s.bind(1, run);
            s.bind(2, row.n);
            s.bind(3, row.t_ms);
            s.bind(4, std::int64_t(row.pressure_raw));
            s.bind(5, std::int64_t(row.temperature_raw));
            if (s.step() != SQLITE_DONE)
                return fail("insert rows");
            s.reset();
        }
    }
    {
        Statement s(f_db, "INSERT OR IGNORE INTO breaks (run, n) VALUES (?,?)");
        if (!s.ok())
            return fail("prepare");
        for (std::int64_t n : breaks) {
            s.bind(1, run);
            s.bind(2, n);
            if (s.step() != SQLITE_DONE)
                return fail("insert breaks");
            s.reset();
        }
    }
    {
        Statement s(f_db, "UPDATE runs SET row_count = (SELECT count(*) FROM rows WHERE run = ?1),"
                          " ended_ms = coalesce(?2, ended_ms) WHERE id = ?1");
        if (!s.ok())
            return fail("prepare");
        s.bind(1, run);
        s.bind_time(2, ended);
        if (s.step() != SQLITE_DONE)
            return fail("update run");
    }
    if (QString why = exec("COMMIT"); !why.isEmpty()) {
        exec("ROLLBACK");
        return why;
    }
    return {};
}

QString TRunDatabase::end_run(std::int64_t run, const QDateTime &ended)
{
    return append(run, {}, {}, ended);
}

QList<Run> TRunDatabase::runs(QString *error)
{
    QList<Run> out;
    if (!f_db) {
        if (error)
            *error = QStringLiteral("not open");
        return out;
    }
    // The file's pages in use, shared out by rows: what removing a run gives back.
    double bytes_per_row = 0;
    {
        Statement s(f_db, "SELECT (SELECT page_count FROM pragma_page_count()) - (SELECT freelist_count FROM "
                          "pragma_freelist_count()), (SELECT page_size FROM pragma_page_size()), "
                          "(SELECT coalesce(sum(row_count), 0) FROM runs)");
        if (s.ok() && s.step() == SQLITE_ROW && s.integer(2) > 0)
            bytes_per_row = double(s.integer(0)) * double(s.integer(1)) / double(s.integer(2));
    }
    Statement s(f_db, "SELECT id, uid, started_ms, ended_ms, address, product_code, range_min, range_max, "
                      "pressure_mode, calibration_date, adapter_serial, interval_ms, program_version, row_count, "
                      "(SELECT t_ms FROM rows WHERE run = runs.id ORDER BY n DESC LIMIT 1) "
                      "FROM runs ORDER BY started_ms DESC, id DESC");
    if (!s.ok()) {
        if (error)
            *error = error_text("list runs");
        return out;
    }
    while (s.step() == SQLITE_ROW) {
        Run r;
        r.id = s.integer(0);
        r.uid = s.text(1);
        r.started = s.time(2);
        r.ended = s.time(3);
        r.address = int(s.integer(4));
        r.product_code = s.text(5);
        r.range_min = s.real(6);
        r.range_max = s.real(7);
        r.pressure_mode = int(s.integer(8));
        r.calibration_date = s.text(9);
        r.adapter_serial = s.text(10);
        r.interval_ms = int(s.integer(11));
        r.program_version = s.text(12);
        r.rows = s.integer(13);
        r.last_ms = s.null(14) ? -1 : s.integer(14);
        r.bytes = std::int64_t(bytes_per_row * double(r.rows));
        out << r;
    }
    return out;
}

QString TRunDatabase::read(std::int64_t run, std::vector<Row> &rows, std::vector<std::int64_t> &breaks)
{
    rows.clear();
    return read(
        run,
        [&rows](const std::vector<Row> &batch) {
            rows.insert(rows.end(), batch.begin(), batch.end());
            return true;
        },
        breaks);
}

QString TRunDatabase::read(std::int64_t run, const RowBatch &batch, std::vector<std::int64_t> &breaks)
{
    breaks.clear();
    if (!f_db)
        return QStringLiteral("not open");
    // One read transaction: the breaks belong to the rows read after them.
    if (QString why = exec("BEGIN"); !why.isEmpty())
        return why;
    const QString why = [&]() -> QString {
        {
            Statement s(f_db, "SELECT n FROM breaks WHERE run = ? ORDER BY n");
            if (!s.ok())
                return error_text("read breaks");
            s.bind(1, run);
            int rc;
            while ((rc = s.step()) == SQLITE_ROW)
                breaks.push_back(s.integer(0));
            if (rc != SQLITE_DONE)
                return error_text("read breaks");
        }
        Statement s(f_db, "SELECT n, t_ms, pressure_raw, temperature_raw FROM rows WHERE run = ? ORDER BY n");
        if (!s.ok())
            return error_text("read rows");
        s.bind(1, run);
        std::vector<Row> rows;
        rows.reserve(BatchRows);
        int rc;
        while ((rc = s.step()) == SQLITE_ROW) {
            rows.push_back({s.integer(0), s.integer(1), std::uint16_t(s.integer(2)), std::uint16_t(s.integer(3))});
            if (rows.size() == BatchRows) {
                if (!batch(rows))
                    return QStringLiteral("stopped");
                rows.clear();
            }
        }
        if (rc != SQLITE_DONE)
            return error_text("read rows");
        if (!rows.empty() && !batch(rows))
            return QStringLiteral("stopped");
        return {};
    }();
    exec("COMMIT");
    return why;
}

QString TRunDatabase::remove(std::int64_t run)
{
    if (!f_db)
        return QStringLiteral("not open");
    if (QString why = exec("BEGIN IMMEDIATE"); !why.isEmpty())
        return why;
    for (const char *sql : {"DELETE FROM rows WHERE run = ?", "DELETE FROM breaks WHERE run = ?",
                            "DELETE FROM runs WHERE id = ?"}) {
        Statement s(f_db, sql);
        if (!s.ok())
            break;
        s.bind(1, run);
        if (s.step() != SQLITE_DONE) {
            const QString why = error_text("delete");
            exec("ROLLBACK");
            return why;
        }
    }
    if (QString why = exec("COMMIT"); !why.isEmpty()) {
        exec("ROLLBACK");
        return why;
    }
    return {};
}

QList<std::int64_t> TRunDatabase::apply_retention(int days, int megabytes, const QList<std::int64_t> &keep,
                                                  const QDateTime &now, QString *error)
{
    QList<std::int64_t> removed;
    QString why;
    QList<Run> all = runs(&why);
    std::int64_t total = 0;
    for (const Run &r : all)
        total += r.bytes;
    const QDateTime oldest_kept = now.addDays(-days);
    const std::int64_t limit = std::int64_t(megabytes) * 1024 * 1024;
    // Oldest first.
    for (auto it = all.crbegin(); why.isEmpty() && it != all.crend(); ++it) {
        const bool too_old = days > 0 && it->started < oldest_kept;
        const bool too_big = megabytes > 0 && total > limit;
        if (!too_old && !too_big)
            continue;
        if (keep.contains(it->id))
            continue;
        why = remove(it->id);
        if (why.isEmpty()) {
            removed << it->id;
            total -= it->bytes;
        }
    }
    if (error)
        *error = why;
    return removed;
}

QString TRunDatabase::integrity_check()
{
    if (!f_db)
        return QStringLiteral("not open");
    Statement s(f_db, "PRAGMA integrity_check");
    if (!s.ok())
        return error_text("integrity check");
    QStringList lines;
    while (s.step() == SQLITE_ROW)
        lines << s.text(0);
    return lines.isEmpty() ? error_text("integrity check") : lines.join(u'\n');
}
