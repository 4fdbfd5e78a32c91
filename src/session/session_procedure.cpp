// The session's procedures: a change of address and the restore of a saved memory image, each
// holding the adapter, asking the face, publishing every step and journalled before its end is
// published.
#include "session/session.h"

#include "session/adapter_handover.h"

namespace {

// While a procedure holds the adapter nobody else is handed it, however the procedure ends.
class HoldAdapter
{
public:
    explicit HoldAdapter(TAdapterHandover &handover) : f_handover(handover) { f_handover.set_readdressing(true); }
    ~HoldAdapter() { f_handover.set_readdressing(false); }
    HoldAdapter(const HoldAdapter &) = delete;
    HoldAdapter &operator=(const HoldAdapter &) = delete;

private:
    TAdapterHandover &f_handover;
};

} // namespace

session::ProcedureEnded TSession::readdress(int to)
{
    return run_procedure(session::Procedure::Readdress, to, nullptr);
}

session::ProcedureEnded TSession::restore(const T_DeviceMemory &saved)
{
    const int to = saved.at(OrvelWords::COM_Config).value() & 0x7F;
    return run_procedure(session::Procedure::Restore, to, &saved);
}

session::ProcedureEnded TSession::run_procedure(session::Procedure procedure, int to, const T_DeviceMemory *saved)
{
    T_Orvel_Handler &h = *fOrvel_Handler;
    session::ProcedureEnded ended;
    ended.procedure = procedure;
    ended.from = h.Get_Device().Get_slave_addr();
    ended.to = to;
    // One user of the adapter at a time: never beside a worker, never twice.
    if (worker_exists() || readdressing()) {
        ended.outcome.failed = readdress::Step::Check;
        publish(session::ProcedureNotStarted{procedure, session::ProcedureNotStarted::Why::AdapterInUse});
        return ended;
    }
    if (to < 0) {
        ended.outcome.failed = readdress::Step::Check;
        publish(session::ProcedureNotStarted{procedure, session::ProcedureNotStarted::Why::NoAddressPicked});
        scan_again();
        return ended;
    }

    const session::ProcedureStarted started{procedure, ended.from, to};
    {
        HoldAdapter hold(*f_handover);
        publish(started);
        readdress::Step last = readdress::Step::None;
        auto observe = [&](readdress::Step step, bool ok) {
            last = step;
            // The verification read the image back: the memory map shows it with the step.
            if (step == readdress::Step::Verify) {
                            f_last = snapshot();
                publish(session::MemoryRead{f_last});
            }
            publish(session::ProcedureStep{procedure, step, ok});
            if (step == readdress::Step::CommandMode || step == readdress::Step::SwitchOnAfter)
                update_status_Gui();
        };
        auto confirm = [&](uint8_t) { return f_confirm && f_confirm(started); };
        const readdress_journal::Attempt attempt = readdress_journal::begin(
            h, to,
            procedure == session::Procedure::Restore ? readdress_journal::Procedure::Restore
                                                     : readdress_journal::Procedure::Readdress);
        ended.outcome = saved ? readdress::restore(h, *saved, confirm, observe)
                              : readdress::readdress(h, uint8_t(to), confirm, observe);
        // On disk before anybody hears of the outcome.
        ended.journal_error = readdress_journal::record(f_journal_folder, attempt, ended.outcome, h);
        if (last != readdress::Step::CommandMode && last != readdress::Step::SwitchOnAfter)
            update_status_Gui();
    }
    if (ended.outcome.answers_at >= 0)
        pick(ended.outcome.answers_at);
    // However it ended, scan again at once so the faces show where the transmitter is now.
    scan_again();
    publish(ended);
    return ended;
}

void TSession::scan_again()
{
    if (f_started && !f_handover->closing()) {
        f_scan_allowed = true;
        f_handover->arm(scan_start_Timer);
    }
}
