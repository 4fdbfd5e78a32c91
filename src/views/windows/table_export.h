#pragma once
// Texts of the measurement table: row cells, the scroll rule and the tab-separated export.
// Stateless; callable from any thread, `captions` wherever its translation call may be made.
#include "services/settings/window_text.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace table_export {

// Grid coordinates: row 0 and column 0 are header cells.
constexpr int ColumnCount = 7;
enum Column {
    RowNumberColumn = 0,
    DateColumn = 1,
    TimeColumn = 2,
    PressureRawColumn = 3,
    PressureColumn = 4,
    TemperatureRawColumn = 5,
    TemperatureColumn = 6
};
constexpr int ColumnWidths[ColumnCount] = {64, 88, 88, 64, 64, 64, 64};

// Shown in the identity labels until a run fills them.
QString placeholder();
QString addr_left_placeholder();

// The header row, all seven columns; date and time take their translated captions.
QStringList header_cells(const QString &date_caption, const QString &time_caption);

QString date_text(const QDateTime &when);        // dd.MM.yyyy
QString time_of_day_text(const QDateTime &when); // hh:mm:ss.zzz
// A duration read as a time of day: whole days drop out, so 25 h reads 01:00:00.000.
QString duration_text(qint64 msecs);

struct Measurement {
    int pu16 = 0;
    double pbar = 0.0;
    int tu16 = 0;
    double tcels = 0.0;
};
struct RowTime {
    QDateTime now;
    QDateTime start; // origin of the relative time
    bool relative = true;
};
// All seven cells of measurement row `row`.
QStringList row_cells(int row, const Measurement &m, const RowTime &time, int pressure_digits,
                      int temperature_digits);

// The first data row to show once data row `row` was added to a grid that shows `visible_rows`
// data rows; 0 while the grid need not scroll.
int top_visible_row(int row, int visible_rows);

struct CaptionValue {
    QString caption;
    QString value;
};
struct ExportContent {
    CaptionValue description;
    CaptionValue initials;
    QList<CaptionValue> identity;
    // Every grid row, header row included, with all seven columns; the row number is not exported.
    QList<QStringList> rows;
};

// One text per identity line of the export, in its order: the values, or their captions.
struct Identity {
    QString scaling;
    QString calib_date;
    QString unique_code;
    QString dev_status;
    QString slave_addr;
    QString addr_left;
};
// The window's captions that an export carries.
struct Captions {
    QString description;
    QString initials;
    Identity identity;
    QString date; // headers of columns 1 and 2
    QString time;
};
// The captions in the language of `tr`, a translation call.
Captions captions(const window_text::Translate &tr);
// Description, initials and the transmitter's identity with their captions; no rows yet.
ExportContent export_content(const Captions &captions, const QString &description, const QString &initials,
                             const Identity &identity);
// The export's bytes before the measurement rows: `content` with the header row and, for a table
// without measurements, the blank row the grid shows then.
QByteArray head_bytes(ExportContent content, const QStringList &header_row, bool no_measurements);

// The lines of a multi-line text field; a final line break starts no further line.
QStringList description_lines(const QString &text);
// The export as a list of lines, without line ends.
QStringList fill_memo(const ExportContent &content);
// The bytes of the export file: CR LF after every line, the system's 8-bit encoding, no byte-order mark.
QByteArray file_bytes(const QStringList &lines);

// A folder on one of the kernel's virtual file systems (/proc, /sys, /dev, at any depth), given
// in either separator style.
bool virtual_folder(const QString &folder);

} // namespace table_export
