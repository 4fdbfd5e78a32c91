#pragma once
// A recorded run read into a measurement store, streamed from the file in batches: the run's
// start is the rows' time origin, its range and transmitter those of every row, and its breaks
// start new lines. Widget-free. Called on the thread that owns the store and the file; the file
// is read on a thread of its own meanwhile. `cancel` may be set from any thread.
#include "services/recording/run_database.h"
#include "views/chart/measurement_store.h"

#include <QString>
#include <atomic>

namespace recorded_store {

// Appends the run's rows to `store` as a line of their own (clear the store first to show the run
// alone). Empty on success; otherwise why, and the store keeps the rows read until then.
QString load(TRunDatabase &db, const run_database::Run &run, TMeasurementStore &store);
// The same, given up with "cancelled" once `cancel` is set (looked at between batches of rows).
QString load(TRunDatabase &db, const run_database::Run &run, TMeasurementStore &store,
             const std::atomic<bool> &cancel);

} // namespace recorded_store
