// The re-addressing journal in the main window: its File menu entry and window, the restores
// the user asks for there, and the line each attempt leaves in it. Main thread only.
#pragma once

#include "transmitter/OrvelMemory.h"
#include "transmitter/readdress.h"
#include "transmitter/readdress_journal.h"

#include <QPointer>
#include <functional>
#include <optional>

class QAction;
class QMainWindow;
class TLogFile;
class T_Orvel_Handler;
class Tjournal_form;

class TReaddressJournalFlow
{
public:
    // The entry goes before `before` in its menu. `busy` tells whether a procedure runs or waits;
    // `requestProcedure` asks for the adapter as "Change Device Address" does.
    TReaddressJournalFlow(QMainWindow &window, QAction &before, T_Orvel_Handler &handler, TLogFile &log,
                          std::function<bool()> busy, std::function<void()> requestProcedure);

    QAction &action() const { return *f_action; }
    void show();
    // The image of a restore the user asked for, once; none for a change of address.
    std::optional<T_DeviceMemory> take_restore_image();
    // Journals an attempt before its outcome is told; a journal that fails is told, nothing else.
    void record(const readdress_journal::Attempt &attempt, const readdress::Outcome &outcome);

private:
    void restore_requested(const QString &imageFile);

    QMainWindow &f_window;
    T_Orvel_Handler &f_handler;
    TLogFile &f_log;
    std::function<bool()> f_busy;
    std::function<void()> f_request_procedure;
    QAction *f_action = nullptr;
    QPointer<Tjournal_form> f_form;
    std::optional<T_DeviceMemory> f_restore_image;
};
