// The re-addressing journal: File menu entry, its window, and writing a saved before-image back.
#include "main.h"

#include "journal_view.h"
#include "logFile.h"
#include "memory_image_file.h"
#include "msgDialogForm.h"
#include "ui_main.h"

#include <QApplication>

namespace {

constexpr int ResultYes = 6;

} // namespace

void Tmain_Form::hook_journal()
{
    f_journal_action = new QAction(this); // owned by the main window
    f_journal_action->setObjectName(QStringLiteral("journal_Action"));
    f_journal_action->setText(QStringLiteral("Re-addressing journal…"));
    const QList<QMenu *> menus = findChildren<QMenu *>();
    for (QMenu *menu : menus) {
        if (menu->actions().contains(ui->exit_Action)) {
            menu->insertAction(ui->exit_Action, f_journal_action);
            break;
        }
    }
    connect(f_journal_action, &QAction::triggered, this, &Tmain_Form::show_journal);
}

void Tmain_Form::show_journal()
{
    if (!f_journal_form) {
        f_journal_form = new Tjournal_form(readdress_journal::default_folder(), this); // owned by the main window
        connect(f_journal_form, &Tjournal_form::restore_requested, this, &Tmain_Form::restore_from_journal);
    }
    f_journal_form->show();
    f_journal_form->reload();
    f_journal_form->raise();
}

void Tmain_Form::record_journal(const readdress_journal::Attempt &attempt, const readdress::Outcome &outcome)
{
    const QString why = readdress_journal::record(readdress_journal::default_folder(), attempt, outcome, *fOrvel_Handler);
    if (f_journal_form && f_journal_form->isVisible())
        f_journal_form->reload();
    if (why.isEmpty())
        return;
    fLog->addEvent(catCore, lError, QStringLiteral("Re-addressing journal not written: ") + why);
    TmsgDialog::createDialog(tr_("journal_not_written", "The re-addressing journal could not be written:") + u'\n' + why,
                             mtError, {mbOk});
}

void Tmain_Form::restore_from_journal(const QString &imageFile)
{
    T_DeviceMemory image;
    if (const QString why = memory_image_file::load(imageFile, image); !why.isEmpty()) {
        TmsgDialog::createDialog(tr_("restore_no_image", "The saved memory image cannot be read:") + u'\n' + why,
                                 mtError, {mbOk});
        return;
    }
    if (f_readdressing || re_address_Timer.isActive())
        return;
    f_restore_image = image;
    // The same hand-over as a change of address: the procedure runs once the worker has ended.
    change_address_ActionExecute();
}

void Tmain_Form::restore_device()
{
    const T_DeviceMemory saved = *f_restore_image;
    f_restore_image.reset();
    if (worker_exists() || f_readdressing) {
        fLog->addEvent(catCommunication, lError, QStringLiteral("Restore not started: the adapter is in use"));
        return;
    }
    f_readdressing = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    T_Orvel_Handler &h = *fOrvel_Handler;
    const int to = saved.at(OrvelWords::COM_Config).value() & 0x7F;
    auto confirm = [&](uint8_t) {
        const QString question =
            tr_("restore_confirm", "Write the saved memory image back to the transmitter? This uses up one of the changes left.");
        return TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}) == ResultYes;
    };
    const readdress_journal::Attempt attempt = readdress_journal::begin(h, to, readdress_journal::Procedure::Restore);
    const readdress::Outcome outcome =
        readdress::restore(h, saved, confirm, [this](readdress::Step step, bool ok) { report_procedure_step(step, ok); });
    record_journal(attempt, outcome);
    update_status_Gui();
    QApplication::restoreOverrideCursor();
    f_readdressing = false;

    emit readdressed(outcome.succeeded());
    f_scan_allowed = true;
    arm_start_timer(scan_start_Timer);
    if (outcome.answers_at >= 0)
        fOrvel_Handler->Set_preferred_addr(outcome.answers_at);
    if (outcome.succeeded()) {
        fLog->addEvent(catCommunication, lNormal, QStringLiteral("Restore of the memory image completed"));
        return;
    }
    if (outcome.failed == readdress::Step::Confirm) {
        fLog->addEvent(catCommunication, lNormal, QStringLiteral("User canceled the restore"));
        return;
    }
    QString reason = ui->status_middle_label->text();
    if (outcome.failed == readdress::Step::Check) {
        set_led(2);
        set_status_left(tr_("Error", "Error"));
        reason = refusal_reason(outcome.refusal);
        set_status_middle(reason);
    }
    fLog->addEvent(catCommunication, lError, QStringLiteral("Error restoring the memory image"));
    TmsgDialog::createDialog(tr_("restore_failed", "Restore failed") + QStringLiteral(":\n") + reason, mtError, {mbOk});
}
