#include "views/windows/table_export.h"

#include "services/utils/ZUtils.h"
#include "services/utils/crlf_text.h"

#include <QDir>
#include <QRegularExpression>
#include <QTime>
#include <cstdlib>

namespace table_export {

namespace {

constexpr qint64 MillisecondsPerDay = 24LL * 60 * 60 * 1000;
const QLatin1Char Tab('\t');

} // namespace

QString placeholder()
{
    return QStringLiteral("-----");
}

QString addr_left_placeholder()
{
    return QStringLiteral("------");
}

QStringList header_cells(const QString &date_caption, const QString &time_caption)
{
    return {QString(),
            date_caption,
            time_caption,
            QStringLiteral("P[u16]"),
            QStringLiteral("P [bar]"),
            QStringLiteral("T[u16]"),
            QStringLiteral("T [°C]")};
}

QString date_text(const QDateTime &when)
{
    return when.date().toString(QStringLiteral("dd.MM.yyyy"));
}

QString time_of_day_text(const QDateTime &when)
{
    return when.time().toString(QStringLiteral("hh:mm:ss.zzz"));
}

QString duration_text(qint64 msecs)
{
    // A clock set back gives a negative duration; it shows as its size.
    const qint64 in_day = std::llabs(msecs) % MillisecondsPerDay;
    return QTime::fromMSecsSinceStartOfDay(int(in_day)).toString(QStringLiteral("hh:mm:ss.zzz"));
}

QStringList row_cells(int row, const Measurement &m, const RowTime &time, int pressure_digits,
                      int temperature_digits)
{
    const QString time_cell =
        time.relative ? duration_text(time.start.msecsTo(time.now)) : time_of_day_text(time.now);
    return {QString::number(row),
            date_text(time.now),
            time_cell,
            QString::number(m.pu16),
            ZString::FormatFixed(m.pbar, pressure_digits),
            QString::number(m.tu16),
            ZString::FormatFixed(m.tcels, temperature_digits)};
}

int top_visible_row(int row, int visible_rows)
{
    return row >= visible_rows ? row - visible_rows + 4 : 0;
}

QStringList description_lines(const QString &text)
{
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n|\u2028|\u2029"));
    QStringList lines = text.split(lineBreak);
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList fill_memo(const ExportContent &content)
{
    QStringList zwischen;
    const QStringList description = description_lines(content.description.value);
    zwischen.append(content.description.caption + Tab + description.value(0));
    for (qsizetype i = 1; i < description.size(); ++i)
        zwischen.append(Tab + description.at(i));
    zwischen.append(QString(Tab));
    zwischen.append(content.initials.caption + Tab + content.initials.value);
    zwischen.append(QString(Tab));
    zwischen.append(QString(Tab));
    for (const CaptionValue &line : content.identity)
        zwischen.append(line.caption + Tab + line.value);
    zwischen.append(QString(Tab));
    for (const QStringList &row : content.rows) {
        QStringList cells;
        for (int column = DateColumn; column < ColumnCount; ++column)
            cells.append(row.value(column));
        zwischen.append(cells.join(Tab));
    }
    return zwischen;
}

Captions captions(const window_text::Translate &tr)
{
    Captions c;
    c.description = tr("descr_title", "Description");
    c.initials = tr("initial_title", "Initial");
    c.identity = {tr("scaling", "Scaling"),
                  tr("calibrationdate_title", "Date of Calibration"),
                  tr("uniquecode_title", "Unique ID"),
                  tr("dev_status_title", "Device Status"),
                  tr("slaveaddr_title", "Slave Address"),
                  tr("readdressing_left_title", "Number of Re-Addressing left")};
    c.date = tr("date", "Date");
    c.time = tr("time", "Time");
    return c;
}

ExportContent export_content(const Captions &captions, const QString &description, const QString &initials,
                             const Identity &identity)
{
    const Identity &t = captions.identity;
    ExportContent content;
    content.description = {captions.description, description};
    content.initials = {captions.initials, initials};
    content.identity = {{t.scaling, identity.scaling},         {t.calib_date, identity.calib_date},
                        {t.unique_code, identity.unique_code}, {t.dev_status, identity.dev_status},
                        {t.slave_addr, identity.slave_addr},   {t.addr_left, identity.addr_left}};
    return content;
}

QByteArray head_bytes(ExportContent content, const QStringList &header_row, bool no_measurements)
{
    content.rows = {header_row};
    if (no_measurements)
        content.rows.append(QStringList(ColumnCount, QString()));
    return file_bytes(fill_memo(content));
}

QByteArray file_bytes(const QStringList &lines)
{
    return crlf_text(lines).toLocal8Bit();
}

bool virtual_folder(const QString &folder)
{
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    for (const char *root : {"/proc", "/sys", "/dev"}) {
        const QString r = QString::fromLatin1(root);
        if (path == r || path.startsWith(r + u'/'))
            return true;
    }
    return false;
}

} // namespace table_export
