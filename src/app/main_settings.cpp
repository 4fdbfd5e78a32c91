// The Settings command around the options dialog, and the log viewer the log opens.
#include "main.h"

#include "IniHandler.h"
#include "ZUtils.h"
#include "logFile.h"
#include "logFileForm.h"
#include "msgDialogForm.h"
#include "options_frm.h"
#include "table_view.h"
#include "ui_main.h"

void Tmain_Form::hook_settings_and_log_viewer()
{
    connect(ui->setting_Action, &QAction::triggered, this, &Tmain_Form::setting_ActionExecute);
    // Made on first use, without an owner; the log keeps it until the log itself ends.
    fLog->setViewerFactory([](TLogFile &log) -> std::unique_ptr<TLogViewer> {
        return std::make_unique<TlogForm>(log);
    });
}

void Tmain_Form::setting_ActionExecute()
{
    Toption_Form *options = fWindows.options;
    if (!options)
        return;
    const int verbosity = fLog->Get_CommunicationMode();
    options->Set_log_index(verbosity >= lNormal && verbosity <= lDebug ? verbosity : -1);
    if (options->exec() != QDialog::Accepted)
        return;
    try {
        options->setLang(true);
        // The style was applied while the dialog was open; only now is it kept for the next start.
        if (options->Get_style_index() >= 0)
            fIni->Set_style(options->Get_style_index());
        translateGui();

        const int pressureDigits = fIni->Get_pressure_digits();
        const int temperatureDigits = fIni->Get_temperature_digits();
        fOrvel_Handler->set_pressure_digits(pressureDigits);
        fOrvel_Handler->set_temperature_digits(temperatureDigits);
        if (fWindows.table) {
            fWindows.table->Set_pressure_digits(pressureDigits);
            fWindows.table->Set_temperature_digits(temperatureDigits);
        }

        const int level = options->Get_log_index();
        if (level >= lNormal && level <= lDebug) {
            fLog->Set_CommunicationMode(TMode(level));
            fLog->Set_ConverterMode(TMode(level));
        }
    } catch (const EInOutError &e) {
        // The settings file refused a write; what follows it is not done.
        TmsgDialog::createDialog(QString::fromLocal8Bit(e.what()), mtError, {mbOk});
    }
}
