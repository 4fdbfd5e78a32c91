#include "scan_Thread.h"

#include "OrvelHandler.h"

namespace {

constexpr int ChainPause = 10;

} // namespace

QPointer<TScanThread> TScanThread::Create(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam,
                                          uint32_t delay)
{
    // Owned by itself: it deletes itself when its run has ended.
    QPointer<TScanThread> worker(new TScanThread(hWnd, nGui, pParam, delay));
    worker->start();
    return worker;
}

void TScanThread::startFlags()
{
    synchronize(&TWorkerGui::disable_meas);
    synchronize(&TWorkerGui::disable_readdress);
}

void TScanThread::endFlags()
{
    synchronize(&TWorkerGui::enable_meas);
    synchronize(&TWorkerGui::enable_readdress);
}

// The power-up chain: each step runs only when all before it succeeded; each of the first six
// is followed by a pause whether it ran or not.
bool TScanThread::initialise()
{
    T_Orvel_Handler &h = handler();
    bool (T_Orvel_Handler::*const chain[])() = {&T_Orvel_Handler::detect_dongle, &T_Orvel_Handler::disable_SPI,
                                                &T_Orvel_Handler::disable_IIC,   &T_Orvel_Handler::switch_OFF,
                                                &T_Orvel_Handler::switch_ON,     &T_Orvel_Handler::enable_IIC};
    bool ok = true;
    for (auto step : chain) {
        if (ok)
            ok = (h.*step)();
        worker_pause_ms(ChainPause);
    }
    if (ok)
        ok = h.get_slave_address();
    return ok;
}

void TScanThread::cycles()
{
    T_Orvel_Handler &h = handler();
    bool reinit = true;
    bool ok = false;
    while (!stopRequested()) {
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
