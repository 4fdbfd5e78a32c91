#include "session/recorded_run.h"

#include "services/utils/ZUtils.h"
#include "transmitter/OrvelDevice.h"

namespace recorded_run {

Values values(const run_database::Run &run, const run_database::Row &row)
{
    // The device model's conversions, as the measurement worker applies them to a live run.
    return {T_OrvelDevice::calc_press(row.pressure_raw, float(run.range_min), float(run.range_max)),
            T_OrvelDevice::calc_temp(int32_t(row.temperature_raw) / 16)};
}

session::Measurement measurement(const run_database::Run &run, const run_database::Row &row, int pressure_digits,
                                 int temperature_digits)
{
    session::Measurement m;
    m.time = run.started.addMSecs(row.t_ms);
    m.address = run.address;
    m.pressure_raw = row.pressure_raw;
    m.temperature_raw = row.temperature_raw;
    m.range_min = float(run.range_min);
    m.range_max = float(run.range_max);
    const Values v = values(run, row);
    m.pressure = v.pressure;
    m.temperature = v.temperature;
    m.pressure_text = ZString::FormatFixed(m.pressure, pressure_digits);
    m.temperature_text = ZString::FormatFixed(m.temperature, temperature_digits);
    m.in_run = true;
    return m;
}

} // namespace recorded_run
