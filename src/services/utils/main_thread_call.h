// Runs a call on the main thread for another thread and waits until it has run.
// One shutdown rule for every such call: while the gate's owner goes (a window closes) or the
// application closes down, a call the main thread has not taken over yet is withdrawn, and its
// caller returns without it having run and is told so. An exception thrown by the call is
// rethrown in the caller.
#pragma once

#include <QEvent>
#include <QMetaObject>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace main_thread_call {

enum class Outcome { Ran, Withdrawn };

using Call = std::function<void()>;

// Whether a call made on this thread runs at once: on the main thread, or when there is no
// application object whose thread could run it.
bool runsAtOnce();

// Anything that runs calls on the main thread and waits for them.
// Threading: runOnMainThread from any thread, runPending on the main thread.
class Caller
{
public:
    virtual ~Caller() = default;
    virtual Outcome runOnMainThread(Call call) = 0;
    // Runs a waiting call now, for a main thread that must wait for its caller. False when
    // nothing was waiting or this is not the main thread.
    virtual bool runPending() = 0;
};

// The hand-over point. Callers are served in the order they came.
// Threading: run, post and pending from any thread; runPending and close on the main thread;
// made and destroyed on the main thread (or after the application has ended).
class Gate : public Caller
{
public:
    // Calls are withdrawn once `owner` is destroyed; without an owner, only when the
    // application closes down.
    explicit Gate(QObject *owner = nullptr);
    // Withdraws every waiting call and returns when their callers have left.
    ~Gate() override;
    Gate(const Gate &) = delete;
    Gate &operator=(const Gate &) = delete;

    // Runs `call` at once where runsAtOnce() holds, else on the main thread, and returns when
    // it has run. Withdrawn when the gate is closed or closes before the call was taken over.
    Outcome run(Call call);
    Outcome runOnMainThread(Call call) override { return run(std::move(call)); }
    bool runPending() override;
    // Whether a call waits to be taken over.
    bool pending() const;
    // Withdraws the waiting calls; later calls are withdrawn at once.
    void close();
    // The notice that needs no waiting: posts `event` to the owner, or drops it and returns
    // false once the gate is closed or when it has no owner.
    bool post(std::unique_ptr<QEvent> event);
    // Runs `call` on the main thread after the calls before it, without waiting for it; false
    // when the gate is closed. Dropped unrun if the gate closes first. What the call holds
    // reaches the main thread through the gate's lock.
    bool postCall(Call call);

private:
    struct Request;
    QObject *receiver();
    void finish(Request &request, std::exception_ptr error);

    mutable std::mutex fLock; // guards everything below and every Request's state
    std::condition_variable fChanged;
    // A waiting caller's request, or a posted call nobody waits for.
    struct Queued {
        Request *request = nullptr;
        Call posted;
    };
    std::deque<Queued> fWaiting;
    bool fClosed = false;
    int fCallers = 0;
    std::unique_ptr<QObject> fReceiver; // lives on the main thread
    QObject *fOwner = nullptr; // until the gate closes
    QMetaObject::Connection fOwnerGone;
};

// The caller of services that cannot name the application's own helper: the one the
// application installed at start-up, or else a gate without owner. Any thread.
std::shared_ptr<Caller> installed();
// Main thread; an empty pointer goes back to the plain gate.
void install(std::shared_ptr<Caller> caller);

} // namespace main_thread_call
