// The settings file refusing writes: the program goes on with what it holds in memory and says so
// once, in the log and, once the window is up, in a message dialog.
#include "main.h"

#include "IniHandler.h"
#include "Translator.h"
#include "logFile.h"
#include "msgDialogForm.h"

#include <QDir>
#include <QPointer>
#include <QTimer>

void Tmain_Form::hook_settings_failures()
{
    fIni->setWriteFailureReporter([this](const QString &fileName, const QString &reason) {
        const QString file = QDir::toNativeSeparators(fileName);
        // The log stays English; the user reads the translation.
        fLog->addEvent(catCore, lError,
                       QStringLiteral("Settings will not be saved: %1 cannot be written (%2).").arg(file, reason));
        const QString message =
            tr_("settings_not_saved", "Settings will not be saved: %1 cannot be written (%2).").arg(file, reason);
        // Told when the event loop runs: the failure may come while the window is being built,
        // or from inside a close or hide.
        QTimer::singleShot(0, this, [window = QPointer<Tmain_Form>(this), message] {
            if (window && window->isVisible())
                TmsgDialog::createDialog(message, mtError, {mbOk});
        });
    });
}
