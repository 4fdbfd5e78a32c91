// The scan workflow: the device panel, the changes-left display and the memory map.
#include "main.h"

#include "device_memory.h"
#include "logFile.h"
#include "monitor_chart.h"
#include "number_pictures.h"
#include "table_view.h"
#include "ui_main.h"

#include <cmath>

namespace {

const QString Placeholder = QStringLiteral("-------");
const QString NoChanges = QStringLiteral("************");
constexpr TColor Grey = 0x808080;
constexpr TColor Silver = 0xC0C0C0;

} // namespace

void Tmain_Form::scan_start_TimerTimer()
{
    // One scan worker at a time, also when "Detect Dongle" is pressed while one runs.
    if (scan_running() && !fScan->isInterruptionRequested()) {
        scan_start_Timer.stop();
        return;
    }
    // Wait until the stopped worker is gone; after it nobody holds the adapter, whichever flag
    // the last user left behind.
    if (f_closing || f_readdressing || worker_exists())
        return;
    scan_start_Timer.stop();
    start_scan_worker();
}

void Tmain_Form::arm_start_timer(QTimer &timer)
{
    // The last request wins: two armed timers could hand the adapter to two users.
    for (QTimer *t : {&scan_start_Timer, &meas_start_Timer, &re_address_Timer})
        if (t != &timer)
            t->stop();
    if (!f_closing)
        timer.start();
}

bool Tmain_Form::adapter_claimed() const
{
    return f_closing || f_readdressing || worker_exists() || meas_start_Timer.isActive() ||
           re_address_Timer.isActive();
}

void Tmain_Form::slaveaddr_comboSelect(int index)
{
    bool ok = false;
    const int address = ui->slaveaddr_combo->itemText(index).mid(2).toInt(&ok, 16);
    if (ok)
        fOrvel_Handler->Set_preferred_addr(address);
}

void Tmain_Form::start_scan_worker()
{
    fScan = TScanThread::Create(this, this, &fOrvel_Handler, 500);
}

// Says why nothing is found when the adapter itself is the reason; told once in the log.
void Tmain_Form::show_adapter_problem()
{
    const int problem = !fOrvel_Handler->Get_adapter_open() ? NoAdapter
                        : fOrvel_Handler->Get_adapter_lost() ? SilentAdapter
                                                             : NoProblem;
    if (problem != NoProblem) {
        set_status_left(tr_("Error", "Error"));
        set_status_middle(problem == NoAdapter
                              ? tr_("no_adapter", "No IO-Warrior adapter found")
                              : tr_("adapter_silent", "The IO-Warrior adapter does not answer"));
    }
    if (problem != f_adapter_problem && problem != NoProblem)
        fLog->addEvent(catCommunication, lError,
                       problem == NoAdapter ? QStringLiteral("No IO-Warrior adapter found")
                                            : QStringLiteral("The IO-Warrior adapter does not answer"));
    f_adapter_problem = problem;
}

void Tmain_Form::show_slaveAddr()
{
    f_adapter_problem = NoProblem;
    set_led(1);
    const QString own = T_SlaveAddr::hex_text(fOrvel_Handler->Get_Device().Get_slave_addr());
    ui->slaveaddr_combo->clear();
    for (const T_SlaveAddr &entry : fOrvel_Handler->Get_slave_addr_list())
        ui->slaveaddr_combo->addItem(entry.Get_hex_addr());
    ui->slaveaddr_combo->setCurrentIndex(ui->slaveaddr_combo->findText(own));
    set_status_left(tr_("IIC_dev", "IIC-Device"));
    set_status_middle(tr_("dev_succ", "Device successfully detected -> Address") + QStringLiteral(" : ") + own);
    rebuild_new_address_list();
}

void Tmain_Form::show_pressure_scaling()
{
    set_led(1);
    set_status_left(tr_("scan", "Scan"));
    set_status_middle(tr_("dev_succ_detect", "Device succesfully detected"));
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    f_device_read = true;
    ui->scaling_Ed->setText(fOrvel_Handler->Get_PressureScalingString());
    ui->calibrationdate_ed->setText(device.Get_Calib_Date());
    ui->uniquecode_ed->setText(fOrvel_Handler->Get_ProductString());

    const double pmin = device.Get_pmin(), pmax = device.Get_pmax();
    const double fullScale = (pmax - pmin) / 100;
    fChart->set_pressure_full_scale(fullScale);
    // Every scan cycle comes here; resetting the bar only for a new range keeps it from
    // dropping to zero between two measurements.
    const double scaleMax = pmax + std::nearbyint(10 * fullScale);
    TBarDisplay &bar = *ui->pressure_bar;
    if (bar.GetScale_Min() != -1.0 || bar.GetScale_Max() != scaleMax) {
        bar.SetScale_Min(-1.0);
        bar.SetScale_Max(scaleMax);
        bar.SetPosition(0);
    }
    if (pmax != pmin) {
        TAnalogDisplay &gauge = *ui->AnalogDisplay;
        gauge.SetIndMaximum(0);
        gauge.SetScaleMin(pmin);
        gauge.SetScaleMax(pmax);
        gauge.SetIndMinimum(pmax);
        gauge.SetDigits(2);
    }
}

void Tmain_Form::set_changes_left(const QString &text, bool buttonEnabled, int picture)
{
    ui->changes_left->setText(text);
    ui->change_addr_btn->setEnabled(buttonEnabled && ui->change_address_Action->isEnabled() &&
                                    ui->new_slaveaddr_combo->currentIndex() >= 0);
    ui->number->setPixmap(QPixmap::fromImage(number_pictures::picture(picture)));
}

void Tmain_Form::update_status_Gui()
{
    T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    ui->dev_status_ed->setText(f_device_read ? device_status_text(device.Get_status()) : Placeholder);
    if (!f_device_read)
        return; // the empty model tells nothing about changes left either
    if (fOrvel_Handler->check_memory_is_zero()) {
        show_changes_left(NotCalibrated);
        return;
    }
    const int page = device.Get_memory_status().current_page;
    if (fWindows.table)
        fWindows.table->Set_addr_left(QString::number(3 - page));
    show_changes_left(page);
}

// The sentence for a page (0 … 3), the not-calibrated case or the placeholder, in the current
// language; kept so that a new language can be shown without reading the device model.
void Tmain_Form::show_changes_left(int state)
{
    f_changes_shown = state;
    switch (state) {
    case NoChangesShown:
        ui->changes_left->setText(NoChanges);
        ui->change_addr_btn->setEnabled(false);
        ui->number->setPixmap(QPixmap::fromImage(number_pictures::picture(number_pictures::Unknown)));
        break;
    case NotCalibrated:
        set_changes_left(tr_("not_allowed", "Device NOT calibrated! Change of address not possible") + u'!', false,
                         number_pictures::Unknown);
        break;
    case 0:
        set_changes_left(tr_("three", "Three more changes of slave address left") + u'.', true, 0);
        break;
    case 1:
        set_changes_left(tr_("two", "Two more changes of slave address left") + u'.', true, 1);
        break;
    case 2:
        set_changes_left(tr_("one", "One change of slave address left") + u'.', true, 2);
        break;
    default:
        set_changes_left(tr_("none", "Change of address not possible") + u'!', false, 3);
        break;
    }
}

void Tmain_Form::memory_map_display()
{
    if (!fWindows.memory)
        return;
    T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    fWindows.memory->Setmemory(device.Get_memory_page());
    fWindows.memory->Setverify_memory(device.Get_verify_memory_page());
    fWindows.memory->Setstatus(device.Get_memory_status());
}

void Tmain_Form::show_scan_error()
{
    set_led(2);
    show_adapter_problem();
    f_device_read = false;
    for (QLineEdit *field : {ui->scaling_Ed, ui->calibrationdate_ed, ui->uniquecode_ed, ui->dev_status_ed})
        field->setText(Placeholder);
    ui->slaveaddr_combo->clear();
    ui->slaveaddr_combo->setPlaceholderText(Placeholder);
    ui->pressuredisplay->setText(Placeholder);
    ui->Temperaturedisplay->setText(Placeholder);
    if (fWindows.memory)
        fWindows.memory->clean_grid();
    ui->AnalogDisplay->SetFaceColor(Grey);
    ui->AnalogDisplay->SetMinColor(Silver);
    ui->thermometer->SetFaceColor(Grey);
    ui->pressure_bar->SetFaceColor(Grey);
    show_changes_left(NoChangesShown);
}

// These drive the adapter from the main thread: only while no worker runs.
void Tmain_Form::ScanDeviceActionExecute()
{
    if (scan_running() || meas_running())
        return;
    if (fOrvel_Handler->get_device_scaling()) {
        show_pressure_scaling();
        read_memory_image(false);
        update_status_Gui();
    } else {
        set_led(2);
        set_status_left(tr_("scan", "Scan"));
        set_status_middle(tr_("dev_not", "Device NOT detected"));
    }
}

void Tmain_Form::read_memory_image(bool show)
{
    if (scan_running() || meas_running())
        return;
    T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    if (fOrvel_Handler->get_device_memory()) {
        set_led(1);
        set_status_left(tr_("scan", "Scan"));
        set_status_middle(tr_("mem_img_succ", "Memory image successfully read from Device"));
        update_status_Gui();
        if (show && fWindows.memory) {
            fWindows.memory->Setmemory(device.Get_memory_page());
            fWindows.memory->Setstatus(device.Get_memory_status());
            fWindows.memory->show();
            fWindows.memory->raise();
        }
    } else {
        set_led(2);
        set_status_left(tr_("scan_err", "Scan Error"));
        set_status_middle(tr_("mem_img_err", "Memory image not read from Device"));
    }
}

void Tmain_Form::show_memory_map_ActionExecute()
{
    memory_map_display();
    if (fWindows.memory) {
        fWindows.memory->show();
        fWindows.memory->raise();
    }
}
