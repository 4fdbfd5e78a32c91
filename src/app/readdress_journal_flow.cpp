#include "app/readdress_journal_flow.h"

#include "services/settings/window_text.h"
#include "services/dialogs/msgDialogForm.h"
#include "services/log/logFile.h"
#include "session/session.h"
#include "transmitter/memory_image_file.h"
#include "transmitter/readdress_journal.h"
#include "views/windows/journal_form.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>

using window_text::tr_;

TReaddressJournalFlow::TReaddressJournalFlow(QMainWindow &window, QAction &before, TSession &session, TLogFile &log)
    : f_window(window), f_session(session), f_log(log)
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
        f_form = new Tjournal_form(f_session.journal_folder(), &f_window); // owned by the main window
        QObject::connect(f_form, &Tjournal_form::restore_requested, &f_window,
                         [this](const QString &imageFile) { restore_requested(imageFile); });
    }
    f_form->show();
    f_form->reload();
    f_form->raise();
}

void TReaddressJournalFlow::translateCaptions()
{
    if (f_form)
        f_form->translateCaptions();
}

void TReaddressJournalFlow::recorded(const session::ProcedureEnded &ended)
{
    const QString &why = ended.journal_error;
    if (f_form && f_form->isVisible())
        f_form->reload();
    if (why.isEmpty())
        return;
    f_log.addEvent(catCore, lError, QStringLiteral("Re-addressing journal not written: ") + why);
    TmsgDialog::createDialog(tr_("journal_not_written", "The re-addressing journal could not be written:") + u'\n' + why,
                             mtError, {mbOk});
}

void TReaddressJournalFlow::announce_interrupted()
{
    using namespace readdress_journal;
    const QString folder = f_session.journal_folder();
    const QList<QStringList> found = unannounced(folder);
    if (found.isEmpty())
        return;
    QString text = tr_("journal_interrupted", "A change of address or a restore was cut off while it wrote the transmitter, which may now be half written. File → Re-addressing journal… writes its image before the change back.");
    for (const QStringList &attempt : found) {
        const QString image = file_path(folder, attempt.value(BeforeImage));
        text += u'\n' + tr_("journal_interrupted_attempt", "%1 → %2, begun %3; image before the change: %4")
                            .arg(attempt.value(OldAddress), attempt.value(NewAddress), attempt.value(Time), image);
        f_log.addEvent(catCore, lError,
                       QStringLiteral("Interrupted change in the journal: ") + attempt.value(OldAddress) +
                           QStringLiteral(" to ") + attempt.value(NewAddress) + QStringLiteral(" begun ") +
                           attempt.value(Time) + QStringLiteral(", image before the change ") + image);
    }
    text += u'\n' + tr_("journal_file", "Journal: %1").arg(journal_file(folder));
    TmsgDialog::createDialog(text, mtWarning, {mbOk});
    // Told once the user has seen it: a start that ends before that tells again.
    if (const QString why = mark_announced(folder, found); !why.isEmpty())
        f_log.addEvent(catCore, lError, QStringLiteral("Re-addressing journal not written: ") + why);
}

void TReaddressJournalFlow::restore_requested(const QString &imageFile)
{
    T_DeviceMemory image;
    if (const QString why = memory_image_file::load(imageFile, image); !why.isEmpty()) {
        TmsgDialog::createDialog(tr_("restore_no_image", "The saved memory image cannot be read:") + u'\n' + why,
                                 mtError, {mbOk});
        return;
    }
    // The same hand-over as a change of address: the procedure runs once the worker has ended.
    f_session.request_restore(image);
}
