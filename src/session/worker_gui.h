// What the scan and measurement workers ask of the main window. Every operation runs on the
// main thread: the workers reach them only through blocking synchronised calls, except the
// communication-error notice and a run's measurement, which are posted and run in order.
#pragma once

#include "session/session_records.h"

#include <QEvent>
#include <QString>

class TWorkerGui
{
public:
    virtual ~TWorkerGui() = default;

    // Hand-over flags.
    virtual void disable_meas() = 0;
    virtual void enable_meas() = 0;
    virtual void disable_readdress() = 0;
    virtual void enable_readdress() = 0;
    virtual void disable_scan() = 0;
    virtual void enable_scan() = 0;

    // Results.
    virtual void show_slaveAddr() = 0;
    virtual void update_status_Gui() = 0;
    virtual void show_pressure_scaling() = 0;
    virtual void memory_map_display() = 0;
    virtual void show_scan_error() = 0;
    virtual void update_single_meas() = 0;
    // A run's measurement as the worker took it (no texts yet). Posted, so that the worker need
    // not wait for the window: the slider's wait alone sets the pace.
    virtual void updateGui_meas(const session::Measurement &taken) = 0;
    // A worker ended on an error; `message` is its text.
    virtual void updateGui(const QString &message) = 0;
};

// A window message posted to the main window; WM_USER + 1 reports a failed measurement.
class TWindowMessage : public QEvent
{
public:
    static constexpr int WM_USER = 0x0400;
    static constexpr int WM_COMM_ERROR = WM_USER + 1;
    static const QEvent::Type EventType;

    TWindowMessage(int message, long long wParam, long long lParam)
        : QEvent(EventType), msg(message), wParam(wParam), lParam(lParam)
    {
    }

    const int msg;
    const long long wParam;
    const long long lParam;
};
