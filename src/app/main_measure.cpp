// The measurement workflow: start and stop a run, show each measurement, the speed slider and
// the chart/gauge switch.
#include "app/main.h"

#include "app/changes_left.h"
#include "app/device_texts.h"
#include "services/log/logFile.h"
#include "session/session.h"
#include "app/new_address_group.h"
#include "app/recorded_runs_flow.h"
#include "services/settings/IniHandler.h"
#include "views/windows/recorded_runs_text.h"
#include "views/windows/run_export.h"
#include "app/status_bar.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/table_view.h"
#include "ui_main.h"
#include "services/settings/window_text.h"

using window_text::tr_;

#include <QDateTime>

void Tmain_Form::start_btnClick()
{
    if (!f_device_read)
        return;
    fill_table_identity();
    if (fWindows.table)
        fWindows.table->Set_time_axis_enabled(false);
    fSession->start_run(uint32_t(ui->monitor->delay()));
}

// The table names the transmitter shown in the device panel.
void Tmain_Form::fill_table_identity()
{
    if (!fWindows.table)
        return;
    fWindows.table->Set_scaling(ui->scaling_Ed->text());
    fWindows.table->Set_calib_date(ui->calibrationdate_ed->text());
    fWindows.table->Set_slave_addr(ui->slaveaddr_combo->currentText());
    fWindows.table->Set_dev_status(ui->dev_status_ed->text());
    fWindows.table->Set_unique_code(ui->uniquecode_ed->text());
    if (const std::optional<int> left = changes_left::left(f_new_address->shown()))
        fWindows.table->Set_addr_left(QString::number(*left));
}

void Tmain_Form::run_started(const session::RunStarted &started)
{
    ui->monitor->run_started(started.time);
    set_status_left(tr_("Measuring", "Measuring"));
    set_status_middle(tr_("Started", "Started"));
    ui->change_address_Action->setEnabled(false);
    ui->change_addr_btn->hide();
    // The table names the transmitter of the run: no other may be picked meanwhile.
    ui->slaveaddr_combo->setEnabled(false);
}

void Tmain_Form::stop_btnClick()
{
    fSession->stop_run();
}

void Tmain_Form::run_ended(const session::RunEnded &ended)
{
    ui->monitor->run_ended();
    if (ended.by_user) {
        set_led(1);
        set_status_left(tr_("Measuring", "Measuring"));
        set_status_middle(tr_("stop", "Stop"));
    }
    ui->change_address_Action->setEnabled(true);
    ui->change_addr_btn->show();
    ui->slaveaddr_combo->setEnabled(true);
    if (fWindows.table)
        fWindows.table->Set_time_axis_enabled(true);
}

void Tmain_Form::update_single_meas(const session::Measurement &m)
{
    ui->monitor->show_measurement(m);
    if (!f_memory_error)
        f_status_bar->blink(f_blink);
}

void Tmain_Form::updateGui_meas(const session::Measurement &m)
{
    ui->monitor->add_measurement(m);
    // The monitor's new row is the table's too.
    if (fWindows.table)
        fWindows.table->row_recorded();
    f_status_bar->blink(f_blink);
    set_status_left(tr_("Measuring", "Measuring"));
    set_status_middle(tr_("Active", "Active"));
    if (f_device_read)
        ui->dev_status_ed->setText(device_texts::status_text(m.status, tr_));
}

void Tmain_Form::on_comm_error(long long wParam, long long)
{
    if (wParam != 0)
        return;
    set_led(2);
    show_scan_error({fSession->adapter_open(), fSession->adapter_lost()});
    // After the panel: during a run the monitor's own words stand, whatever the adapter did.
    set_status_left(tr_("Measuring", "Measuring"));
    set_status_middle(tr_("comm_err", "Communication Error"));
}

void Tmain_Form::recording_problem(const session::RecordingProblem &problem)
{
    // Told once when it begins and once when it ends; the run goes on either way.
    fLog->addEvent(catCore, problem.ok ? lNormal : lError, problem.text);
    set_led(problem.ok ? 1 : 2);
    set_status_middle(problem.ok ? tr_("recording_again", "Runs are recorded again; the measurements kept meanwhile were written.")
                                 : tr_("recording_failed", "Runs are not recorded: the file of runs cannot be written. The run goes on; the log says why."));
}

void Tmain_Form::updateGui(const QString &message)
{
    set_status(tr_("meas_thread", "Measuring Thread"), message, QString());
}

void Tmain_Form::chart_cleared()
{
    f_runs->closed();
    fSession->mark_break();
    if (fWindows.table)
        fWindows.table->init();
    // A run goes on measuring the same transmitter: the table keeps naming it.
    if (ui->monitor->running())
        fill_table_identity();
}

void Tmain_Form::show_recorded_run(std::shared_ptr<TMeasurementStore> store, const run_database::Run &run)
{
    ui->monitor->show_run(store, run.range_min, run.range_max);
    if (fWindows.table) {
        // What an export of the run from the command line names too.
        const table_export::Identity known = run_export::identity(run, fIni->Get_pressure_digits());
        fWindows.table->show_run(store, {known.scaling, known.calib_date, known.unique_code, known.slave_addr});
    }
    ui->monitor->set_run_caption(recorded_runs_text::title(run));
}

void Tmain_Form::table_btnClick()
{
    if (!fWindows.table)
        return;
    fWindows.table->show();
    fWindows.table->raise();
}
