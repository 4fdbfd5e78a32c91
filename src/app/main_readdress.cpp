// The re-addressing workflow: a new slave address through write, verify, checksum and power cycle.
#include "main.h"

#include "device_memory.h"
#include "logFile.h"
#include "msgDialogForm.h"
#include "readdress.h"
#include "ui_main.h"

#include <QApplication>
#include <QSet>

namespace {

constexpr int ResultYes = 6;

} // namespace

// One step's texts: left status (translated unless `fixedLeft`), middle status and log lines.
struct Tmain_Form::StepTexts {
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

namespace {
using StepTexts = Tmain_Form::StepTexts;

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

const StepTexts NewAddress = {"readdr_address", "Address", false, "new_addr_succ",
                              "Transmitter answers at the new address", "Transmitter answers at the new address",
                              "new_addr_err", "Transmitter does not answer at the new address with the written memory",
                              "Transmitter does not answer at the new address with the written memory"};

const StepTexts *texts_of(readdress::Step step)
{
    using readdress::Step;
    switch (step) {
    case Step::DisableI2c: return &DisableI2c;
    case Step::DisableSpi: return &DisableSpi;
    case Step::SwitchOff: return &PowerOff;
    case Step::SwitchOn: return &PowerOn;
    case Step::EnableI2c: return &EnableI2c;
    case Step::CommandMode: return &CommandMode;
    case Step::Write: return &Write;
    case Step::Verify: return &Verify;
    case Step::Checksum: return &Checksum;
    case Step::SwitchOffAfter: return &PowerOffAfter;
    case Step::SwitchOnAfter: return &PowerOnAfter;
    case Step::NewAddress: return &NewAddress;
    default: return nullptr;
    }
}

} // namespace

void Tmain_Form::report_step(bool ok, const StepTexts &t)
{
    set_led(ok ? 1 : 2);
    if (ok) {
        set_status_left(t.fixedLeft ? QString::fromLatin1(t.leftDefault) : tr_(t.leftKey, t.leftDefault));
        set_status_middle(tr_(t.successKey, t.successDefault));
    } else {
        set_status_left(tr_("Error", "Error"));
        set_status_middle(tr_(t.failureKey, t.failureDefault));
    }
    fLog->addEvent(catCommunication, ok ? lNormal : lError, QString::fromLatin1(ok ? t.successLog : t.failureLog));
}

// Why nothing was written, in the user's language; the log gets a short English line.
QString Tmain_Form::refusal_reason(readdress::Refusal why)
{
    using readdress::Refusal;
    QString reason;
    const char *logged = "";
    switch (why) {
    case Refusal::AddressInUse:
        reason = tr_("refuse_in_use", "The new address is in use on the bus. Nothing was written.");
        logged = "Re-addressing refused: the new address is in use";
        break;
    case Refusal::Incomplete:
        reason = tr_("refuse_incomplete", "The memory image was not read completely from this transmitter. Nothing was written; let the scan read it again.");
        logged = "Re-addressing refused: memory image incomplete";
        break;
    case Refusal::NotCalibrated:
        reason = tr_("not_allowed", "Device NOT calibrated! Change of address not possible") + u'!';
        logged = "Re-addressing refused: device not calibrated";
        break;
    case Refusal::NoChangeLeft:
        reason = tr_("none", "Change of address not possible") + u'!';
        logged = "Re-addressing refused: no change left";
        break;
    case Refusal::MemoryError:
        reason = tr_("refuse_memory_error", "The transmitter reports a memory error, so its own memory image cannot be trusted. Nothing was written; giving it a new address needs a saved memory image.");
        logged = "Re-addressing refused: the transmitter reports a memory error";
        break;
    case Refusal::OtherProduct:
        reason = tr_("refuse_other_product", "The saved memory image belongs to a transmitter with another product code. Nothing was written.");
        logged = "Restore refused: the image belongs to another product code";
        break;
    default:
        reason = tr_("refuse_other_image", "The transmitter no longer holds the memory image that the scan read. Nothing was written; let the scan read it again.");
        logged = "Re-addressing refused: the transmitter holds another image";
        break;
    }
    fLog->addEvent(catCommunication, lError, QString::fromLatin1(logged));
    return reason;
}

void Tmain_Form::rebuild_new_address_list()
{
    // Every address that answered is taken: offering one would make two transmitters clash.
    QSet<int> taken{fOrvel_Handler->Get_Device().Get_slave_addr()};
    for (const T_SlaveAddr &found : fOrvel_Handler->Get_slave_addr_list())
        taken.insert(found.Get_int_Addr());
    f_new_address_list.clear();
    ui->new_slaveaddr_combo->clear();
    for (int a = 0; a <= 0x7F; ++a) {
        if (taken.contains(a))
            continue;
        T_SlaveAddr entry;
        entry.Set_int_Addr(a);
        f_new_address_list.append(entry);
        ui->new_slaveaddr_combo->addItem(entry.Get_hex_addr());
    }
    // No entry is picked for the user: the first one is the general-call address 0x00.
    ui->new_slaveaddr_combo->setCurrentIndex(ui->new_slaveaddr_combo->findText(f_selected_addr));
    show_changes_left(f_changes_shown);
}

void Tmain_Form::new_slaveaddr_comboSelect(int index)
{
    f_selected_addr = ui->new_slaveaddr_combo->itemText(index);
    show_changes_left(f_changes_shown);
}

void Tmain_Form::change_address_ActionExecute()
{
    if (scan_running())
        fScan->Stop();
    if (meas_running())
        fMeas->Stop();
    arm_start_timer(re_address_Timer);
}

void Tmain_Form::re_address_TimerTimer()
{
    // Every worker sets the flag at its end; before the first one nobody held the adapter.
    if (f_closing || worker_exists())
        return;
    re_address_Timer.stop();
    if (f_restore_image)
        restore_device();
    else
        readdress_device();
}

void Tmain_Form::readdress_device()
{
    // One user of the adapter at a time: never beside a worker, never twice.
    if (worker_exists() || f_readdressing) {
        fLog->addEvent(catCommunication, lError, QStringLiteral("Re-addressing not started: the adapter is in use"));
        return;
    }
    const int index = ui->new_slaveaddr_combo->currentIndex();
    if (index < 0 || index >= f_new_address_list.size())
        return;
    const T_SlaveAddr target = f_new_address_list[index];

    f_readdressing = true;
    // The window does not respond while the procedure runs; show that work is under way.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct Restore {
        Tmain_Form *form;
        ~Restore()
        {
            QApplication::restoreOverrideCursor();
            form->f_readdressing = false;
        }
    } restore{this};

    T_Orvel_Handler &h = *fOrvel_Handler;
    readdress::Step last = readdress::Step::None;
    auto observe = [&](readdress::Step step, bool ok) {
        last = step;
        if (step == readdress::Step::CommandMode || step == readdress::Step::SwitchOnAfter) {
            report_step(ok, *texts_of(step));
            update_status_Gui();
            return;
        }
        if (const StepTexts *t = texts_of(step))
            report_step(ok, *t);
        if (step == readdress::Step::Verify) {
            memory_map_display();
            if (fWindows.memory) {
                fWindows.memory->show();
                fWindows.memory->raise();
            }
        }
    };
    auto confirm = [&](uint8_t) {
        const QString question =
            tr_("readdr_question", "Do you wish to continue with assigning new slave address: %1 to device ?")
                .arg(target.Get_hex_addr());
        // A dialog closed without an answer counts as No; the write is irreversible, so No is
        // what Enter gives.
        return TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}, mbNo) == ResultYes;
    };
    const readdress_journal::Attempt attempt =
        readdress_journal::begin(h, target.Get_int_Addr(), readdress_journal::Procedure::Readdress);
    const readdress::Outcome outcome = readdress::readdress(h, uint8_t(target.Get_int_Addr()), confirm, observe);
    record_journal(attempt, outcome);
    if (last != readdress::Step::CommandMode && last != readdress::Step::SwitchOnAfter)
        update_status_Gui();

    emit readdressed(outcome.succeeded());
    // However it ended, scan again at once so the panel shows where the transmitter is now.
    f_scan_allowed = true;
    arm_start_timer(scan_start_Timer);
    if (outcome.succeeded()) {
        f_selected_addr.clear(); // the next change is picked afresh
        fOrvel_Handler->Set_preferred_addr(outcome.answers_at);
        fLog->addEvent(catCommunication, lNormal, QStringLiteral("Re-addressing succesfully completed"));
        return;
    }
    if (outcome.failed == readdress::Step::Confirm) {
        fLog->addEvent(catCommunication, lNormal, QStringLiteral("User canceled re-addressing procedure"));
        return;
    }
    QString reason;
    if (outcome.failed == readdress::Step::Check) {
        set_led(2);
        set_status_left(tr_("Error", "Error"));
        reason = refusal_reason(outcome.refusal);
        set_status_middle(reason);
    } else {
        reason = ui->status_middle_label->text();
    }
    fLog->addEvent(catCommunication, lError, QStringLiteral("Error re-addressing device"));
    // Only a finished change has moved the transmitter; after any other failure the next scan
    // finds it.
    if (outcome.failed == readdress::Step::NewAddress) {
        const QString where = outcome.answers_at >= 0
                                  ? QStringLiteral("The transmitter now answers at ") + T_SlaveAddr::hex_text(outcome.answers_at)
                                  : QStringLiteral("The transmitter does not answer on the bus");
        fLog->addEvent(catCommunication, lError, where);
        reason += u'\n' + (outcome.answers_at >= 0
                               ? tr_("answers_at", "The transmitter now answers at") + u' ' +
                                     T_SlaveAddr::hex_text(outcome.answers_at)
                               : tr_("answers_nowhere", "The transmitter does not answer on the bus"));
    }
    if (outcome.answers_at >= 0)
        fOrvel_Handler->Set_preferred_addr(outcome.answers_at);
    TmsgDialog::createDialog(tr_("readdr_failed", "Re-addressing failed") + QStringLiteral(":\n") + reason, mtError,
                             {mbOk});
}

void Tmain_Form::report_procedure_step(readdress::Step step, bool ok)
{
    if (const StepTexts *t = texts_of(step))
        report_step(ok, *t);
}
