// The measurement workflow: start and stop a run, and each measurement passed on to the monitor
// view and the table.
#include "app/main.h"

#include "app/adapter_handover.h"
#include "app/changes_left.h"
#include "services/log/logFile.h"
#include "app/main_parts.h"
#include "app/new_address_group.h"
#include "app/status_bar.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/table_view.h"
#include "ui_main.h"
#include "app/window_text.h"

using window_text::tr_;

#include <QDateTime>

void Tmain_Form::start_btnClick()
{
    if (fParts->scan_running())
        fScan->Stop();
    fParts->fill_table_identity();
    if (fParts->fWindows.table)
        fParts->fWindows.table->Set_time_axis_enabled(false);
    fParts->f_handover->arm(meas_start_Timer);
}

// The table names the transmitter shown in the device panel.
void Tmain_Form::Parts::fill_table_identity()
{
    if (!fWindows.table)
        return;
    fWindows.table->Set_scaling(w.ui->scaling_Ed->text());
    fWindows.table->Set_calib_date(w.ui->calibrationdate_ed->text());
    fWindows.table->Set_slave_addr(w.ui->slaveaddr_combo->currentText());
    fWindows.table->Set_dev_status(w.ui->dev_status_ed->text());
    fWindows.table->Set_unique_code(w.ui->uniquecode_ed->text());
    if (const std::optional<int> left = changes_left::left(f_new_address->shown()))
        fWindows.table->Set_addr_left(QString::number(*left));
}

void Tmain_Form::Parts::meas_start_TimerTimer()
{
    if (!w.f_meas_allowed || !f_handover->available())
        return;
    w.meas_start_Timer.stop();
    w.ui->monitor->run_started(QDateTime::currentDateTime());
    w.set_status_left(tr_("Measuring", "Measuring"));
    w.set_status_middle(tr_("Started", "Started"));
    w.ui->change_address_Action->setEnabled(false);
    w.ui->change_addr_btn->hide();
    // The table names the transmitter of the run: no other may be picked meanwhile.
    w.ui->slaveaddr_combo->setEnabled(false);
    w.fMeas = TMeasThread::Create(&w, &w, &w.fOrvel_Handler, uint32_t(w.ui->monitor->delay()));
}

void Tmain_Form::stop_btnClick()
{
    if (!fParts->meas_running())
        return;
    fMeas->Stop();
    ui->monitor->run_ended();
    set_led(1);
    set_status_left(tr_("Measuring", "Measuring"));
    set_status_middle(tr_("stop", "Stop"));
    ui->change_address_Action->setEnabled(true);
    ui->change_addr_btn->show();
    ui->slaveaddr_combo->setEnabled(true);
    fParts->f_handover->arm(scan_start_Timer);
    if (fParts->fWindows.table)
        fParts->fWindows.table->Set_time_axis_enabled(true);
}

session::Measurement Tmain_Form::Parts::measurement(bool in_run) const
{
    const T_OrvelDevice &device = w.fOrvel_Handler->Get_Device();
    session::Measurement m;
    m.time = QDateTime::currentDateTime();
    m.address = device.Get_slave_addr();
    m.pressure_raw = device.Get_pressure_U16_raw();
    m.temperature_raw = device.Get_temperature_U16_raw();
    m.pressure = device.Get_pressure();
    m.temperature = device.Get_temperature();
    m.pressure_text = device.Get_pressure_as_String();
    m.temperature_text = device.Get_temperature_as_String();
    m.status = device.Get_status();
    m.in_run = in_run;
    return m;
}

void Tmain_Form::update_single_meas()
{
    ui->monitor->show_measurement(fParts->measurement(false));
    fParts->f_status_bar->blink(f_blink);
}

void Tmain_Form::updateGui_meas()
{
    ui->monitor->add_measurement(fParts->measurement(true));
    // The monitor's new row is the table's too.
    if (fParts->fWindows.table)
        fParts->fWindows.table->row_recorded();
    fParts->f_status_bar->blink(f_blink);
    set_status_left(tr_("Measuring", "Measuring"));
    set_status_middle(tr_("Active", "Active"));
    update_status_Gui();
}

void Tmain_Form::on_comm_error(long long wParam, long long)
{
    if (wParam != 0)
        return;
    set_led(2);
    show_scan_error();
    // After the panel: during a run the monitor's own words stand, whatever the adapter did.
    set_status_left(tr_("Measuring", "Measuring"));
    set_status_middle(tr_("comm_err", "Communication Error"));
}

void Tmain_Form::updateGui(const QString &message)
{
    set_status(tr_("meas_thread", "Measuring Thread"), message, QString());
    // A run that ended on an error is over: back to the idle monitor.
    if (ui->monitor->running()) {
        ui->monitor->run_ended();
        ui->change_address_Action->setEnabled(true);
        ui->change_addr_btn->show();
        ui->slaveaddr_combo->setEnabled(true);
        if (fParts->fWindows.table)
            fParts->fWindows.table->Set_time_axis_enabled(true);
    }
}

void Tmain_Form::Parts::chart_cleared()
{
    if (fWindows.table)
        fWindows.table->init();
    // A run goes on measuring the same transmitter: the table keeps naming it.
    if (w.ui->monitor->running())
        fill_table_identity();
}

void Tmain_Form::table_btnClick()
{
    if (!fParts->fWindows.table)
        return;
    fParts->fWindows.table->show();
    fParts->fWindows.table->raise();
}
