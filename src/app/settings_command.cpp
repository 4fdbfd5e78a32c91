#include "app/settings_command.h"

#include "services/settings/IniHandler.h"
#include "session/session.h"
#include "services/utils/ZUtils.h"
#include "services/log/logFile.h"
#include "services/log/logFileForm.h"
#include "services/dialogs/msgDialogForm.h"
#include "services/dialogs/options_frm.h"
#include "services/settings/password_store.h"
#include "views/windows/table_view.h"
#include "services/settings/window_text.h"

#include <QAction>
#include <QDir>
#include <QPointer>
#include <QTimer>
#include <utility>

using window_text::tr_;

TSettingsCommand::TSettingsCommand(QWidget &window, QAction &setting, TIniHandler &ini, TLogFile &log,
                                   TSession &session, Toption_Form *const &options, Ttable_form *const &table,
                                   std::function<void()> translate)
    : f_window(window), f_ini(ini), f_log(log), f_session(session), f_options(options), f_table(table),
      f_translate(std::move(translate))
{
    hook_write_failures();
    QObject::connect(&setting, &QAction::triggered, &window, [this] { execute(); });
    // Made on first use, without an owner; the log keeps it until the log itself ends.
    f_log.setViewerFactory([](TLogFile &log) -> std::unique_ptr<TLogViewer> { return std::make_unique<TlogForm>(log); });
}

// The program goes on with what it holds in memory and says so once, in the log and, once the
// window is up, in a message dialog.
void TSettingsCommand::hook_write_failures()
{
    f_ini.setWriteFailureReporter([this](const QString &fileName, const QString &reason) {
        const QString file = QDir::toNativeSeparators(fileName);
        // The log stays English; the user reads the translation.
        f_log.addEvent(catCore, lError,
                       QStringLiteral("Settings will not be saved: %1 cannot be written (%2).").arg(file, reason));
        const QString message =
            tr_("settings_not_saved", "Settings will not be saved: %1 cannot be written (%2).").arg(file, reason);
        // Told when the event loop runs: the failure may come while the window is being built,
        // or from inside a close or hide.
        QTimer::singleShot(0, &f_window, [window = QPointer<QWidget>(&f_window), message] {
            if (window && window->isVisible())
                TmsgDialog::createDialog(message, mtError, {mbOk});
        });
    });
}

void TSettingsCommand::execute()
{
    Toption_Form *options = f_options;
    if (!options)
        return;
    // Where the database password is kept, once: the log is English, like the note.
    options->passwordStore().setNoteReporter(
        [this](const QString &note) { f_log.addEvent(catDB, lNormal, note); });
    const int verbosity = f_log.Get_CommunicationMode();
    options->Set_log_index(verbosity >= lNormal && verbosity <= lDebug ? verbosity : -1);
    if (options->exec() != QDialog::Accepted)
        return;
    try {
        options->setLang(true);
        // The style was applied while the dialog was open; only now is it kept for the next start.
        if (options->Get_style_index() >= 0)
            f_ini.Set_style(options->Get_style_index());
        f_translate();

        const int pressureDigits = f_ini.Get_pressure_digits();
        const int temperatureDigits = f_ini.Get_temperature_digits();
        f_session.set_digits(pressureDigits, temperatureDigits);
        if (f_table) {
            f_table->Set_pressure_digits(pressureDigits);
            f_table->Set_temperature_digits(temperatureDigits);
        }

        // Applied at every OK: runs beyond limits made tighter go at once.
        f_session.set_retention(f_ini.Get_dbRetentionDays(), f_ini.Get_dbRetentionMB());

        const int level = options->Get_log_index();
        if (level >= lNormal && level <= lDebug) {
            f_log.Set_CommunicationMode(TMode(level));
            f_log.Set_ConverterMode(TMode(level));
        }
    } catch (const EInOutError &e) {
        // The settings file refused a write; what follows it is not done.
        TmsgDialog::createDialog(QString::fromLocal8Bit(e.what()), mtError, {mbOk});
    }
}
