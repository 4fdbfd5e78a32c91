#include "session/worker_thread.h"

#include <QCoreApplication>
#include <chrono>
#include <cxxabi.h>
#include <exception>
#include <memory>
#include <typeinfo>

const QEvent::Type TWindowMessage::EventType = QEvent::Type(QEvent::registerEventType());

namespace {

QString className(const std::type_info &type)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void *)> name(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                 std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : type.name());
}

} // namespace

void worker_pause_ms(int ms)
{
    QThread::msleep(ulong(ms));
}

TWorkerThread::TWorkerThread(QObject *hWnd, TWorkerGui *nGui, T_Orvel_Handler *const *pParam, uint32_t delay)
    : f_hWnd(hWnd), fGui(hWnd ? nGui : nullptr), f_Orvel_Handler(*pParam), f_delay(delay)
{
    // Qt hands the run's end to this thread through its own queue, which the race checker cannot
    // follow; the flag carries the same ordering where it can, before any destructor runs.
    connect(this, &QThread::finished, this, [this] {
        f_runEnded.load(std::memory_order_acquire);
        deleteLater();
    });
}

TWorkerThread::~TWorkerThread()
{
    f_active = false;
    wait();
}

void TWorkerThread::Stop()
{
    requestInterruption();
    {
        std::lock_guard<std::mutex> lock(fTerminateLock);
        fTerminated = true;
    }
    fTerminateEvent.notify_all();
}

void TWorkerThread::waitTerminate(uint32_t ms)
{
    std::unique_lock<std::mutex> lock(fTerminateLock);
    fTerminateEvent.wait_for(lock, std::chrono::milliseconds(ms), [this] { return fTerminated; });
}

QString TWorkerThread::Get_message() const
{
    QMutexLocker lock(&fMessageLock);
    return fMessage;
}

void TWorkerThread::Set_message(const QString &message)
{
    QMutexLocker lock(&fMessageLock);
    fMessage = message;
}

void TWorkerThread::runOnMainThread(main_thread_call::Call call)
{
    if (!fGui)
        return;
    if (f_hWnd.run(std::move(call)) == main_thread_call::Outcome::Withdrawn)
        requestInterruption();
}

void TWorkerThread::synchronize(TGuiOperation operation)
{
    TWorkerGui *gui = fGui;
    runOnMainThread([gui, operation] { (gui->*operation)(); });
}

void TWorkerThread::postCommError()
{
    f_hWnd.post(std::make_unique<TWindowMessage>(TWindowMessage::WM_COMM_ERROR, 0, 0));
}

void TWorkerThread::postMeasurement(session::Measurement taken)
{
    if (TWorkerGui *gui = fGui)
        f_hWnd.postCall([gui, m = std::move(taken)] { gui->updateGui_meas(m); });
}

void TWorkerThread::run()
{
    f_active = true;
    const THandOver flags = handOver();
    try {
        for (TGuiOperation operation : flags.disable)
            synchronize(operation);
        cycles();
    } catch (const std::exception &e) {
        Set_message(QStringLiteral("Error Measure Thread:") + className(typeid(e)) + QStringLiteral(" -> ") +
                    QString::fromLocal8Bit(e.what()));
    } catch (...) {
        Set_message(QStringLiteral("Error Measure Thread:unknown -> "));
    }
    try {
        const QString message = Get_message();
        if (!message.isEmpty()) {
            TWorkerGui *gui = fGui;
            runOnMainThread([gui, message] { gui->updateGui(message); });
            requestInterruption();
        }
        for (TGuiOperation operation : flags.enable)
            synchronize(operation);
    } catch (...) {
        // A window operation that fails while the worker ends has nobody left to tell.
    }
    f_runEnded.store(true, std::memory_order_release);
}
