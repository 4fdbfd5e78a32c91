#include "services/utils/main_thread_call.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>

namespace main_thread_call {

namespace {

// How often a waiting caller checks that the application is still there to serve it.
constexpr std::chrono::milliseconds AppCheckInterval{50};

bool onMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool applicationClosing()
{
    return !QCoreApplication::instance() || QCoreApplication::closingDown();
}

// Receives the queued notice on the main thread. The notice carries no data of ours: the call
// travels through the gate's own lock, which the race checker can see.
class Receiver : public QObject
{
    Q_OBJECT
public:
    explicit Receiver(Gate *gate) { fGate.store(gate, std::memory_order_release); }
    void forget() { fGate.store(nullptr, std::memory_order_release); }

public slots:
    void serve()
    {
        if (Gate *gate = fGate.load(std::memory_order_acquire))
            gate->runPending();
    }

private:
    std::atomic<Gate *> fGate;
};

// Both constant-initialised: usable from any static constructor.
std::mutex installLock;
std::shared_ptr<Caller> installedCaller;

} // namespace

struct Gate::Request {
    enum State { Waiting, Running, Done, Withdrawn };
    Call call;
    State state = Waiting;
    std::exception_ptr error;
};

bool runsAtOnce()
{
    return !QCoreApplication::instance() || onMainThread();
}

Gate::Gate(QObject *owner) : fOwner(owner)
{
    if (owner)
        fOwnerGone = QObject::connect(owner, &QObject::destroyed, [this] { close(); });
    // Made here when it can be: one made by a worker reaches the main thread only through Qt's
    // own event queue, which the race checker does not see.
    if (onMainThread())
        fReceiver = std::make_unique<Receiver>(this);
}

Gate::~Gate()
{
    QObject::disconnect(fOwnerGone);
    close();
    std::unique_lock<std::mutex> lock(fLock);
    fChanged.wait(lock, [this] { return fCallers == 0; });
    if (!fReceiver)
        return;
    auto *receiver = static_cast<Receiver *>(fReceiver.get());
    receiver->forget();
    // A notice still queued for it finds nothing to serve.
    if (QCoreApplication::instance() && receiver->thread() != QThread::currentThread())
        fReceiver.release()->deleteLater();
}

QObject *Gate::receiver()
{
    if (!fReceiver) {
        const QCoreApplication *app = QCoreApplication::instance();
        if (!app)
            return nullptr; // closing down: nobody would serve it
        fReceiver = std::make_unique<Receiver>(this);
        fReceiver->moveToThread(app->thread());
    }
    return fReceiver.get();
}

Outcome Gate::run(Call call)
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fClosed)
            return Outcome::Withdrawn;
    }
    if (!call)
        return Outcome::Ran;
    if (runsAtOnce()) {
        call();
        return Outcome::Ran;
    }

    Request request{std::move(call), Request::Waiting, nullptr};
    std::unique_lock<std::mutex> lock(fLock);
    if (fClosed)
        return Outcome::Withdrawn;
    QObject *target = receiver();
    if (!target)
        return Outcome::Withdrawn;
    fWaiting.push_back({&request, {}});
    ++fCallers; // keeps the receiver alive until this caller has left
    lock.unlock();
    QMetaObject::invokeMethod(target, "serve", Qt::QueuedConnection);
    lock.lock();

    const auto settled = [&request] { return request.state == Request::Done || request.state == Request::Withdrawn; };
    while (!fChanged.wait_for(lock, AppCheckInterval, settled)) {
        // Nobody will serve the notice any more: take the call back unless it already runs.
        if (applicationClosing() && request.state == Request::Waiting) {
            fWaiting.erase(std::find_if(fWaiting.begin(), fWaiting.end(),
                                        [&request](const Queued &q) { return q.request == &request; }));
            request.state = Request::Withdrawn;
        }
    }
    --fCallers;
    const bool ran = request.state == Request::Done;
    // Told under the lock: once it is released, a destructor waiting for the last caller may
    // end the gate.
    fChanged.notify_all();
    lock.unlock();
    if (!ran)
        return Outcome::Withdrawn;
    if (request.error)
        std::rethrow_exception(request.error);
    return Outcome::Ran;
}

bool Gate::runPending()
{
    if (!onMainThread())
        return false;
    Request *request = nullptr;
    Call posted;
    {
        std::lock_guard<std::mutex> lock(fLock);
        if (fWaiting.empty())
            return false;
        request = fWaiting.front().request;
        posted = std::move(fWaiting.front().posted);
        fWaiting.pop_front();
        if (request)
            request->state = Request::Running;
    }
    if (!request) {
        // Nobody waits to be told of an error.
        try {
            posted();
        } catch (...) {
        }
        return true;
    }
    // The caller waits until Done, so its request stays valid until then.
    std::exception_ptr error;
    try {
        request->call();
    } catch (...) {
        error = std::current_exception();
    }
    // Outside the handler: the caller alone may then end the exception's life.
    finish(*request, std::move(error));
    return true;
}

void Gate::finish(Request &request, std::exception_ptr error)
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        request.error = std::move(error);
        request.state = Request::Done;
    }
    fChanged.notify_all();
}

bool Gate::pending() const
{
    std::lock_guard<std::mutex> lock(fLock);
    return !fWaiting.empty();
}

void Gate::close()
{
    {
        std::lock_guard<std::mutex> lock(fLock);
        fClosed = true;
        fOwner = nullptr;
        for (const Queued &queued : fWaiting)
            if (queued.request)
                queued.request->state = Request::Withdrawn;
        fWaiting.clear();
    }
    fChanged.notify_all();
}

bool Gate::post(std::unique_ptr<QEvent> event)
{
    QObject *owner = nullptr;
    {
        std::lock_guard<std::mutex> lock(fLock);
        owner = fOwner;
    }
    if (!owner)
        return false;
    // Handed over through the gate's own lock and sent on the main thread; the gate closes
    // before its owner is gone, which drops it.
    std::shared_ptr<QEvent> notice(std::move(event));
    return postCall([owner, notice] { QCoreApplication::sendEvent(owner, notice.get()); });
}

bool Gate::postCall(Call call)
{
    std::lock_guard<std::mutex> lock(fLock);
    if (fClosed || !call)
        return false;
    QObject *target = receiver();
    if (!target)
        return false;
    fWaiting.push_back({nullptr, std::move(call)});
    QMetaObject::invokeMethod(target, "serve", Qt::QueuedConnection);
    return true;
}

std::shared_ptr<Caller> installed()
{
    std::lock_guard<std::mutex> lock(installLock);
    if (!installedCaller)
        installedCaller = std::make_shared<Gate>();
    return installedCaller;
}

void install(std::shared_ptr<Caller> caller)
{
    std::lock_guard<std::mutex> lock(installLock);
    installedCaller = std::move(caller);
}

} // namespace main_thread_call

#include "main_thread_call.moc"
