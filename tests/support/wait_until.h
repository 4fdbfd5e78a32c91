// Waiting in tests for a condition instead of for a fixed time.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEvent>
#include <functional>
#include <thread>

namespace wait_until {

namespace detail {

inline bool wait(const std::function<bool()> &done, int timeoutMs, bool pump)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        if (pump) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            // Outside an event loop deleteLater() waits for this.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

} // namespace detail

// Serves the main thread's events (queued calls, timers, deferred deletes) until `done` holds;
// false when it still does not hold after `timeoutMs`.
inline bool pumping(const std::function<bool()> &done, int timeoutMs = 5000)
{
    return detail::wait(done, timeoutMs, true);
}

// The same without serving any event: for what must happen while the main thread is busy.
inline bool without_pumping(const std::function<bool()> &done, int timeoutMs = 5000)
{
    return detail::wait(done, timeoutMs, false);
}

} // namespace wait_until
