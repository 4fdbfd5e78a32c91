// Texts of the command line: aligned tables, JSON, numbers with the settings' digits, and the
// one-line messages. Stateless; one thread.
#pragma once

#include "session/session_records.h"
#include "transmitter/readdress.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace cli_output {

// The version of the JSON the command line writes; each object carries it as "schema".
inline constexpr int SchemaVersion = 1;

void out(const QString &text);  // standard output, followed by a line end
void err(const QString &text);  // standard error, followed by a line end

// Columns padded to their widest cell, two blanks apart.
QString table(const QStringList &header, const QList<QStringList> &rows);
QString json(const QJsonObject &object, bool oneLine = false);

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
