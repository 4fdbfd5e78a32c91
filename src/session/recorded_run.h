// A recorded measurement read back as the run measured it: the same values and texts, computed
// from its two raw words with the run's range, and its time from the run's start.
// Widget-free; any thread.
#pragma once

#include "services/recording/run_database.h"
#include "session/session_records.h"

namespace recorded_run {

struct Values {
    double pressure = 0;    // bar
    double temperature = 0; // °C
};
// The values alone, for a reader that makes its own texts (an export of millions of rows).
Values values(const run_database::Run &run, const run_database::Row &row);

session::Measurement measurement(const run_database::Run &run, const run_database::Row &row, int pressure_digits,
                                 int temperature_digits);

} // namespace recorded_run
