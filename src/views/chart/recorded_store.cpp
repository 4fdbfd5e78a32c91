#include "views/chart/recorded_store.h"

namespace recorded_store {

QString load(TRunDatabase &db, const run_database::Run &run, TMeasurementStore &store)
{
    const std::atomic<bool> never{false};
    return load(db, run, store, never);
}

QString load(TRunDatabase &db, const run_database::Run &run, TMeasurementStore &store,
             const std::atomic<bool> &cancel)
{
    const std::int64_t origin = run.started.toMSecsSinceEpoch();
    // The conversion's range as the measurement worker hands it over.
    TMeasurementStore::Reading reading;
    reading.range_min = float(run.range_min);
    reading.range_max = float(run.range_max);
    reading.address = run.address;
    std::vector<std::int64_t> breaks;
    std::size_t next_break = 0;
    bool cancelled = false;
    store.break_line();
    const QString why = db.read(
        run.id,
        [&](const std::vector<run_database::Row> &rows) {
            if (cancel) {
                cancelled = true;
                return false;
            }
            for (const run_database::Row &row : rows) {
                while (next_break < breaks.size() && breaks[next_break] < row.n)
                    ++next_break;
                if (next_break < breaks.size() && breaks[next_break] == row.n)
                    store.break_line();
                reading.pu16 = row.pressure_raw;
                reading.tu16 = row.temperature_raw;
                store.append(origin, row.t_ms, reading);
            }
            return true;
        },
        breaks);
    return cancelled ? QStringLiteral("cancelled") : why;
}

} // namespace recorded_store
