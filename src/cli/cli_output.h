// Texts of the command line: aligned tables, JSON lines, numbers with the settings' digits, and
// the one-line messages, as text or, with --json, as JSON objects.
// Threading: the JSON switch is set once before the command runs; the signal watcher may print
// errors and notices from its own thread, every line in one write.
#pragma once

#include "session/session_records.h"
#include "transmitter/readdress.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace cli_output {

// The version of every JSON object the command line prints; fields may be added within a
// version, never renamed or given another meaning.
inline constexpr int SchemaVersion = 1;

void out(const QString &text);  // standard output, followed by a line end
void err(const QString &text);  // standard error, followed by a line end

// What went wrong, for scripts: the "kind" of a JSON error or notice.
enum class Kind {
    Usage,          // the command line itself
    Image,          // a memory image file that is refused
    Busy,           // another copy holds the adapter
    NoAdapter,      // no IO-Warrior 56 adapter
    AdapterSilent,  // the adapter does not answer
    BusHeld,        // the adapter loses arbitration on the bus
    NoTransmitter,  // nothing answers at the address
    Incomplete,     // the memory image or identity was not read completely
    Measurement,    // a measurement was lost, or too many in a row
    Refused,        // a procedure's checks wrote nothing
    Cancelled,      // declined at the question
    Failed,         // a procedure failed at a step
    Journal,        // the journal cannot be written or read, or tells of a cut-off attempt
    Interrupted,    // a signal
    Recording,      // the file of recorded runs cannot be written or read
    NoRun,          // no recorded run has the number or uid given
    Export,         // the export file cannot be written
};
const char *kind_name(Kind kind);

// With --json, errors and notices on standard error are JSON objects too.
void set_json(bool on);
bool json_mode();
// An error the program exits with: the line, or {"schema","error","kind","exit"}.
void error(Kind kind, const QString &text, int exit);
// Something the user must know that does not end the program: the line, or
// {"schema","notice","kind"}.
void notice(Kind kind, const QString &text);

// Columns padded to their widest cell, two blanks apart.
QString table(const QStringList &header, const QList<QStringList> &rows);
// One line of compact JSON, with "schema" first among the object's fields.
QString json(const QJsonObject &object);

// The value rounded to `digits` decimals, so JSON shows what the window shows.
double rounded(double value, int digits);
// Fixed-point text with `digits` decimals and a point whatever the locale: scripts read it.
QString number_text(double value, int digits);
// The transmitter's calibration date (dd.MM.yyyy) as yyyy-MM-dd; empty when it is none.
QString iso_date(const QString &calibration_date);

// `digits`: the pressure decimals of the range.
QStringList info_header();
QStringList info_row(const session::Transmitter &info, int digits);
QJsonObject info_json(const session::Transmitter &info, int digits);

// Why the procedure wrote nothing, in one line.
QString refusal_text(readdress::Refusal why, int new_address);
// How a failed procedure left the transmitter, in one line.
QString failure_text(const readdress::Outcome &outcome, const QString &what);

// The journal's attempts (rows of readdress_journal::read) in `folder`: a table of the main
// columns, and every column as JSON; image files as full paths.
QStringList journal_header();
QStringList journal_row(const QString &folder, const QStringList &attempt);
QJsonObject journal_json(const QString &folder, const QStringList &attempt);
// One line that tells of an attempt cut off while it wrote, with the journal and the before-image.
QString interrupted_notice(const QString &folder, const QStringList &attempt);

// "0x" or "0X" and one or two hexadecimal digits, 0x00 to 0x7F; -1 for anything else. A bare
// number is refused: one copied from a decimal listing would name another transmitter.
int parse_address(const QString &text);
// Why `text` given to `option` is no address, in one line.
QString address_error(const QString &option, const QString &text);

} // namespace cli_output
