#include "session/measure_Thread.h"

#include "transmitter/OrvelHandler.h"
#include "transmitter/readdress.h"

namespace {

constexpr int RecoveryPause = 100;

} // namespace

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
            synchronize(&TWorkerGui::updateGui_meas);
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
