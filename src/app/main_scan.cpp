// The scan workflow: the device panel and the memory map.
#include "app/main.h"

#include "app/changes_left.h"
#include "views/windows/device_memory.h"
#include "app/device_texts.h"
#include "services/log/logFile.h"
#include "session/session.h"
#include "app/new_address_group.h"
#include "app/number_pictures.h"
#include "app/status_bar.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/table_view.h"
#include "ui_main.h"
#include "services/settings/window_text.h"

using window_text::tr_;

namespace {

const QString Placeholder = QStringLiteral("-------");

} // namespace

void Tmain_Form::show_slaveAddr(const session::BusFound &bus)
{
    f_status_bar->adapter_found();
    // A memory error holds for the transmitter it was read from, until its next status says else:
    // the lamp must not flash green in between.
    if (bus.address != f_shown_address)
        f_memory_error = false;
    f_shown_address = bus.address;
    const QString own = T_SlaveAddr::hex_text(bus.address);
    ui->slaveaddr_combo->clear();
    for (int address : bus.addresses)
        ui->slaveaddr_combo->addItem(T_SlaveAddr::hex_text(address));
    ui->slaveaddr_combo->setCurrentIndex(ui->slaveaddr_combo->findText(own));
    if (!f_memory_error) {
        set_led(1);
        set_status_left(tr_("IIC_dev", "IIC-Device"));
        set_status_middle(tr_("dev_succ", "Device successfully detected -> Address") + QStringLiteral(" : ") + own);
    }
    f_new_address->offer_free_addresses(bus.addresses, bus.address);
    if (bus.addresses.isEmpty()) {
        f_device_read = false;
        ui->monitor->allow_start(false);
    }
}

void Tmain_Form::show_pressure_scaling(const session::Transmitter &transmitter)
{
    if (!f_memory_error) {
        set_led(1);
        set_status_left(tr_("scan", "Scan"));
        set_status_middle(tr_("dev_succ_detect", "Device succesfully detected"));
    }
    f_device_read = true;
    ui->scaling_Ed->setText(transmitter.range);
    ui->calibrationdate_ed->setText(transmitter.calibration_date);
    ui->uniquecode_ed->setText(transmitter.product_code);

    ui->monitor->show_range(transmitter.pmin, transmitter.pmax);
    ui->monitor->allow_start(true);
}

void Tmain_Form::update_status_Gui(const session::Transmitter &transmitter)
{
    ui->dev_status_ed->setText(f_device_read ? device_texts::status_text(transmitter.status, tr_) : Placeholder);
    f_memory_error = f_device_read && transmitter.memory_error();
    if (f_memory_error) {
        // Found after a write cut short or gone wrong: never a green lamp, and the way back.
        set_led(2);
        set_status_left(tr_("Error", "Error"));
        set_status_middle(tr_("memory_error_hint",
                              "The transmitter reports a memory error: write its before-image back from File, Re-addressing journal"));
    }
    if (!f_device_read)
        return; // the empty model tells nothing about changes left either
    if (!transmitter.calibrated) {
        f_new_address->show_changes_left(changes_left::NotCalibrated);
        return;
    }
    const int page = transmitter.memory_status.current_page;
    // A recorded run in the table keeps its own transmitter's identity.
    if (fWindows.table && !ui->monitor->showing_run())
        fWindows.table->Set_addr_left(QString::number(3 - page));
    f_new_address->show_changes_left(page);
}

void Tmain_Form::memory_map_display(const session::Transmitter &transmitter)
{
    if (!fWindows.memory)
        return;
    fWindows.memory->Setmemory(transmitter.memory);
    fWindows.memory->Setverify_memory(transmitter.verify_memory);
    fWindows.memory->Setstatus(transmitter.memory_status);
}

void Tmain_Form::show_memory_map()
{
    if (fWindows.memory) {
        fWindows.memory->show();
        fWindows.memory->raise();
    }
}

void Tmain_Form::show_scan_error(const session::ScanFailed &failed)
{
    set_led(2);
    f_status_bar->show_adapter_problem(failed, *fLog);
    f_device_read = false;
    f_memory_error = false;
    f_shown_address = -1;
    for (QLineEdit *field : {ui->scaling_Ed, ui->calibrationdate_ed, ui->uniquecode_ed, ui->dev_status_ed})
        field->setText(Placeholder);
    ui->slaveaddr_combo->clear();
    ui->slaveaddr_combo->setPlaceholderText(Placeholder);
    ui->monitor->show_no_device();
    ui->monitor->allow_start(false);
    if (fWindows.memory)
        fWindows.memory->clean_grid();
    f_new_address->show_changes_left(changes_left::NoneShown);
}

// These drive the adapter from the main thread: only while nobody else does.
void Tmain_Form::ScanDeviceActionExecute()
{
    if (fSession->worker_exists() || fSession->readdressing())
        return;
    if (fSession->read_identity()) {
        read_memory_image(false);
    } else {
        set_led(2);
        set_status_left(tr_("scan", "Scan"));
        set_status_middle(tr_("dev_not", "Device NOT detected"));
    }
}

void Tmain_Form::read_memory_image(bool show)
{
    if (fSession->worker_exists() || fSession->readdressing())
        return;
    if (fSession->read_memory()) {
        set_led(1);
        set_status_left(tr_("scan", "Scan"));
        set_status_middle(tr_("mem_img_succ", "Memory image successfully read from Device"));
        if (show)
            show_memory_map();
    } else {
        set_led(2);
        set_status_left(tr_("scan_err", "Scan Error"));
        set_status_middle(tr_("mem_img_err", "Memory image not read from Device"));
    }
}
