// What the scan and measurement workers share: the stop event, the synchronised calls onto the
// main thread, the posted notice and the error path. A worker runs as soon as it is created and
// deletes itself when its run has ended; keep it in a QPointer, which then reads null.
// Threading: Stop, the active flag, delay and the message may be used from the main thread
// while the worker runs.
#pragma once

#include "worker_gui.h"

#include <QMutex>
#include <QPointer>
#include <QThread>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
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
    // `hWnd` receives the posted notice and runs the synchronised calls; a null `nGui` means
    // no synchronised calls at all.
    TWorkerThread(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam, uint32_t delay);

    bool activeFlag() const { return f_active.load(); }
    bool stopRequested() const { return isInterruptionRequested(); }
    // Waits up to `ms` or until the worker is told to stop.
    void waitTerminate(uint32_t ms);
    // Runs one window operation on the main thread and returns when it has run.
    void synchronize(void (TWorkerGui::*operation)());
    void postCommError();
    T_Orvel_Handler &handler() const { return *f_Orvel_Handler; }

    void run() final;
    // One cycle loop of the worker; leaves when the worker is told to stop.
    virtual void cycles() = 0;
    virtual void startFlags() = 0;
    virtual void endFlags() = 0;

private:
    void runOnMainThread(const std::function<void()> &call);
    // Runs on the main thread (this object lives there) the call a worker is waiting for.
    Q_INVOKABLE void runPendingCall();

    QPointer<QObject> f_hWnd;
    TWorkerGui *fGui;
    T_Orvel_Handler *f_Orvel_Handler;
    std::atomic<uint32_t> f_delay;

    std::mutex fTerminateLock; // FTerminateEvent: a manual-reset event
    std::condition_variable fTerminateEvent;
    bool fTerminated = false;

    // The synchronised call: handed over and answered under our own lock, so that the hand-over
    // is visible to thread checkers that cannot see Qt's internal locking.
    std::mutex fCallLock;
    std::condition_variable fCallDone;
    std::function<void()> fPendingCall;
    bool fCallFinished = false;

    std::atomic<bool> f_active{false};
    mutable QMutex fMessageLock;
    QString fMessage;
};

// Milliseconds the worker pauses between the steps of a power-up chain.
void worker_pause_ms(int ms);
