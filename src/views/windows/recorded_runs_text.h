// The texts of the list of recorded runs: one line per run with its date, transmitter,
// duration, rows and size. Widget-free; main thread (the texts are translated).
#pragma once

#include "services/recording/run_database.h"

#include <QChar>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace recorded_runs_text {

enum Column { Date, Transmitter, Duration, Rows, Size, ColumnCount };

QStringList headers();
// `running`: the run being recorded now, which has no end yet.
QStringList cells(const run_database::Run &run, bool running);

// "03:04:05", or "2 d 03:04:05" from a day on.
QString duration(std::int64_t msecs);
// "850 kB", "12.3 MB", "1.2 GB" with the given decimal separator.
QString size(std::int64_t bytes, QChar separator);
// When the run began, local time.
QString started(const run_database::Run &run);
// The address and the product code, as the device panel shows them.
QString transmitter(const run_database::Run &run);
// What the window shows while the run is open: its date and transmitter.
QString title(const run_database::Run &run);

} // namespace recorded_runs_text
