// The measurement workflow: start and stop a run, show each measurement, the speed slider and
// the chart/gauge switch.
#include "app/main.h"

#include "session/adapter_handover.h"
#include "app/changes_left.h"
#include "views/chart/chart.h"
#include "services/log/logFile.h"
#include "app/main_parts.h"
#include "views/chart/monitor_chart.h"
#include "app/new_address_group.h"
#include "app/status_bar.h"
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
    w.ui->stop_btn->show();
    w.ui->start_btn->hide();
    fChart->start_run(QDateTime::currentDateTime());
    w.set_status_left(tr_("Measuring", "Measuring"));
    w.set_status_middle(tr_("Started", "Started"));
    w.ui->change_address_Action->setEnabled(false);
    w.ui->change_addr_btn->hide();
    // The table names the transmitter of the run: no other may be picked meanwhile.
    w.ui->slaveaddr_combo->setEnabled(false);
    w.fMeas = TMeasThread::Create(&w, &w, &w.fOrvel_Handler, uint32_t(w.ui->TrackBar1->value()));
}

void Tmain_Form::stop_btnClick()
{
    if (!fParts->meas_running())
        return;
    fMeas->Stop();
    ui->stop_btn->hide();
    ui->start_btn->show();
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

// Numbers, bars and gauge from the device model.
void Tmain_Form::Parts::show_measurement_values()
{
    const T_OrvelDevice &device = w.fOrvel_Handler->Get_Device();
    // A new face colour redraws the scale without the bar; the positions that follow draw it.
    w.ui->pressure_bar->SetFaceColor(0xFFFFFF);
    w.ui->thermometer->SetFaceColor(0xFFFFFF);
    w.ui->thermometer->SetPosition(device.Get_temperature());
    w.ui->pressure_bar->SetPosition(device.Get_pressure());
    w.ui->pu16_ed->setText(QString::number(device.Get_pressure_U16_raw()));
    w.ui->Tu16_ed->setText(QString::number(device.Get_temperature_U16_raw()));
    w.ui->pressuredisplay->setText(device.Get_pressure_as_String());
    w.ui->Temperaturedisplay->setText(device.Get_temperature_as_String());
    w.ui->AnalogDisplay->SetMinColor(fChart->pressure_color());
    w.ui->AnalogDisplay->SetFaceColor(fChart->back_color());
    w.ui->AnalogDisplay->SetPosition(device.Get_pressure());
}

void Tmain_Form::update_single_meas()
{
    fParts->show_measurement_values();
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    fParts->fChart->initial_ranges(device.Get_pressure(), device.Get_temperature());
    fParts->f_status_bar->blink(f_blink);
}

void Tmain_Form::updateGui_meas()
{
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    fParts->fChart->add_measurement(QDateTime::currentDateTime(), device.Get_pressure(), device.Get_temperature(),
                            device.Get_pressure_U16_raw(), device.Get_temperature_U16_raw());
    fParts->show_measurement_values();
    // The chart's point is the table's row too.
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
    if (!ui->stop_btn->isHidden()) {
        ui->stop_btn->hide();
        ui->start_btn->show();
        ui->change_address_Action->setEnabled(true);
        ui->change_addr_btn->show();
        ui->slaveaddr_combo->setEnabled(true);
        if (fParts->fWindows.table)
            fParts->fWindows.table->Set_time_axis_enabled(true);
    }
}

void Tmain_Form::TrackBar1Change(int position)
{
    // The wait between two measurements, beside the slider that sets it.
    ui->speed_value_Label->setText(QStringLiteral("%1 ms").arg(position));
    if (fParts->meas_running())
        fMeas->Set_delay(uint32_t(position));
}

void Tmain_Form::switch_buttonClick()
{
    const bool chartVisible = ui->chart_stack->currentWidget() != ui->chart_page;
    ui->chart_stack->setCurrentWidget(chartVisible ? ui->chart_page : ui->gauge_page);
    ui->switch_button->setChecked(chartVisible);
    fParts->show_switch_caption();
    if (chartVisible)
        return;
    collapse_sidebar();
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    TAnalogDisplay &gauge = *ui->AnalogDisplay;
    if (device.Get_pmax() != device.Get_pmin()) {
        gauge.SetIndMaximum(0);
        gauge.SetIndMinimum(device.Get_pmax());
        gauge.SetScaleMin(device.Get_pmin());
        gauge.SetScaleMax(device.Get_pmax());
        gauge.SetDigits(2);
    }
    gauge.SetMinColor(fParts->fChart->pressure_color());
    gauge.SetFaceColor(fParts->fChart->back_color());
}

void Tmain_Form::table_btnClick()
{
    if (!fParts->fWindows.table)
        return;
    fParts->fWindows.table->show();
    fParts->fWindows.table->raise();
}
