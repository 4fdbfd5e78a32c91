#include "session/scan_Thread.h"

#include "transmitter/OrvelHandler.h"
#include "transmitter/readdress.h"

TScanThread::THandOver TScanThread::handOver() const
{
    return {{&TWorkerGui::disable_meas, &TWorkerGui::disable_readdress},
            {&TWorkerGui::enable_meas, &TWorkerGui::enable_readdress}};
}

bool TScanThread::initialise()
{
    return readdress::power_up(handler(), readdress::ScanChain) == readdress::Step::None &&
           handler().get_slave_address();
}

void TScanThread::cycles()
{
    T_Orvel_Handler &h = handler();
    bool reinit = true;
    bool ok = false;
    int preference = h.Get_preferred_addr();
    while (!stopRequested()) {
        // The user picked another transmitter of the bus: find it again and show its panel.
        if (h.Get_preferred_addr() != preference && !reinit && ok) {
            preference = h.Get_preferred_addr();
            ok = h.get_slave_address();
            if (ok) {
                synchronize(&TWorkerGui::show_slaveAddr);
                synchronize(&TWorkerGui::update_status_Gui);
            }
        }
        if (reinit) {
            ok = initialise();
            if (ok) {
                synchronize(&TWorkerGui::show_slaveAddr);
                synchronize(&TWorkerGui::update_status_Gui);
            }
            reinit = false;
        }
        if (ok) {
            ok = h.get_device_scaling();
            if (ok) {
                synchronize(&TWorkerGui::show_pressure_scaling);
                ok = h.get_device_memory();
                if (ok) {
                    synchronize(&TWorkerGui::update_status_Gui);
                    synchronize(&TWorkerGui::memory_map_display);
                    ok = h.get_measurement();
                    if (ok)
                        synchronize(&TWorkerGui::update_single_meas);
                }
            }
        }
        if (!ok) {
            synchronize(&TWorkerGui::show_scan_error);
            reinit = true;
        }
        waitTerminate(Get_delay());
    }
}
