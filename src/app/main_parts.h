// What the main window owns and does behind its own interface: the components it is built from
// and the steps of its workflows that nobody outside calls. Main thread only, like the window.
#pragma once

#include "app/main.h"
#include "session/session_records.h"

#include <memory>

class TAdapterHandover;
class TNewAddressGroup;
class TReaddressJournalFlow;
class TReaddressRun;
class TSettingsCommand;
class TStatusBar;

struct Tmain_Form::Parts {
    explicit Parts(Tmain_Form &window);
    ~Parts();
    Parts(const Parts &) = delete;
    Parts &operator=(const Parts &) = delete;

    // A worker object that has not yet gone, running or on its way out.
    bool worker_exists() const { return !w.fScan.isNull() || !w.fMeas.isNull(); }
    // The re-addressing procedure holds the adapter.
    bool readdressing() const;
    bool scan_running() const { return w.fScan && w.fScan->scan_activ(); }
    bool meas_running() const { return w.fMeas && w.fMeas->meas_activ(); }

    // Start-up (main_startup.cpp).
    void connect_actions();
    void style_TimerTimer();

    // Scan workflow (main_scan.cpp).
    void scan_start_TimerTimer();
    void ScanDeviceActionExecute();
    // The memory map window, filled from the device model and brought to the front.
    void show_memory_map();

    // Measurement workflow (main_measure.cpp).
    void meas_start_TimerTimer();
    void fill_table_identity();
    // The measurement the model holds now, as the monitor is told it.
    session::Measurement measurement(bool in_run) const;
    // The monitor's Clear Chart: the table starts again.
    void chart_cleared();

    Tmain_Form &w;
    Windows fWindows;
    // The device panel shows a transmitter that was read, not the empty model.
    bool f_device_read = false;
    // The captions are set when the window is first shown.
    bool fTranslated = false;

    // The parts with a job of their own; made in this order, each using those before. All of them
    // go before the window's timers and controls that they refer to.
    std::unique_ptr<TStatusBar> f_status_bar;
    std::unique_ptr<TAdapterHandover> f_handover;
    std::unique_ptr<TNewAddressGroup> f_new_address;
    std::unique_ptr<TReaddressJournalFlow> f_journal;
    std::unique_ptr<TReaddressRun> f_readdress_run;
    std::unique_ptr<TSettingsCommand> f_settings;
};
