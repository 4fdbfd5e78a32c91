// Runs the live measurement at the pace of the speed slider and hands each result to the window;
// after a failed measurement it reports a communication error and looks for the transmitter
// again. Threading: see TWorkerThread; the delay may be changed while it runs.
#pragma once

#include "session/worker_thread.h"

class T_OrvelDevice;

class TMeasThread : public TWorkerOf<TMeasThread>
{
    Q_OBJECT
public:
    bool meas_activ() const { return activeFlag(); }
    QString Get_mess_message() const { return Get_message(); }
    void Set_mess_message(const QString &message) { Set_message(message); }

    // What the transmitter delivered in its last measurement, now (UTC), as a run's record
    // without texts: the digits and the local time belong to the main thread.
    static session::Measurement taken(const T_OrvelDevice &device);

private:
    friend class TWorkerOf<TMeasThread>;
    using TWorkerOf::TWorkerOf;

    void cycles() override;
    THandOver handOver() const override;
};
