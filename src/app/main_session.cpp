// What the session publishes, each record to the window operation that shows it.
#include "app/main.h"

#include "app/new_address_group.h"
#include "app/readdress_journal_flow.h"
#include "app/readdress_run.h"

#include <QTimer>
#include <type_traits>
#include <utility>

void Tmain_Form::show_record(const session::Record &record)
{
    std::visit(
        [this](const auto &r) {
            using R = std::decay_t<decltype(r)>;
            if constexpr (std::is_same_v<R, session::BusFound>)
                show_slaveAddr(r);
            else if constexpr (std::is_same_v<R, session::IdentityRead>)
                show_pressure_scaling(r.transmitter);
            else if constexpr (std::is_same_v<R, session::StatusRead>)
                update_status_Gui(r.transmitter);
            else if constexpr (std::is_same_v<R, session::MemoryRead>)
                memory_map_display(r.transmitter);
            else if constexpr (std::is_same_v<R, session::ScanFailed>)
                show_scan_error(r);
            else if constexpr (std::is_same_v<R, session::Measurement>)
                r.in_run ? updateGui_meas(r) : update_single_meas(r);
            else if constexpr (std::is_same_v<R, session::MeasurementFailed>)
                on_comm_error(0, 0);
            else if constexpr (std::is_same_v<R, session::RunStarted>)
                run_started(r);
            else if constexpr (std::is_same_v<R, session::RunEnded>)
                run_ended(r);
            else if constexpr (std::is_same_v<R, session::WorkerFailed>)
                updateGui(r.message);
            else if constexpr (std::is_same_v<R, session::ProcedureStarted>)
                f_readdress_run->started(r);
            else if constexpr (std::is_same_v<R, session::ProcedureStep>) {
                f_readdress_run->step(r);
                if (r.step == readdress::Step::Verify)
                    show_memory_map();
            } else if constexpr (std::is_same_v<R, session::ProcedureNotStarted>)
                f_readdress_run->not_started(r);
            else if constexpr (std::is_same_v<R, session::ProcedureEnded>)
                procedure_ended(r);
            else if constexpr (std::is_same_v<R, session::RecordingProblem>)
                recording_problem(r);
            else if constexpr (std::is_same_v<R, session::RunsRemoved>)
                fLog->addEvent(catDB, r.ok ? lNormal : lError, r.text);
        },
        record);
}

void Tmain_Form::procedure_ended(const session::ProcedureEnded &ended)
{
    f_journal->recorded(ended);
    emit readdressed(ended.succeeded());
    if (ended.succeeded() && ended.procedure == session::Procedure::Readdress)
        f_new_address->forget_pick();
    f_readdress_run->ended(ended);
    if (std::exchange(f_close_after_procedure, false))
        QTimer::singleShot(0, this, [this] { close(); });
}
