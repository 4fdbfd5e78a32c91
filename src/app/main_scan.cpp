// The scan workflow: the device panel and the memory map.
#include "app/main.h"

#include "app/adapter_handover.h"
#include "app/changes_left.h"
#include "views/windows/device_memory.h"
#include "app/device_texts.h"
#include "services/log/logFile.h"
#include "app/main_parts.h"
#include "app/new_address_group.h"
#include "app/number_pictures.h"
#include "app/status_bar.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/table_view.h"
#include "ui_main.h"
#include "app/window_text.h"

using window_text::tr_;

namespace {

const QString Placeholder = QStringLiteral("-------");

} // namespace

void Tmain_Form::Parts::scan_start_TimerTimer()
{
    // One scan worker at a time, also when "Detect Dongle" is pressed while one runs.
    if (scan_running() && !w.fScan->isInterruptionRequested()) {
        w.scan_start_Timer.stop();
        return;
    }
    // Wait until the stopped worker is gone; after it nobody holds the adapter, whichever flag
    // the last user left behind.
    if (!f_handover->available())
        return;
    w.scan_start_Timer.stop();
    w.fScan = TScanThread::Create(&w, &w, &w.fOrvel_Handler, 500);
}

void Tmain_Form::show_slaveAddr()
{
    fParts->f_status_bar->adapter_found();
    set_led(1);
    const QString own = T_SlaveAddr::hex_text(fOrvel_Handler->Get_Device().Get_slave_addr());
    ui->slaveaddr_combo->clear();
    for (const T_SlaveAddr &entry : fOrvel_Handler->Get_slave_addr_list())
        ui->slaveaddr_combo->addItem(entry.Get_hex_addr());
    ui->slaveaddr_combo->setCurrentIndex(ui->slaveaddr_combo->findText(own));
    set_status_left(tr_("IIC_dev", "IIC-Device"));
    set_status_middle(tr_("dev_succ", "Device successfully detected -> Address") + QStringLiteral(" : ") + own);
    fParts->f_new_address->offer_free_addresses();
}

void Tmain_Form::show_pressure_scaling()
{
    set_led(1);
    set_status_left(tr_("scan", "Scan"));
    set_status_middle(tr_("dev_succ_detect", "Device succesfully detected"));
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    fParts->f_device_read = true;
    ui->scaling_Ed->setText(fOrvel_Handler->Get_PressureScalingString());
    ui->calibrationdate_ed->setText(device.Get_Calib_Date());
    ui->uniquecode_ed->setText(fOrvel_Handler->Get_ProductString());
    ui->monitor->show_range(device.Get_pmin(), device.Get_pmax());
}

void Tmain_Form::update_status_Gui()
{
    T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    ui->dev_status_ed->setText(fParts->f_device_read ? device_texts::status_text(device.Get_status(), tr_) : Placeholder);
    if (!fParts->f_device_read)
        return; // the empty model tells nothing about changes left either
    if (fOrvel_Handler->check_memory_is_zero()) {
        fParts->f_new_address->show_changes_left(changes_left::NotCalibrated);
        return;
    }
    const int page = device.Get_memory_status().current_page;
    if (fParts->fWindows.table)
        fParts->fWindows.table->Set_addr_left(QString::number(3 - page));
    fParts->f_new_address->show_changes_left(page);
}

void Tmain_Form::memory_map_display()
{
    if (!fParts->fWindows.memory)
        return;
    T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    fParts->fWindows.memory->Setmemory(device.Get_memory_page());
    fParts->fWindows.memory->Setverify_memory(device.Get_verify_memory_page());
    fParts->fWindows.memory->Setstatus(device.Get_memory_status());
}

void Tmain_Form::Parts::show_memory_map()
{
    w.memory_map_display();
    if (fWindows.memory) {
        fWindows.memory->show();
        fWindows.memory->raise();
    }
}

void Tmain_Form::show_scan_error()
{
    set_led(2);
    fParts->f_status_bar->show_adapter_problem(fOrvel_Handler->Get_adapter_open(), fOrvel_Handler->Get_adapter_lost(),
                                          *fLog);
    fParts->f_device_read = false;
    for (QLineEdit *field : {ui->scaling_Ed, ui->calibrationdate_ed, ui->uniquecode_ed, ui->dev_status_ed})
        field->setText(Placeholder);
    ui->slaveaddr_combo->clear();
    ui->slaveaddr_combo->setPlaceholderText(Placeholder);
    ui->monitor->show_no_device();
    if (fParts->fWindows.memory)
        fParts->fWindows.memory->clean_grid();
    fParts->f_new_address->show_changes_left(changes_left::NoneShown);
}

// These drive the adapter from the main thread: only while no worker runs.
void Tmain_Form::Parts::ScanDeviceActionExecute()
{
    if (scan_running() || meas_running())
        return;
    if (w.fOrvel_Handler->get_device_scaling()) {
        w.show_pressure_scaling();
        w.read_memory_image(false);
        w.update_status_Gui();
    } else {
        w.set_led(2);
        w.set_status_left(tr_("scan", "Scan"));
        w.set_status_middle(tr_("dev_not", "Device NOT detected"));
    }
}

void Tmain_Form::read_memory_image(bool show)
{
    if (fParts->scan_running() || fParts->meas_running())
        return;
    T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    if (fOrvel_Handler->get_device_memory()) {
        set_led(1);
        set_status_left(tr_("scan", "Scan"));
        set_status_middle(tr_("mem_img_succ", "Memory image successfully read from Device"));
        update_status_Gui();
        if (show && fParts->fWindows.memory) {
            fParts->fWindows.memory->Setmemory(device.Get_memory_page());
            fParts->fWindows.memory->Setstatus(device.Get_memory_status());
            fParts->fWindows.memory->show();
            fParts->fWindows.memory->raise();
        }
    } else {
        set_led(2);
        set_status_left(tr_("scan_err", "Scan Error"));
        set_status_middle(tr_("mem_img_err", "Memory image not read from Device"));
    }
}
