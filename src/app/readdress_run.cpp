#include "app/readdress_run.h"

#include "app/readdress_texts.h"
#include "app/status_bar.h"
#include "services/settings/window_text.h"
#include "services/dialogs/msgDialogForm.h"
#include "services/log/logFile.h"
#include "transmitter/OrvelHandler.h"

#include <QApplication>

using window_text::tr_;

namespace {

constexpr int ResultYes = 6;

} // namespace

TReaddressRun::TReaddressRun(TLogFile &log, TStatusBar &status) : f_log(log), f_status(status)
{
}

TReaddressRun::~TReaddressRun() = default;

bool TReaddressRun::confirm(const session::ProcedureStarted &started)
{
    // Both addresses: the one the transmitter answers at now, and the one it will answer at.
    const QString from = T_SlaveAddr::hex_text(started.from);
    const QString to = T_SlaveAddr::hex_text(started.to);
    const QString question =
        started.procedure == session::Procedure::Restore
            ? tr_("restore_confirm",
                  "Write the saved memory image back to the transmitter at %1? It then answers at %2. This uses up one of the changes left.")
                  .arg(from, to)
            : tr_("readdr_question", "Do you wish to continue with assigning new slave address: %1 to device at %2 ?")
                  .arg(to, from);
    // A dialog closed without an answer counts as No.
    return TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}, mbNo) == ResultYes;
}

void TReaddressRun::started(const session::ProcedureStarted &)
{
    // The window does not respond while the procedure holds the adapter.
    if (!f_cursor)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    f_cursor = true;
}

void TReaddressRun::step(const session::ProcedureStep &step)
{
    const std::optional<readdress_texts::StepReport> report = readdress_texts::step_report(step.step, step.ok, tr_);
    if (!report)
        return;
    f_status.set_led(step.ok ? 1 : 2);
    f_status.set_left(report->left);
    f_status.set_middle(report->middle);
    f_log.addEvent(catCommunication, step.ok ? lNormal : lError, report->logLine);
}

void TReaddressRun::not_started(const session::ProcedureNotStarted &why)
{
    if (why.why != session::ProcedureNotStarted::Why::AdapterInUse)
        return;
    f_log.addEvent(catCommunication, lError,
                   why.procedure == session::Procedure::Restore
                       ? QStringLiteral("Restore not started: the adapter is in use")
                       : QStringLiteral("Re-addressing not started: the adapter is in use"));
}

QString TReaddressRun::show_refusal(readdress::Refusal why, const QList<int> &matching)
{
    const readdress_texts::RefusalReport refusal = readdress_texts::refusal_report(why, tr_, matching);
    f_log.addEvent(catCommunication, lError, refusal.logLine);
    f_status.set_led(2);
    f_status.set_left(tr_("Error", "Error"));
    f_status.set_middle(refusal.text);
    return refusal.text;
}

void TReaddressRun::show_notice(const QString &text)
{
    // It does not hold up the scan that follows, and the last one stays until closed or replaced.
    f_notice = std::make_unique<TmsgDialog>(text, mtInformation, QList<TButtonTypes>{mbOk}, msg_dialog::DefaultWidth,
                                            msg_dialog::DefaultHeight, TmsgDialog::defaultIconStripFile());
    f_notice->setObjectName(QStringLiteral("readdress_done_notice"));
    f_notice->setModal(false);
    f_notice->show();
    f_notice->raise();
    f_notice->activateWindow();
}

void TReaddressRun::ended(const session::ProcedureEnded &ended)
{
    if (f_cursor)
        QApplication::restoreOverrideCursor();
    f_cursor = false;
    const bool restore = ended.procedure == session::Procedure::Restore;
    const readdress::Outcome &outcome = ended.outcome;
    if (outcome.succeeded()) {
        f_log.addEvent(catCommunication, lNormal,
                       restore ? QStringLiteral("Restore of the memory image completed")
                               : QStringLiteral("Re-addressing succesfully completed"));
        const readdress_texts::Report done = readdress_texts::done_report(restore, ended.from, outcome.answers_at, tr_);
        f_status.set_led(1);
        f_status.set_middle(done.text);
        f_log.addEvent(catCommunication, lNormal, done.logLine);
        show_notice(done.text);
        return;
    }
    if (outcome.failed == readdress::Step::Confirm) {
        f_log.addEvent(catCommunication, lNormal,
                       restore ? QStringLiteral("User canceled the restore")
                               : QStringLiteral("User canceled re-addressing procedure"));
        return;
    }
    QString reason = outcome.failed == readdress::Step::Check ? show_refusal(outcome.refusal, ended.matching)
                                                              : f_status.middle();
    f_log.addEvent(catCommunication, lError,
                   restore ? QStringLiteral("Error restoring the memory image")
                           : QStringLiteral("Error re-addressing device"));
    // After a failed step the procedure looked for the transmitter; a refusal left it where it was.
    if (outcome.failed != readdress::Step::Check) {
        const readdress_texts::WhereReport where = readdress_texts::where_it_answers(outcome.answers_at, tr_);
        f_log.addEvent(catCommunication, lError, where.logLine);
        reason += u'\n' + where.text;
        if (outcome.written) {
            const readdress_texts::Report damage = readdress_texts::written_report(tr_);
            f_log.addEvent(catCommunication, lError, damage.logLine);
            reason += u'\n' + damage.text;
        }
    }
    TmsgDialog::createDialog((restore ? tr_("restore_failed", "Restore failed") : tr_("readdr_failed", "Re-addressing failed")) +
                                 QStringLiteral(":\n") + reason,
                             mtError, {mbOk});
}
