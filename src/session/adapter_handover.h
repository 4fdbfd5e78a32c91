// Who gets the adapter next. A workflow that wants it arms its start timer; the last request
// wins, so two users are never handed it at once. Nobody is handed it while a worker exists,
// while the re-addressing procedure runs, or once the window closes. Main thread only.
#pragma once

#include <QTimer>
#include <functional>

class TAdapterHandover
{
public:
    TAdapterHandover(QTimer &scan, QTimer &meas, QTimer &readdress, std::function<bool()> workerExists);

    // Starts `timer`, one of the three, and stops the other two.
    void arm(QTimer &timer);
    // For good: the three timers stop and none starts again.
    void close();
    // Closes, lets `stopWorkers` ask the workers to end, and serves events (their synchronised
    // calls among them) until none exists or `waitMs` has passed. False when one is left.
    bool close_and_wait(const std::function<void()> &stopWorkers, int waitMs);

    bool closing() const { return f_closing; }
    bool readdressing() const { return f_readdressing; }
    void set_readdressing(bool on) { f_readdressing = on; }
    // A worker object that has not yet gone, running or on its way out.
    bool worker_exists() const { return f_worker_exists(); }
    // Nobody holds the adapter and nobody may take it meanwhile.
    bool available() const { return !f_closing && !f_readdressing && !worker_exists(); }
    // Somebody uses the adapter or has asked for it; a pending scan yields to anybody.
    bool claimed() const;

private:
    QTimer &f_scan;
    QTimer &f_meas;
    QTimer &f_readdress;
    std::function<bool()> f_worker_exists;
    bool f_closing = false;
    bool f_readdressing = false;
};
