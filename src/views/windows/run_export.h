// A recorded run written as the table window saves a run's rows: the same header block, columns,
// number texts and separators, its values computed from the raw words with the run's range. The
// rows are read and written a piece at a time, so a run of millions of rows is never held whole;
// the file is replaced only once it is complete.
// Stateless; one thread per database (see TRunDatabase).
#pragma once

#include "services/recording/run_database.h"
#include "views/windows/table_export.h"

#include <QChar>
#include <QString>
#include <cstdint>

namespace run_export {

// What the run knows of its transmitter, in the identity lines of the table window: scaling,
// calibration date, product code and address; status and changes left as the window shows them
// while unknown.
table_export::Identity identity(const run_database::Run &run, int pressure_digits);

struct Format {
    table_export::Captions captions;
    int pressure_digits = 3;
    int temperature_digits = 2;
    QChar decimal_separator = u'.';
};

struct Outcome {
    QString read_error;  // the file of runs failed while it was read
    QString write_error; // the export file could not be written
    std::int64_t rows = 0;
    bool ok() const { return read_error.isEmpty() && write_error.isEmpty(); }
};

// Replaces `file` with the export of `run`, read from `db`; on any failure an older file stays
// as it was. The time column is relative to the run's first measurement, as the window shows it
// by default.
Outcome save(TRunDatabase &db, const run_database::Run &run, const QString &file, const Format &format);

} // namespace run_export
