// The session's procedures: a change of address and the restore of a saved memory image, each
// holding the adapter, asking the face, publishing every step and journalled before its end is
// published. An attempt that writes is journalled before its first word, too, and no quit signal
// reaches the thread that writes until the procedure has ended.
#include "session/session.h"

#include "session/adapter_handover.h"

#include <optional>

#ifndef _WIN32
#include <csignal>
#include <pthread.h>
#endif

namespace {

// SIGINT, SIGTERM and SIGHUP wait on this thread while the object lives; one that came meanwhile
// is delivered once they are let through again. Another thread may still take them.
class HoldQuitSignals
{
public:
    HoldQuitSignals()
    {
#ifndef _WIN32
        sigset_t quit;
        sigemptyset(&quit);
        for (int signal : {SIGINT, SIGTERM, SIGHUP})
            sigaddset(&quit, signal);
        pthread_sigmask(SIG_BLOCK, &quit, &f_before);
#endif
    }
    ~HoldQuitSignals()
    {
#ifndef _WIN32
        pthread_sigmask(SIG_SETMASK, &f_before, nullptr);
#endif
    }
    HoldQuitSignals(const HoldQuitSignals &) = delete;
    HoldQuitSignals &operator=(const HoldQuitSignals &) = delete;

private:
#ifndef _WIN32
    sigset_t f_before;
#endif
};

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

session::ProcedureEnded TSession::restore_to_owner(const T_DeviceMemory &saved)
{
    T_Orvel_Handler &h = *fOrvel_Handler;
    if (!worker_exists() && !readdressing()) {
        readdress::Owner owner;
        {
            HoldAdapter hold(*f_handover);
            owner = readdress::find_owner(h, saved);
            // The faces and the journal name the transmitter about to be written, not the one
            // selected before.
            if (owner.refusal == readdress::Refusal::None && !h.get_device_scaling())
                owner.refusal = readdress::Refusal::Incomplete;
        }
        if (owner.refusal != readdress::Refusal::None) {
            // Nothing was written and no transmitter was chosen: nothing to journal.
            session::ProcedureEnded ended;
            ended.procedure = session::Procedure::Restore;
            ended.to = saved.at(OrvelWords::COM_Config).value() & 0x7F;
            ended.outcome.failed = readdress::Step::Check;
            ended.outcome.refusal = owner.refusal;
            ended.matching = owner.matching;
            publish(session::ProcedureStep{session::Procedure::Restore, readdress::Step::Check, false});
            scan_again();
            publish(ended);
            return ended;
        }
        pick(owner.address);
        show_slaveAddr();
        show_pressure_scaling();
        memory_map_display();
        update_status_Gui();
    }
    return restore(saved);
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
        readdress_journal::Attempt attempt = readdress_journal::begin(
            h, to,
            procedure == session::Procedure::Restore ? readdress_journal::Procedure::Restore
                                                     : readdress_journal::Procedure::Readdress);
        std::optional<HoldQuitSignals> held_signals;
        QStringList journal_errors;
        auto confirm = [&](uint8_t) {
            if (!f_confirm || !f_confirm(started))
                return false;
            // The write follows at once. Cut off by a kill or a power loss, it leaves its attempt
            // and before-image on disk; a quit signal waits until the procedure has ended. A journal
            // that cannot be written is told and does not stop the change.
            held_signals.emplace();
            journal_errors << readdress_journal::start(f_journal_folder, attempt);
            return true;
        };
        ended.outcome = saved ? readdress::restore(h, *saved, confirm, observe)
                              : readdress::readdress(h, uint8_t(to), confirm, observe);
        // On disk before anybody hears of the outcome.
        journal_errors << readdress_journal::record(f_journal_folder, attempt, ended.outcome, h);
        journal_errors.removeAll(QString());
        journal_errors.removeDuplicates();
        ended.journal_error = journal_errors.join(QStringLiteral("; "));
        held_signals.reset();
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
