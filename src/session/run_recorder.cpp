#include "session/run_recorder.h"

#include <QDir>
#include <QMetaObject>
#include <algorithm>
#include <chrono>

using run_database::Row;

namespace {

// At most one commit a second: what a kill or a power cut may take.
constexpr auto CommitEvery = std::chrono::seconds(1);
// A flush that the writer does not answer in this time is given up: never hang the caller.
constexpr auto FlushWait = std::chrono::seconds(10);

} // namespace

TRunRecorder::TRunRecorder(const QString &folder, QObject *parent)
    : QObject(parent), f_folder(folder), f_thread([this] { writer(); })
{
}

TRunRecorder::~TRunRecorder()
{
    {
        std::lock_guard<std::mutex> hold(f_lock);
        f_stop = true;
    }
    f_wake.notify_all();
    f_thread.join();
}

QString TRunRecorder::file() const
{
    return QDir(f_folder).filePath(QString::fromLatin1(run_database::FileName));
}

void TRunRecorder::start_run(const run_database::Run &run)
{
    f_running = true;
    f_next_row = 0;
    f_break_next = false;
    {
        std::lock_guard<std::mutex> hold(f_lock);
        f_run_id = -1;
        f_queue.push_back(Begin{run});
    }
}

void TRunRecorder::add(std::int64_t t_ms, std::uint16_t pressure_raw, std::uint16_t temperature_raw)
{
    if (!f_running)
        return;
    const std::int64_t n = f_next_row++;
    std::lock_guard<std::mutex> hold(f_lock);
    if (f_queue.empty() || !std::holds_alternative<Rows>(f_queue.back()))
        f_queue.push_back(Rows{});
    Rows &rows = std::get<Rows>(f_queue.back());
    rows.rows.push_back({n, t_ms, pressure_raw, temperature_raw});
    if (std::exchange(f_break_next, false))
        rows.breaks.push_back(n);
}

void TRunRecorder::add_break()
{
    // A break before the first row is no break.
    f_break_next = f_running && f_next_row > 0;
}

void TRunRecorder::end_run(const QDateTime &ended)
{
    if (!f_running)
        return;
    f_running = false;
    std::lock_guard<std::mutex> hold(f_lock);
    f_queue.push_back(End{ended});
}

std::int64_t TRunRecorder::run_id() const
{
    if (!f_running)
        return -1; // ended: no longer the one being recorded
    std::lock_guard<std::mutex> hold(f_lock);
    return f_run_id;
}

void TRunRecorder::flush()
{
    std::unique_lock<std::mutex> hold(f_lock);
    const std::uint64_t target = f_flushes_done + 1;
    f_flush = true;
    f_wake.notify_all();
    f_flushed.wait_for(hold, FlushWait, [&] { return f_flushes_done >= target; });
}

void TRunRecorder::set_retention(int days, int megabytes)
{
    {
        std::lock_guard<std::mutex> hold(f_lock);
        f_retention = {std::max(days, 0), std::max(megabytes, 0)};
        f_retain = true;
    }
    f_wake.notify_all();
}

void TRunRecorder::set_open_runs(const QList<std::int64_t> &runs)
{
    std::lock_guard<std::mutex> hold(f_lock);
    f_open_runs = runs;
}

void TRunRecorder::tell(bool ok, const QString &text)
{
    f_main.postCall([this, ok, text] { emit problem(ok, text); });
}

void TRunRecorder::tell_removed(bool ok, const QList<std::int64_t> &removed, const QString &text)
{
    f_main.postCall([this, ok, removed, text] { emit runs_removed(ok, removed, text); });
}

void TRunRecorder::writer()
{
    std::deque<Command> backlog;
    bool failing = false;
    bool retain_pending = false;
    std::unique_lock<std::mutex> hold(f_lock);
    for (;;) {
        f_wake.wait_for(hold, CommitEvery, [this] { return f_stop || f_flush || f_retain; });
        const bool stop = f_stop;
        const bool flushing = std::exchange(f_flush, false);
        retain_pending = std::exchange(f_retain, false) || retain_pending;
        for (Command &c : f_queue)
            backlog.push_back(std::move(c));
        f_queue.clear();
        hold.unlock();

        QString why;
        const bool written = backlog.empty() || write(backlog, why);
        if (!written && !failing)
            tell(false, QStringLiteral("Recording to %1 stopped: %2. The run goes on; its measurements are kept "
                                       "and written to the file once it can be written again.")
                            .arg(file(), why));
        else if (written && failing)
            tell(true, QStringLiteral("Recording to %1 works again; the measurements kept meanwhile are written.")
                           .arg(file()));
        failing = !written;
        // Once this pass's rows are in; rows that come meanwhile wait in memory as for any slow
        // commit. Not on the way out, which a large removal would hold up.
        retain_pending = std::exchange(f_began, false) || retain_pending;
        if (written && retain_pending && !stop) {
            retain_pending = false;
            retain();
        }

        hold.lock();
        if (flushing) {
            ++f_flushes_done;
            f_flushed.notify_all();
        }
        if (stop)
            break;
    }
    hold.unlock();
    f_db.close();
}

bool TRunRecorder::write(std::deque<Command> &commands, QString &why)
{
    if (!f_db.is_open()) {
        QDir().mkpath(f_folder);
        why = f_db.open(file(), TRunDatabase::Access::ReadWrite);
        if (!why.isEmpty())
            return false;
    }
    while (!commands.empty()) {
        Command &c = commands.front();
        if (auto *begin = std::get_if<Begin>(&c)) {
            why = f_db.begin_run(begin->run);
            if (why.isEmpty()) {
                f_current = begin->run.id;
                f_began = true;
                std::lock_guard<std::mutex> hold(f_lock);
                f_run_id = f_current;
            }
        } else if (auto *rows = std::get_if<Rows>(&c)) {
            why = f_current < 0 ? QString() : f_db.append(f_current, rows->rows, rows->breaks);
        } else if (auto *end = std::get_if<End>(&c)) {
            why = f_current < 0 ? QString() : f_db.end_run(f_current, end->ended);
            if (why.isEmpty())
                f_current = -1;
        }
        if (!why.isEmpty()) {
            // Written again from the start: the file may be the reason.
            f_db.close();
            return false;
        }
        commands.pop_front();
    }
    return true;
}

void TRunRecorder::retain()
{
    Retention limits;
    QList<std::int64_t> keep;
    {
        std::lock_guard<std::mutex> hold(f_lock);
        limits = f_retention;
        keep = f_open_runs;
    }
    if (limits.days == 0 && limits.megabytes == 0)
        return;
    const auto failed = [this](const QString &why) {
        tell_removed(false, {}, QStringLiteral("Old recorded runs could not be removed: %1").arg(why));
    };
    if (!f_db.is_open()) {
        if (TRunDatabase::file_version(file()) == 0)
            return; // nothing recorded yet
        if (const QString why = f_db.open(file(), TRunDatabase::Access::ReadWrite); !why.isEmpty())
            return failed(why);
    }
    if (f_current >= 0)
        keep << f_current;
    // Apart, so that the log can say why each went.
    const QDateTime now = QDateTime::currentDateTime();
    QString why;
    const QList<std::int64_t> old = f_db.apply_retention(limits.days, 0, keep, now, &why);
    QList<std::int64_t> big;
    if (why.isEmpty())
        big = f_db.apply_retention(0, limits.megabytes, keep, now, &why);
    const QList<std::int64_t> removed = old + big;
    if (removed.isEmpty()) {
        if (!why.isEmpty())
            failed(why);
        return;
    }
    QStringList reasons;
    if (!old.isEmpty())
        reasons << QStringLiteral("%1 older than %2 days").arg(old.size()).arg(limits.days);
    if (!big.isEmpty())
        reasons << QStringLiteral("%1 to keep all runs within %2 MB").arg(big.size()).arg(limits.megabytes);
    QString text = QStringLiteral("Removed %1 recorded %2 by the retention settings")
                       .arg(removed.size())
                       .arg(removed.size() == 1 ? QStringLiteral("run") : QStringLiteral("runs"));
    if (!reasons.isEmpty())
        text += QStringLiteral(": ") + reasons.join(QStringLiteral(", "));
    if (!why.isEmpty())
        text += QStringLiteral("; removing more failed: ") + why;
    tell_removed(why.isEmpty(), removed, text + u'.');
}
