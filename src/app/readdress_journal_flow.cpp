#include "app/readdress_journal_flow.h"

#include "views/windows/journal_form.h"
#include "services/log/logFile.h"
#include "transmitter/memory_image_file.h"
#include "services/dialogs/msgDialogForm.h"
#include "app/window_text.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <utility>

using window_text::tr_;

TReaddressJournalFlow::TReaddressJournalFlow(QMainWindow &window, QAction &before, T_Orvel_Handler &handler,
                                             TLogFile &log, std::function<bool()> busy,
                                             std::function<void()> requestProcedure)
    : f_window(window), f_handler(handler), f_log(log), f_busy(std::move(busy)),
      f_request_procedure(std::move(requestProcedure))
{
    f_action = new QAction(&window); // owned by the main window
    f_action->setObjectName(QStringLiteral("journal_Action"));
    f_action->setText(QStringLiteral("Re-addressing journal…"));
    const QList<QMenu *> menus = window.findChildren<QMenu *>();
    for (QMenu *menu : menus) {
        if (menu->actions().contains(&before)) {
            menu->insertAction(&before, f_action);
            break;
        }
    }
    QObject::connect(f_action, &QAction::triggered, &window, [this] { show(); });
}

void TReaddressJournalFlow::show()
{
    if (!f_form) {
        f_form = new Tjournal_form(readdress_journal::default_folder(), &f_window); // owned by the main window
        QObject::connect(f_form, &Tjournal_form::restore_requested, &f_window,
                         [this](const QString &imageFile) { restore_requested(imageFile); });
    }
    f_form->show();
    f_form->reload();
    f_form->raise();
}

std::optional<T_DeviceMemory> TReaddressJournalFlow::take_restore_image()
{
    std::optional<T_DeviceMemory> image;
    image.swap(f_restore_image);
    return image;
}

void TReaddressJournalFlow::record(const readdress_journal::Attempt &attempt, const readdress::Outcome &outcome)
{
    const QString why = readdress_journal::record(readdress_journal::default_folder(), attempt, outcome, f_handler);
    if (f_form && f_form->isVisible())
        f_form->reload();
    if (why.isEmpty())
        return;
    f_log.addEvent(catCore, lError, QStringLiteral("Re-addressing journal not written: ") + why);
    TmsgDialog::createDialog(tr_("journal_not_written", "The re-addressing journal could not be written:") + u'\n' + why,
                             mtError, {mbOk});
}

void TReaddressJournalFlow::restore_requested(const QString &imageFile)
{
    T_DeviceMemory image;
    if (const QString why = memory_image_file::load(imageFile, image); !why.isEmpty()) {
        TmsgDialog::createDialog(tr_("restore_no_image", "The saved memory image cannot be read:") + u'\n' + why,
                                 mtError, {mbOk});
        return;
    }
    if (f_busy())
        return;
    f_restore_image = image;
    // The same hand-over as a change of address: the procedure runs once the worker has ended.
    f_request_procedure();
}
