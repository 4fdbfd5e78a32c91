#include "views/windows/recorded_runs_text.h"

#include "services/settings/window_text.h"
#include "services/utils/ZUtils.h"
#include "transmitter/OrvelHandler.h"

#include <QTime>
#include <cstdlib>

using window_text::tr_;

namespace recorded_runs_text {

namespace {

constexpr std::int64_t MillisecondsPerDay = 86400000;

} // namespace

QString started(const run_database::Run &run)
{
    return run.started.toLocalTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
}

QStringList headers()
{
    return {tr_("runs_date", "Started"), tr_("runs_transmitter", "Transmitter"), tr_("runs_duration", "Duration"),
            tr_("runs_rows", "Measurements"), tr_("runs_size", "Size")};
}

QString duration(std::int64_t msecs)
{
    msecs = std::llabs(msecs);
    const QString clock = QTime::fromMSecsSinceStartOfDay(int(msecs % MillisecondsPerDay)).toString(QStringLiteral("hh:mm:ss"));
    const std::int64_t days = msecs / MillisecondsPerDay;
    return days > 0 ? QStringLiteral("%1 d %2").arg(days).arg(clock) : clock;
}

QString size(std::int64_t bytes, QChar separator)
{
    constexpr double Kilo = 1024.0;
    const double b = double(bytes < 0 ? 0 : bytes);
    if (b < Kilo * Kilo)
        return ZString::FormatFixed(b / Kilo, 0, 12, separator) + QStringLiteral(" kB");
    if (b < Kilo * Kilo * Kilo)
        return ZString::FormatFixed(b / (Kilo * Kilo), 1, 12, separator) + QStringLiteral(" MB");
    return ZString::FormatFixed(b / (Kilo * Kilo * Kilo), 1, 12, separator) + QStringLiteral(" GB");
}

QString transmitter(const run_database::Run &run)
{
    const QString address = T_SlaveAddr::hex_text(run.address);
    return run.product_code.isEmpty() ? address : address + QStringLiteral("  ") + run.product_code;
}

QString title(const run_database::Run &run)
{
    return tr_("runs_open_title", "Recorded run of %1, %2").arg(started(run), transmitter(run));
}

QStringList cells(const run_database::Run &run, bool running)
{
    QString length;
    if (run.ended.isValid())
        length = duration(run.started.msecsTo(run.ended));
    else if (running)
        length = tr_("runs_running", "running");
    else
        // Cut off by a kill or a power cut: as long as its rows reach.
        length = duration(std::max<std::int64_t>(run.last_ms, 0)) + QStringLiteral(" (") +
                 tr_("runs_cut_off", "cut off") + u')';
    return {started(run), transmitter(run), length, QString::number(run.rows),
            size(run.bytes, ZString::LocaleDecimalSeparator())};
}

} // namespace recorded_runs_text
