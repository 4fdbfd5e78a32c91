// The re-addressing workflow: a new slave address through write, verify, checksum and power cycle.
#include "main.h"

#include "device_memory.h"
#include "logFile.h"
#include "msgDialogForm.h"
#include "ui_main.h"

#include <QApplication>
#include <QThread>
#include <functional>

namespace {

constexpr int ResultYes = 6;

void pause_ms(int ms)
{
    QThread::msleep(ulong(ms));
}

// One step's texts: left status (translated unless `fixedLeft`), middle status and log lines.
struct StepTexts {
    const char *leftKey;
    const char *leftDefault;
    bool fixedLeft;
    const char *successKey;
    const char *successDefault;
    const char *successLog;
    const char *failureKey;
    const char *failureDefault;
    const char *failureLog;
};

const StepTexts DisableI2c = {nullptr, "IIC ", true, "IIC_disable_succ", "IIC-Mode successfully disabled",
                              "IIC-Mode successfully disabled", "IIC_disable_err", "IIC-Mode NOT disabled",
                              "IIC-Mode NOT disabled"};
const StepTexts DisableSpi = {nullptr, "SPI ", true, "spi_succ", "SPI Mode successfully disabled",
                              "SPI Mode successfully disabled", "spi_err", "SPI Mode NOT disabled",
                              "SPI Mode NOT disabled"};
const StepTexts PowerOff = {"OFF", "OFF", false, "succ_off", "Successfully switched OFF", "Successfully switched OFF",
                            "err_off", "Problems to switch OFF", "Problems to switch OFF"};
const StepTexts PowerOn = {"on", "ON", false, "succ_ON", "Successfully switched ON", "Successfully switched ON",
                           "err_ON", "Problems to switch ON", "Problems to switch ON"};
const StepTexts EnableI2c = {nullptr, "IIC-Mode", true, "IIC_enable_succ", "IIC-Mode successfully enabled",
                             "IIC-Mode successfully enabled", "IIC_not", "IIC-Mode could not be initialized",
                             "IIC-Mode could not be initialized"};
const StepTexts CommandMode = {"Command Mode", "Command Mode", false, "succ_cmd_mode",
                               "Command Mode successfully enabled", "Command Mode successfully enabled",
                               "err_cmd_mode", "Problems to enable Command Mode", "Problems to enable Command Mode"};
const StepTexts Write = {"Write", "Write", false, "mem_succ", "Memory successfully copied",
                         "Memory successfully copied", "err_cpy", "Problems to copy memory!",
                         "Problems to copy memory"};
const StepTexts Verify = {"Verify", "Verify", false, "succ_very", "Comparison of memory successfully executed",
                          "Verification of memory successfully executed", "err_very",
                          "Verification of memory failed !", "Verification of memory failed"};
const StepTexts Checksum = {"Checksum", "Checksum", false, "checksum_succ", "Checksum successfully generated",
                            "Checksum successfully generated", "err_checksum", "Problems to generate checksum !",
                            "Problems to generate checksum"};
const StepTexts PowerOffAfter = {"OFF", "OFF", false, "succ_off_re", "Successfully switched OFF after re-addressing",
                                 "Successfully switched OFF after re-addressing", "err_off_re",
                                 "Problems to switch OFF after re-addressing",
                                 "Problems to switch OFF after re-addressing"};
const StepTexts PowerOnAfter = {"on", "ON", false, "succ_on_re", "Successfully switched ON after re-addressing",
                                "Successfully switched ON after re-addressing", "err_on_re",
                                "Problems to switch ON after re-addressing",
                                "Problems to switch ON after re-addressing"};

} // namespace

void Tmain_Form::rebuild_new_address_list()
{
    const int own = fOrvel_Handler->Get_Device().Get_slave_addr();
    f_new_address_list.clear();
    ui->new_slaveaddr_combo->clear();
    for (int a = 0; a <= 0x7F; ++a) {
        if (a == own)
            continue;
        T_SlaveAddr entry;
        entry.Set_int_Addr(a);
        f_new_address_list.append(entry);
        ui->new_slaveaddr_combo->addItem(entry.Get_hex_addr());
    }
    const int picked = ui->new_slaveaddr_combo->findText(f_selected_addr);
    ui->new_slaveaddr_combo->setCurrentIndex(picked >= 0 ? picked : 0);
}

void Tmain_Form::new_slaveaddr_comboSelect(int index)
{
    f_selected_addr = ui->new_slaveaddr_combo->itemText(index);
}

void Tmain_Form::change_address_ActionExecute()
{
    if (scan_running())
        fScan->Stop();
    if (meas_running())
        fMeas->Stop();
    re_address_Timer.start();
}

void Tmain_Form::re_address_TimerTimer()
{
    if (!f_readdress_allowed)
        return;
    re_address_Timer.stop();
    readdress_device();
}

void Tmain_Form::readdress_device()
{
    // The window does not respond while the procedure runs; show that work is under way.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct CursorRestore {
        ~CursorRestore() { QApplication::restoreOverrideCursor(); }
    } restoreCursor;

    T_Orvel_Handler &h = *fOrvel_Handler;
    auto report = [this](bool ok, const StepTexts &t) {
        set_led(ok ? 1 : 2);
        if (ok) {
            set_status_left(t.fixedLeft ? QString::fromLatin1(t.leftDefault) : tr_(t.leftKey, t.leftDefault));
            set_status_middle(tr_(t.successKey, t.successDefault));
        } else {
            set_status_left(tr_("Error", "Error"));
            set_status_middle(tr_(t.failureKey, t.failureDefault));
        }
        fLog->addEvent(catCommunication, ok ? lNormal : lError,
                       QString::fromLatin1(ok ? t.successLog : t.failureLog));
        return ok;
    };
    // A step runs only while every step before it succeeded.
    auto step = [&](bool ok, const StepTexts &t, const std::function<bool()> &operation) {
        return ok ? report(operation(), t) : false;
    };
    // Power-cycles the transmitter out of command mode without writing anything.
    auto leaveCommandMode = [&] {
        h.disable_SPI();
        pause_ms(10);
        h.switch_OFF();
        pause_ms(10);
        h.switch_ON();
        pause_ms(10);
        h.enable_IIC();
    };

    report(h.disable_IIC(), DisableI2c);
    pause_ms(10);
    bool ok = report(h.disable_SPI(), DisableSpi);
    pause_ms(10);
    ok = step(ok, PowerOff, [&] { return h.switch_OFF(); });
    if (ok)
        pause_ms(10);
    ok = step(ok, PowerOn, [&] { return h.switch_ON(); });
    pause_ms(10);
    ok = step(ok, EnableI2c, [&] { return h.enable_IIC(); });
    pause_ms(10);
    ok = step(ok, CommandMode, [&] { return h.switch_command_mode(); });
    update_status_Gui();

    const int index = ui->new_slaveaddr_combo->currentIndex();
    if (ok && index >= 0 && index < f_new_address_list.size()) {
        const T_SlaveAddr &target = f_new_address_list[index];
        const QString question = QStringLiteral("Do you wish to continue with assigning new slave address: ") +
                                 target.Get_hex_addr() + QStringLiteral(" to device ?");
        // A dialog closed without an answer counts as No.
        if (TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}) != ResultYes) {
            leaveCommandMode();
            f_scan_allowed = true;
            scan_start_Timer.start();
            fLog->addEvent(catCommunication, lNormal, QStringLiteral("User canceled re-addressing procedure"));
            return;
        }
        T_DeviceMemory &image = h.Get_Device().Get_memory_page();
        // Never write an image that the last scan did not read completely.
        ok = step(ok, Write, [&] {
            if (!image.Get_complete())
                return false;
            image.Get_COM_Config().Set_hByte(0x00);
            image.Get_COM_Config().Set_lByte(uint8_t(target.Get_int_Addr()));
            return h.set_device_memory();
        });
        if (!ok && !image.Get_complete())
            leaveCommandMode();
        ok = step(ok, Verify, [&] {
            const bool equal = h.compare_memory();
            memory_map_display();
            if (fWindows.memory) {
                fWindows.memory->show();
                fWindows.memory->raise();
            }
            return equal;
        });
        ok = step(ok, Checksum, [&] { return h.generate_checksum(); });
        ok = step(ok, PowerOffAfter, [&] { return h.switch_OFF(); });
        if (ok)
            pause_ms(50);
        ok = step(ok, PowerOnAfter, [&] { return h.switch_ON(); });
    } else {
        ok = false;
    }
    update_status_Gui();
    if (ok) {
        f_scan_allowed = true;
        scan_start_Timer.start();
        fLog->addEvent(catCommunication, lNormal, QStringLiteral("Re-addressing succesfully completed"));
    } else {
        fLog->addEvent(catCommunication, lError, QStringLiteral("Error re-addressing device"));
    }
}
