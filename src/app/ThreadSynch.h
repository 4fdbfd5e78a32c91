// Runs a method on the Qt main thread on behalf of another thread and waits until it has run,
// one caller at a time; built on the main-thread gate and following its shutdown rule.
// Threading: SafeSync and targetPending from any thread; runPending on the main thread.
#pragma once

#include "services/utils/main_thread_call.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class TThreadSynch : public main_thread_call::Caller
{
public:
    using TThreadMethod = std::function<void()>;

    // The first call belongs on the main thread once the QCoreApplication exists. The instance
    // is also the caller the services reach the main thread through.
    static TThreadSynch *getInstance();
    static void release();

    TThreadSynch() = default;
    TThreadSynch(const TThreadSynch &) = delete;
    TThreadSynch &operator=(const TThreadSynch &) = delete;

    // Returns true after `AThreadMethod` has run on the main thread; an exception it throws is
    // rethrown here. On the main thread itself, or without a QCoreApplication, it runs at once.
    // False when the application closed down before the main thread took the method over:
    // it has not run then.
    bool SafeSync(std::thread::id callingThread, TThreadMethod AThreadMethod);

    // Main thread only: runs a stored target now. For a main thread that must wait for a
    // thread which may be inside SafeSync. False when nothing was waiting.
    bool runPending() override;

    // Whether a caller has stored its target and the main thread has not yet taken it over.
    bool targetPending() const;

    main_thread_call::Outcome runOnMainThread(main_thread_call::Call call) override;

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

    void DoSingleSynchronize();
    void withdraw();

    TBinarySemaphore fSingleSynchronize;

    mutable std::mutex fSlotLock; // guards the three fields below
    TThreadMethod fSingleSynchronizeTarget;
    bool fTargetStored = false;
    std::thread::id fCalingThread;

    main_thread_call::Gate fGate;
};
