#include "app/recorded_runs_flow.h"

#include "services/dialogs/msgDialogForm.h"
#include "services/log/logFile.h"
#include "services/settings/window_text.h"
#include "session/run_recorder.h"
#include "session/session.h"
#include "views/chart/measurement_store.h"
#include "views/chart/recorded_store.h"
#include "views/windows/recorded_runs_form.h"
#include "views/windows/recorded_runs_text.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenu>

using window_text::tr_;

namespace {

// The run's rows into a store of its own, as the chart and the table read them.
QString load_store(const QString &file, const run_database::Run &run, TMeasurementStore &store,
                   const std::atomic<bool> &cancel)
{
    TRunDatabase db;
    if (QString why = db.open(file, TRunDatabase::Access::ReadOnly); !why.isEmpty())
        return why;
    return recorded_store::load(db, run, store, cancel);
}

} // namespace

TRecordedRunsFlow::TRecordedRunsFlow(QMainWindow &window, QAction &before, TSession &session, TLogFile &log,
                                     Show show, Measuring measuring)
    : f_window(window), f_session(session), f_log(log), f_show(std::move(show)),
      f_measuring(std::move(measuring))
{
    f_action = new QAction(&window); // owned by the main window
    f_action->setObjectName(QStringLiteral("recorded_runs_Action"));
    f_action->setText(QStringLiteral("Recorded runs…"));
    for (QObject *holder : before.associatedObjects())
        if (auto *menu = qobject_cast<QMenu *>(holder)) {
            menu->insertAction(&before, f_action);
            break;
        }
    connect(f_action, &QAction::triggered, this, &TRecordedRunsFlow::show);
}

TRecordedRunsFlow::~TRecordedRunsFlow()
{
    f_cancel = true;
    if (f_loader.joinable())
        f_loader.join();
}

Trecorded_runs_form *TRecordedRunsFlow::form() const
{
    return f_form;
}

QString TRecordedRunsFlow::file() const
{
    return f_session.recorder() ? f_session.recorder()->file() : QString();
}

void TRecordedRunsFlow::show()
{
    if (!f_form) {
        f_form = new Trecorded_runs_form(&f_window); // owned by the main window
        connect(f_form, &Trecorded_runs_form::reload_requested, this, &TRecordedRunsFlow::reload);
        connect(f_form, &Trecorded_runs_form::open_requested, this, &TRecordedRunsFlow::open);
        connect(f_form, &Trecorded_runs_form::delete_requested, this, &TRecordedRunsFlow::remove);
    }
    if (f_form->isVisible())
        reload(); // asked again: what was recorded meanwhile
    f_form->show();
    f_form->raise();
    f_form->activateWindow();
}

void TRecordedRunsFlow::translateCaptions()
{
    f_action->setText(tr_("recorded_runs", "Recorded runs…"));
    if (f_form)
        f_form->translateCaptions();
}

void TRecordedRunsFlow::reload()
{
    if (!f_form)
        return;
    const QString path = file();
    // A run that just ended is listed with all of its rows and its end, and one that just began
    // is known by its id before the list shows it.
    if (f_session.recorder())
        f_session.recorder()->flush();
    const std::int64_t running = f_session.recorder() ? f_session.recorder()->run_id() : -1;
    if (path.isEmpty() || !QFile::exists(path)) {
        f_form->show_runs({}, running);
        return;
    }
    TRunDatabase db;
    QString error = db.open(path, TRunDatabase::Access::ReadOnly);
    QList<run_database::Run> runs;
    if (error.isEmpty())
        runs = db.runs(&error);
    if (!error.isEmpty())
        error = tr_("runs_unreadable", "The recorded runs cannot be read:") + u' ' + error;
    f_form->show_runs(runs, running, error);
}

void TRecordedRunsFlow::open(const run_database::Run &run)
{
    if (f_loader.joinable())
        return;
    if (f_measuring && f_measuring()) {
        TmsgDialog::createDialog(tr_("runs_stop_first", "A run is being measured. Stop it to open a recorded run."),
                                 mtInformation, {mbOk});
        return;
    }
    if (f_form)
        f_form->set_busy(true);
    QApplication::setOverrideCursor(Qt::BusyCursor);
    f_cancel = false;
    if (f_session.recorder())
        f_session.recorder()->flush();
    auto store = std::make_shared<TMeasurementStore>();
    const QString path = file();
    // The store is the loader's alone until it is joined.
    f_loader = std::thread([this, path, run, store] {
        const QString error = load_store(path, run, *store, f_cancel);
        f_loaded.postCall([this, run, store, error] { loaded(run, store, error); });
    });
}

void TRecordedRunsFlow::loaded(const run_database::Run &run, std::shared_ptr<TMeasurementStore> store,
                               const QString &error)
{
    f_loader.join();
    QApplication::restoreOverrideCursor();
    if (f_form)
        f_form->set_busy(false);
    if (!error.isEmpty()) {
        f_log.addEvent(catCore, lError, QStringLiteral("Recorded run not opened: ") + error);
        TmsgDialog::createDialog(tr_("runs_not_opened", "The recorded run cannot be opened:") + u'\n' + error,
                                 mtError, {mbOk});
        emit opened(run.id, error);
        return;
    }
    // A run started meanwhile has the chart.
    if (f_measuring && f_measuring()) {
        emit opened(run.id, QStringLiteral("a run is being measured"));
        return;
    }
    f_show(std::move(store), run);
    f_open = run;
    if (f_form)
        f_form->close();
    tell_open_runs();
    f_log.addEvent(catCore, lNormal,
                   QStringLiteral("Recorded run %1 opened (%2 measurements)").arg(run.id).arg(run.rows));
    emit opened(run.id, {});
}

void TRecordedRunsFlow::closed()
{
    if (f_open.id < 0)
        return;
    f_open = {};
    tell_open_runs();
}

void TRecordedRunsFlow::remove(const run_database::Run &run)
{
    const std::int64_t running = f_session.recorder() ? f_session.recorder()->run_id() : -1;
    if (run.id == running)
        return;
    const QString question =
        tr_("runs_delete_question", "Delete the run recorded on %1 with the transmitter %2 (%3 measurements)? It cannot be brought back.")
            .arg(recorded_runs_text::started(run), recorded_runs_text::transmitter(run), QString::number(run.rows));
    if (TmsgDialog::createDialog(question, mtConfirmation, {mbYes, mbNo}, mbNo) != msg_dialog::resultCode(mbYes))
        return;
    TRunDatabase db;
    QString error = db.open(file(), TRunDatabase::Access::ReadWrite);
    if (error.isEmpty())
        error = db.remove(run.id);
    if (!error.isEmpty()) {
        f_log.addEvent(catCore, lError, QStringLiteral("Recorded run not deleted: ") + error);
        TmsgDialog::createDialog(tr_("runs_not_deleted", "The recorded run cannot be deleted:") + u'\n' + error,
                                 mtError, {mbOk});
    } else {
        f_log.addEvent(catCore, lNormal, QStringLiteral("Recorded run %1 deleted").arg(run.id));
    }
    reload();
}

void TRecordedRunsFlow::tell_open_runs()
{
    // Retention spares the run the chart shows.
    f_session.set_open_runs(f_open.id >= 0 ? QList<std::int64_t>{f_open.id} : QList<std::int64_t>{});
}
