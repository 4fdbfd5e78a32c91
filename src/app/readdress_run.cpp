#include "app/readdress_run.h"

#include "session/adapter_handover.h"
#include "services/log/logFile.h"
#include "services/dialogs/msgDialogForm.h"
#include "app/readdress_journal_flow.h"
#include "app/readdress_texts.h"
#include "app/status_bar.h"
#include "app/window_text.h"

#include <QApplication>
#include <utility>

using window_text::tr_;

namespace {

constexpr int ResultYes = 6;

// While a procedure holds the adapter: nobody else is handed it, and the cursor shows that the
// window does not respond meanwhile.
class HoldAdapter
{
public:
    explicit HoldAdapter(TAdapterHandover &handover) : f_handover(handover)
    {
        f_handover.set_readdressing(true);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~HoldAdapter() { release(); }
    HoldAdapter(const HoldAdapter &) = delete;
    HoldAdapter &operator=(const HoldAdapter &) = delete;

    void release()
    {
        if (!f_held)
            return;
        f_held = false;
        QApplication::restoreOverrideCursor();
        f_handover.set_readdressing(false);
    }

private:
    TAdapterHandover &f_handover;
    bool f_held = true;
};

} // namespace

TReaddressRun::TReaddressRun(T_Orvel_Handler &handler, TLogFile &log, TStatusBar &status,
                             TAdapterHandover &handover, TReaddressJournalFlow &journal, Hooks hooks)
    : f_handler(handler), f_log(log), f_status(status), f_handover(handover), f_journal(journal),
      f_hooks(std::move(hooks))
{
}

void TReaddressRun::report_step(readdress::Step step, bool ok)
{
    const std::optional<readdress_texts::StepReport> report = readdress_texts::step_report(step, ok, tr_);
    if (!report)
        return;
    f_status.set_led(ok ? 1 : 2);
    f_status.set_left(report->left);
    f_status.set_middle(report->middle);
    f_log.addEvent(catCommunication, ok ? lNormal : lError, report->logLine);
}

QString TReaddressRun::show_refusal(readdress::Refusal why)
{
    const readdress_texts::RefusalReport refusal = readdress_texts::refusal_report(why, tr_);
    f_log.addEvent(catCommunication, lError, refusal.logLine);
    f_status.set_led(2);
    f_status.set_left(tr_("Error", "Error"));
    f_status.set_middle(refusal.text);
    return refusal.text;
}

// One user of the adapter at a time: never beside a worker, never twice.
bool TReaddressRun::adapter_in_use(const char *logLine)
{
    if (!f_handover.worker_exists() && !f_handover.readdressing())
        return false;
    f_log.addEvent(catCommunication, lError, QString::fromLatin1(logLine));
    return true;
}

bool TReaddressRun::readdress(const std::optional<T_SlaveAddr> &target)
{
    if (adapter_in_use("Re-addressing not started: the adapter is in use") || !target)
        return false;

    HoldAdapter hold(f_handover);

    readdress::Step last = readdress::Step::None;
    auto observe = [&](readdress::Step step, bool ok) {
        last = step;
        report_step(step, ok);
        if (step == readdress::Step::CommandMode || step == readdress::Step::SwitchOnAfter)
            f_hooks.update_status();
        else if (step == readdress::Step::Verify)
            f_hooks.show_memory_map();
    };
    auto confirm = [&](uint8_t) {
        const QString question =
            tr_("readdr_question", "Do you wish to continue with assigning new slave address: %1 to device ?")
                .arg(target->Get_hex_addr());
        // A dialog closed without an answer counts as No; the write is irreversible, so No is
        // what Enter gives.
        return TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}, mbNo) == ResultYes;
    };
    const readdress_journal::Attempt attempt =
        readdress_journal::begin(f_handler, target->Get_int_Addr(), readdress_journal::Procedure::Readdress);
    const readdress::Outcome outcome =
        readdress::readdress(f_handler, uint8_t(target->Get_int_Addr()), confirm, observe);
    f_journal.record(attempt, outcome);
    if (last != readdress::Step::CommandMode && last != readdress::Step::SwitchOnAfter)
        f_hooks.update_status();

    f_hooks.ended(outcome.succeeded());
    if (outcome.succeeded()) {
        f_handler.Set_preferred_addr(outcome.answers_at);
        f_log.addEvent(catCommunication, lNormal, QStringLiteral("Re-addressing succesfully completed"));
        return true;
    }
    if (outcome.failed == readdress::Step::Confirm) {
        f_log.addEvent(catCommunication, lNormal, QStringLiteral("User canceled re-addressing procedure"));
        return false;
    }
    QString reason = outcome.failed == readdress::Step::Check ? show_refusal(outcome.refusal) : f_status.middle();
    f_log.addEvent(catCommunication, lError, QStringLiteral("Error re-addressing device"));
    // Only a finished change has moved the transmitter; after any other failure the next scan
    // finds it.
    if (outcome.failed == readdress::Step::NewAddress) {
        const readdress_texts::WhereReport where = readdress_texts::where_it_answers(outcome.answers_at, tr_);
        f_log.addEvent(catCommunication, lError, where.logLine);
        reason += u'\n' + where.text;
    }
    if (outcome.answers_at >= 0)
        f_handler.Set_preferred_addr(outcome.answers_at);
    TmsgDialog::createDialog(tr_("readdr_failed", "Re-addressing failed") + QStringLiteral(":\n") + reason, mtError,
                             {mbOk});
    return false;
}

void TReaddressRun::restore(const T_DeviceMemory &saved)
{
    if (adapter_in_use("Restore not started: the adapter is in use"))
        return;
    HoldAdapter hold(f_handover);
    const int to = saved.at(OrvelWords::COM_Config).value() & 0x7F;
    auto confirm = [&](uint8_t) {
        const QString question =
            tr_("restore_confirm", "Write the saved memory image back to the transmitter? This uses up one of the changes left.");
        return TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}) == ResultYes;
    };
    const readdress_journal::Attempt attempt =
        readdress_journal::begin(f_handler, to, readdress_journal::Procedure::Restore);
    const readdress::Outcome outcome = readdress::restore(f_handler, saved, confirm,
                                                          [this](readdress::Step step, bool ok) { report_step(step, ok); });
    f_journal.record(attempt, outcome);
    f_hooks.update_status();
    hold.release();

    f_hooks.ended(outcome.succeeded());
    if (outcome.answers_at >= 0)
        f_handler.Set_preferred_addr(outcome.answers_at);
    if (outcome.succeeded()) {
        f_log.addEvent(catCommunication, lNormal, QStringLiteral("Restore of the memory image completed"));
        return;
    }
    if (outcome.failed == readdress::Step::Confirm) {
        f_log.addEvent(catCommunication, lNormal, QStringLiteral("User canceled the restore"));
        return;
    }
    const QString reason =
        outcome.failed == readdress::Step::Check ? show_refusal(outcome.refusal) : f_status.middle();
    f_log.addEvent(catCommunication, lError, QStringLiteral("Error restoring the memory image"));
    TmsgDialog::createDialog(tr_("restore_failed", "Restore failed") + QStringLiteral(":\n") + reason, mtError, {mbOk});
}
