#include "measure_Thread.h"

#include "OrvelHandler.h"
#include "readdress.h"

namespace {

constexpr int RecoveryPause = 100;

} // namespace

QPointer<TMeasThread> TMeasThread::Create(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam,
                                          uint32_t delay)
{
    // Owned by itself: it deletes itself when its run has ended.
    QPointer<TMeasThread> worker(new TMeasThread(hWnd, nGui, pParam, delay));
    worker->start();
    return worker;
}

void TMeasThread::startFlags()
{
    synchronize(&TWorkerGui::disable_readdress);
    synchronize(&TWorkerGui::disable_scan);
}

void TMeasThread::endFlags()
{
    synchronize(&TWorkerGui::enable_readdress);
    synchronize(&TWorkerGui::enable_scan);
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
