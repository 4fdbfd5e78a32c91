#include "ThreadSynch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <atomic>
#include <chrono>

namespace {

// Receives the queued call on the main thread. The call carries no data of ours: the target
// travels through TThreadSynch's own locks, which the race checker can see.
class TSynchReceiver : public QObject
{
    Q_OBJECT
public:
    explicit TSynchReceiver(TThreadSynch *owner) { fOwner.store(owner, std::memory_order_release); }

public slots:
    void DoSingleSynchronize() { fOwner.load(std::memory_order_acquire)->runPending(); }

private:
    std::atomic<TThreadSynch *> fOwner;
};

bool onMainThread(const QCoreApplication *app)
{
    return app && QThread::currentThread() == app->thread();
}

std::mutex &instanceLock()
{
    static std::mutex lock;
    return lock;
}

std::unique_ptr<TThreadSynch> &instance()
{
    static std::unique_ptr<TThreadSynch> synch;
    return synch;
}

// How often a waiting caller checks that the application is still there.
constexpr std::chrono::milliseconds AppCheckInterval{50};

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
    std::lock_guard<std::mutex> lock(instanceLock());
    if (!instance())
        instance() = std::make_unique<TThreadSynch>();
    return instance().get();
}

void TThreadSynch::release()
{
    std::lock_guard<std::mutex> lock(instanceLock());
    instance().reset();
}

TThreadSynch::TThreadSynch()
{
    // Made on the main thread where possible, so that nothing of it was ever another thread's.
    QCoreApplication *app = QCoreApplication::instance();
    if (onMainThread(app))
        receiver(app);
}

TThreadSynch::~TThreadSynch() = default;

QObject *TThreadSynch::receiver(QCoreApplication *app)
{
    std::lock_guard<std::mutex> lock(fReceiverLock);
    if (!fReceiver) {
        fReceiver = std::make_unique<TSynchReceiver>(this);
        fReceiver->moveToThread(app->thread());
    }
    return fReceiver.get();
}

void TThreadSynch::SafeSync(std::thread::id callingThread, TThreadMethod AThreadMethod)
{
    if (!AThreadMethod)
        return;
    QCoreApplication *app = QCoreApplication::instance();
    if (!app || onMainThread(app)) {
        AThreadMethod();
        return;
    }

    QObject *target = receiver(app);
    fSingleSynchronize.acquire();
    TCall call{std::move(AThreadMethod), false, nullptr};
    {
        std::lock_guard<std::mutex> lock(fSlotLock);
        fSingleSynchronizeTarget = &call;
        fCalingThread = callingThread;
    }
    QMetaObject::invokeMethod(target, "DoSingleSynchronize", Qt::QueuedConnection);

    std::unique_lock<std::mutex> lock(fDoneLock);
    while (!fDone.wait_for(lock, AppCheckInterval, [&call] { return call.done; })) {
        if (QCoreApplication::instance() && !QCoreApplication::closingDown())
            continue;
        // Nobody will run the queued call any more; take the target back if it is still ours.
        lock.unlock();
        const bool withdrawn = withdraw(call);
        lock.lock();
        if (withdrawn)
            return;
    }
    if (call.error)
        std::rethrow_exception(call.error);
}

bool TThreadSynch::withdraw(TCall &call)
{
    {
        std::lock_guard<std::mutex> lock(fSlotLock);
        if (fSingleSynchronizeTarget != &call)
            return false;
        fSingleSynchronizeTarget = nullptr;
    }
    fSingleSynchronize.release();
    return true;
}

bool TThreadSynch::runPending()
{
    if (!onMainThread(QCoreApplication::instance()))
        return false;
    {
        std::lock_guard<std::mutex> lock(fSlotLock);
        if (!fSingleSynchronizeTarget)
            return false;
    }
    DoSingleSynchronize();
    return true;
}

void TThreadSynch::DoSingleSynchronize()
{
    TCall *call = nullptr;
    {
        std::lock_guard<std::mutex> lock(fSlotLock);
        call = fSingleSynchronizeTarget;
        fSingleSynchronizeTarget = nullptr;
    }
    if (!call)
        return; // already taken over by runPending, or withdrawn
    // The slot is free again: the next caller may store its target while this one runs.
    fSingleSynchronize.release();

    // The caller waits until `done`, so its call record stays valid until then.
    const TThreadMethod method = call->method;
    std::exception_ptr error;
    try {
        method();
    } catch (...) {
        error = std::current_exception();
    }
    // Outside the handler: the caller alone may then end the exception's life.
    finish(*call, std::move(error));
}

void TThreadSynch::finish(TCall &call, std::exception_ptr error)
{
    {
        std::lock_guard<std::mutex> lock(fDoneLock);
        call.error = std::move(error);
        call.done = true;
    }
    fDone.notify_all();
}

bool TThreadSynch::targetPending() const
{
    std::lock_guard<std::mutex> lock(fSlotLock);
    return fSingleSynchronizeTarget != nullptr;
}

#include "ThreadSynch.moc"
