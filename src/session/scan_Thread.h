// Keeps the adapter and the transmitter in view while nobody measures: brings them into a known
// state, finds the slave address, then reads identity, memory image and one measurement every
// cycle and hands each result to the window. Threading: see TWorkerThread.
#pragma once

#include "session/worker_thread.h"

class TScanThread : public TWorkerOf<TScanThread>
{
    Q_OBJECT
public:
    bool scan_activ() const { return activeFlag(); }

private:
    friend class TWorkerOf<TScanThread>;
    using TWorkerOf::TWorkerOf;

    void cycles() override;
    THandOver handOver() const override;
    bool initialise();
};
