// Runs a method on the Qt main thread on behalf of another thread and waits until it has run.
// SafeSync may be called from any thread; concurrent callers are served one after the other.
#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class QCoreApplication;
class QObject;

class TThreadSynch
{
public:
    using TThreadMethod = std::function<void()>;

    // The first call belongs on the main thread once the QCoreApplication exists.
    static TThreadSynch *getInstance();
    static void release();

    TThreadSynch();
    ~TThreadSynch();
    TThreadSynch(const TThreadSynch &) = delete;
    TThreadSynch &operator=(const TThreadSynch &) = delete;

    // Returns after `AThreadMethod` has run on the main thread; an exception it throws is
    // rethrown here. On the main thread itself, or without a QCoreApplication, it runs at once.
    // If the application ends before the main thread takes the method over, it returns
    // without running it.
    void SafeSync(std::thread::id callingThread, TThreadMethod AThreadMethod);

    // Main thread only: runs a stored target now. For a main thread that must wait for a
    // thread which may be inside SafeSync. False when nothing was waiting.
    bool runPending();

    // Whether a caller has stored its target and the main thread has not yet taken it over.
    bool targetPending() const;

private:
    // A lock that a thread other than its holder may release.
    class TBinarySemaphore
    {
    public:
        void acquire();
        void release();

    private:
        std::mutex fLock;
        std::condition_variable fFreed;
        bool fFree = true;
    };

    struct TCall {
        TThreadMethod method;
        bool done = false;
        std::exception_ptr error;
    };

    void DoSingleSynchronize();
    void finish(TCall &call, std::exception_ptr error);
    bool withdraw(TCall &call);
    QObject *receiver(QCoreApplication *app);

    TBinarySemaphore fSingleSynchronize;

    mutable std::mutex fSlotLock; // guards the two fields below
    TCall *fSingleSynchronizeTarget = nullptr;
    std::thread::id fCalingThread;

    std::mutex fDoneLock; // guards TCall::done and TCall::error
    std::condition_variable fDone;

    std::mutex fReceiverLock;
    std::unique_ptr<QObject> fReceiver; // lives on the main thread
};
