// Keeps the adapter and the transmitter in view while nobody measures: brings them into a known
// state, finds the slave address, then reads identity, memory image and one measurement every
// cycle and hands each result to the window. Threading: see TWorkerThread.
#pragma once

#include "worker_thread.h"

class TScanThread : public TWorkerThread
{
    Q_OBJECT
public:
    static QPointer<TScanThread> Create(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam, uint32_t delay)
    {
        return start_worker<TScanThread>(hWnd, nGui, pParam, delay);
    }

    bool scan_activ() const { return activeFlag(); }

private:
    using TWorkerThread::TWorkerThread;

    void cycles() override;
    THandOver handOver() const override;
    bool initialise();
};
