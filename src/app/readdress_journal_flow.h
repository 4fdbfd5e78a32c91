// The re-addressing journal in the main window: its File menu entry and window, and the
// restores the user asks for there. Main thread only.
#pragma once

#include "session/session_records.h"

#include <QPointer>

class QAction;
class QMainWindow;
class TLogFile;
class TSession;
class Tjournal_form;

class TReaddressJournalFlow
{
public:
    // The entry goes before `before` in its menu; restores are asked of `session`.
    TReaddressJournalFlow(QMainWindow &window, QAction &before, TSession &session, TLogFile &log);

    QAction &action() const { return *f_action; }
    void show();
    // The window, once made, in the current language.
    void translateCaptions();
    // The session journalled the attempt before it ended: the window shows the new line, and a
    // journal that could not be written is told.
    void recorded(const session::ProcedureEnded &ended);
    // Once after start-up: tells, in one message and the log, of every attempt that a kill or a
    // power loss cut off while it wrote and that no start has told of yet, with the journal and
    // the before-images; each is told only once.
    void announce_interrupted();

private:
    void restore_requested(const QString &imageFile);

    QMainWindow &f_window;
    TSession &f_session;
    TLogFile &f_log;
    QAction *f_action = nullptr;
    QPointer<Tjournal_form> f_form;
};
