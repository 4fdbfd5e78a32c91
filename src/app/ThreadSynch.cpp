#include "app/ThreadSynch.h"

namespace {

// Shared with the services that reach the main thread through it, so that a release while
// one of them still waits leaves it a valid caller.
struct Instance {
    std::mutex lock;
    std::shared_ptr<TThreadSynch> synch;
};

Instance &instance()
{
    static Instance one;
    return one;
}

} // namespace

void TThreadSynch::TBinarySemaphore::acquire()
{
    std::unique_lock<std::mutex> lock(fLock);
    fFreed.wait(lock, [this] { return fFree; });
    fFree = false;
}

void TThreadSynch::TBinarySemaphore::release()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        fFree = true;
    }
    fFreed.notify_one();
}

TThreadSynch *TThreadSynch::getInstance()
{
    Instance &one = instance();
    std::lock_guard<std::mutex> lock(one.lock);
    if (!one.synch) {
        one.synch = std::make_shared<TThreadSynch>();
        main_thread_call::install(one.synch);
    }
    return one.synch.get();
}

void TThreadSynch::release()
{
    std::shared_ptr<TThreadSynch> synch;
    {
        Instance &one = instance();
        std::lock_guard<std::mutex> lock(one.lock);
        synch = std::move(one.synch);
    }
    if (synch && main_thread_call::installed() == synch)
        main_thread_call::install(nullptr);
}

bool TThreadSynch::SafeSync(std::thread::id callingThread, TThreadMethod AThreadMethod)
{
    if (!AThreadMethod)
        return true;
    // Waiting for the slot here could wait for a caller that waits for this very thread.
    if (main_thread_call::runsAtOnce())
        return fGate.run(std::move(AThreadMethod)) == main_thread_call::Outcome::Ran;

    fSingleSynchronize.acquire();
    {
        std::lock_guard<std::mutex> lock(fSlotLock);
        fSingleSynchronizeTarget = std::move(AThreadMethod);
        fTargetStored = true;
        fCalingThread = callingThread;
    }
    if (fGate.run([this] { DoSingleSynchronize(); }) == main_thread_call::Outcome::Ran)
        return true;
    // Withdrawn before the main thread took it over: the target is still in the slot.
    withdraw();
    return false;
}

void TThreadSynch::withdraw()
{
    {
        std::lock_guard<std::mutex> lock(fSlotLock);
        fSingleSynchronizeTarget = nullptr;
        fTargetStored = false;
    }
    fSingleSynchronize.release();
}

main_thread_call::Outcome TThreadSynch::runOnMainThread(main_thread_call::Call call)
{
    return SafeSync(std::this_thread::get_id(), std::move(call)) ? main_thread_call::Outcome::Ran
                                                                 : main_thread_call::Outcome::Withdrawn;
}

bool TThreadSynch::runPending()
{
    return fGate.runPending();
}

void TThreadSynch::DoSingleSynchronize()
{
    TThreadMethod method;
    {
        std::lock_guard<std::mutex> lock(fSlotLock);
        method = std::move(fSingleSynchronizeTarget);
        fSingleSynchronizeTarget = nullptr;
        fTargetStored = false;
    }
    // The slot is free again: the next caller may store its target while this one runs.
    fSingleSynchronize.release();
    method();
}

bool TThreadSynch::targetPending() const
{
    std::lock_guard<std::mutex> lock(fSlotLock);
    return fTargetStored;
}
