// What the scan and measurement workers share: creation, the stop event, the synchronised calls
// onto the main thread, the hand-over flags, the posted notice and the error path. A worker runs
// as soon as it is created and deletes itself when its run has ended; keep it in a QPointer,
// which then reads null. Once the window is gone its synchronised calls are withdrawn and the
// worker ends.
// Threading: Stop, the active flag, delay and the message may be used from the main thread
// while the worker runs.
#pragma once

#include "services/utils/main_thread_call.h"
#include "session/worker_gui.h"

#include <QMutex>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class T_Orvel_Handler;

class TWorkerThread : public QThread
{
    Q_OBJECT
public:
    ~TWorkerThread() override;

    // Ends the worker at its next check; returns at once.
    void Stop();

    QString Get_message() const;
    void Set_message(const QString &message);
    uint32_t Get_delay() const { return f_delay.load(); }
    void Set_delay(uint32_t ms) { f_delay.store(ms); }

protected:
    using TGuiOperation = void (TWorkerGui::*)();
    // The two flags a worker clears at its start and sets again at its end.
    struct THandOver {
        TGuiOperation disable[2];
        TGuiOperation enable[2];
    };

    // `hWnd` receives the posted notice and runs the synchronised calls; without `hWnd` or
    // `nGui` there are no synchronised calls at all.
    TWorkerThread(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam, uint32_t delay);

    bool activeFlag() const { return f_active.load(); }
    bool stopRequested() const { return isInterruptionRequested(); }
    // Waits up to `ms` or until the worker is told to stop.
    void waitTerminate(uint32_t ms);
    // Runs one window operation on the main thread and returns when it has run. When the
    // window has gone it returns without, and the worker is told to stop.
    void synchronize(TGuiOperation operation);
    void postCommError();
    // Hands a run's measurement on without waiting; it is shown after what was handed over before.
    void postMeasurement(session::Measurement taken);
    T_Orvel_Handler &handler() const { return *f_Orvel_Handler; }

    void run() final;
    // One cycle loop of the worker; leaves when the worker is told to stop.
    virtual void cycles() = 0;
    virtual THandOver handOver() const = 0;

private:
    void runOnMainThread(main_thread_call::Call call);

    // The window as the target of the posted notice and of the synchronised calls; it
    // withdraws them once the window is destroyed.
    main_thread_call::Gate f_hWnd;
    TWorkerGui *fGui;
    T_Orvel_Handler *f_Orvel_Handler;
    std::atomic<uint32_t> f_delay;

    std::mutex fTerminateLock; // FTerminateEvent: a manual-reset event
    std::condition_variable fTerminateEvent;
    bool fTerminated = false;

    std::atomic<bool> f_active{false};
    std::atomic<bool> f_runEnded{false};
    mutable QMutex fMessageLock;
    QString fMessage;
};

// The one way to make a worker of type `Worker` (which derives from this): it runs at once.
template <typename Worker>
class TWorkerOf : public TWorkerThread
{
public:
    // `pParam` points at the window's handler reference.
    static QPointer<Worker> Create(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam, uint32_t delay)
    {
        // Owned by itself: it deletes itself when its run has ended.
        QPointer<Worker> worker(new Worker(hWnd, nGui, pParam, delay));
        worker->start();
        return worker;
    }

protected:
    using TWorkerThread::TWorkerThread;
};

// Milliseconds the worker pauses between the steps of a power-up chain.
void worker_pause_ms(int ms);
