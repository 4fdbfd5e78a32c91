// Runs the live measurement at the pace of the speed slider and hands each result to the window;
// after a failed measurement it reports a communication error and looks for the transmitter
// again. Threading: see TWorkerThread; the delay may be changed while it runs.
#pragma once

#include "worker_thread.h"

class TMeasThread : public TWorkerThread
{
    Q_OBJECT
public:
    static QPointer<TMeasThread> Create(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam, uint32_t delay)
    {
        return start_worker<TMeasThread>(hWnd, nGui, pParam, delay);
    }

    bool meas_activ() const { return activeFlag(); }
    QString Get_mess_message() const { return Get_message(); }
    void Set_mess_message(const QString &message) { Set_message(message); }

private:
    using TWorkerThread::TWorkerThread;

    void cycles() override;
    THandOver handOver() const override;
};
