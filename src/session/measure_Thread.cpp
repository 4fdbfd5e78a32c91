#include "session/measure_Thread.h"

#include "transmitter/OrvelHandler.h"
#include "transmitter/OrvelDevice.h"
#include "transmitter/readdress.h"

#include <QDateTime>

namespace {

constexpr int RecoveryPause = 100;

} // namespace

session::Measurement TMeasThread::taken(const T_OrvelDevice &device)
{
    session::Measurement m;
    // In UTC: the local time zone is the main thread's to read, which makes it local.
    m.time = QDateTime::currentDateTimeUtc();
    m.address = device.Get_slave_addr();
    m.pressure_raw = uint16_t(device.Get_pressure_U16_raw());
    m.temperature_raw = uint16_t(device.Get_temperature_U16_raw());
    m.range_min = float(device.Get_pmin());
    m.range_max = float(device.Get_pmax());
    m.pressure = device.Get_pressure();
    m.temperature = device.Get_temperature();
    m.status = device.Get_status();
    m.in_run = true;
    return m;
}

TMeasThread::THandOver TMeasThread::handOver() const
{
    return {{&TWorkerGui::disable_readdress, &TWorkerGui::disable_scan},
            {&TWorkerGui::enable_readdress, &TWorkerGui::enable_scan}};
}

void TMeasThread::cycles()
{
    T_Orvel_Handler &h = handler();
    while (!stopRequested()) {
        if (h.get_measurement()) {
            postMeasurement(taken(h.Get_Device()));
        } else {
            postCommError();
            // A busy or lost answer is retried without cutting the supply; only an adapter
            // that had to be opened again comes up with its I2C function off.
            bool found = h.get_slave_address();
            if (!found && !stopRequested() && h.detect_dongle()) {
                readdress::power_up(h, readdress::RecoveryChain);
                found = h.get_slave_address();
            }
            if (found)
                synchronize(&TWorkerGui::show_slaveAddr);
            worker_pause_ms(RecoveryPause);
            if (h.get_device_scaling())
                synchronize(&TWorkerGui::show_pressure_scaling);
        }
        waitTerminate(Get_delay());
    }
}
