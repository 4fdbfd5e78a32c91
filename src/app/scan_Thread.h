// Keeps the adapter and the transmitter in view while nobody measures: brings them into a known
// state, finds the slave address, then reads identity, memory image and one measurement every
// cycle and hands each result to the window. Threading: see TWorkerThread.
#pragma once

#include "worker_thread.h"

class TScanThread : public TWorkerThread
{
    Q_OBJECT
public:
    // Starts at once. `pParam` points at the window's handler reference.
    static QPointer<TScanThread> Create(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam,
                                        uint32_t delay);

    bool scan_activ() const { return activeFlag(); }

private:
    using TWorkerThread::TWorkerThread;

    void cycles() override;
    void startFlags() override;
    void endFlags() override;
    bool initialise();
};
