// What the window shows of a change of address or a restore that the session runs: the
// question before anything is written, every step in the status bar and the log, and why it
// failed. Main thread only.
#pragma once

#include "session/session_records.h"

#include <memory>

class TLogFile;
class TStatusBar;
class TmsgDialog;

class TReaddressRun
{
public:
    TReaddressRun(TLogFile &log, TStatusBar &status);
    ~TReaddressRun();

    // Asks the user; No is what Enter gives, as the write cannot be undone.
    bool confirm(const session::ProcedureStarted &started);
    void started(const session::ProcedureStarted &started);
    void step(const session::ProcedureStep &step);
    void not_started(const session::ProcedureNotStarted &why);
    void ended(const session::ProcedureEnded &ended);

private:
    // Shows why nothing was written and returns it.
    QString show_refusal(readdress::Refusal why, const QList<int> &matching);
    // A message that waits for nobody.
    void show_notice(const QString &text);

    TLogFile &f_log;
    TStatusBar &f_status;
    bool f_cursor = false;
    std::unique_ptr<TmsgDialog> f_notice;
};
