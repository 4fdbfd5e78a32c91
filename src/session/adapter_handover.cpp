#include "session/adapter_handover.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <utility>

TAdapterHandover::TAdapterHandover(QTimer &scan, QTimer &meas, QTimer &readdress, std::function<bool()> workerExists)
    : f_scan(scan), f_meas(meas), f_readdress(readdress), f_worker_exists(std::move(workerExists))
{
}

void TAdapterHandover::arm(QTimer &timer)
{
    for (QTimer *t : {&f_scan, &f_meas, &f_readdress})
        if (t != &timer)
            t->stop();
    if (!f_closing)
        timer.start();
}

void TAdapterHandover::close()
{
    f_closing = true;
    for (QTimer *t : {&f_scan, &f_meas, &f_readdress})
        t->stop();
}

bool TAdapterHandover::close_and_wait(const std::function<void()> &stopWorkers, int waitMs)
{
    // Events are served below: no start timer may hand the adapter to anybody meanwhile.
    close();
    stopWorkers();
    QElapsedTimer waited;
    waited.start();
    while (worker_exists() && waited.elapsed() < waitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return !worker_exists();
}

bool TAdapterHandover::claimed() const
{
    return !available() || f_meas.isActive() || f_readdress.isActive();
}
