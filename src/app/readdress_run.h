// Runs a change of address or a restore of a saved memory image on the main thread: holds the
// adapter meanwhile, asks the user, journals the attempt, tells every step and says why it
// failed. Main thread only.
#pragma once

#include "transmitter/OrvelHandler.h"
#include "transmitter/readdress.h"

#include <functional>
#include <optional>

class TAdapterHandover;
class TLogFile;
class TReaddressJournalFlow;
class TStatusBar;

class TReaddressRun
{
public:
    struct Hooks {
        std::function<void()> update_status;       // the device panel from the model
        std::function<void()> show_memory_map;     // after the verification
        std::function<void(bool succeeded)> ended; // hands the adapter on to the scan
    };
    TReaddressRun(T_Orvel_Handler &handler, TLogFile &log, TStatusBar &status, TAdapterHandover &handover,
                  TReaddressJournalFlow &journal, Hooks hooks);

    // Gives the transmitter the `target` address; none when the user has not picked one. True
    // when it answers there.
    bool readdress(const std::optional<T_SlaveAddr> &target);
    // Writes a saved memory image back, address included.
    void restore(const T_DeviceMemory &saved);

private:
    void report_step(readdress::Step step, bool ok);
    // Shows why nothing was written and returns it.
    QString show_refusal(readdress::Refusal why);
    bool adapter_in_use(const char *logLine);

    T_Orvel_Handler &f_handler;
    TLogFile &f_log;
    TStatusBar &f_status;
    TAdapterHandover &f_handover;
    TReaddressJournalFlow &f_journal;
    Hooks f_hooks;
};
