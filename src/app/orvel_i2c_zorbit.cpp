// Program entry: splash, start-up theme, the single-copy guard, the windows, the message loop.
#include "app/about.h"
#include "views/windows/device_memory.h"
#include "app/main.h"
#include "services/dialogs/msgDialogForm.h"
#include "services/dialogs/options_frm.h"
#include "app/product_info.h"
#include "app/quit_signals.h"
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/settings/window_text.h"
#include "services/utils/single_instance.h"
#include "app/splash.h"
#include "views/windows/table_view.h"
#include "services/dialogs/themes.h"

#include <QApplication>
#include <QIcon>
#include <QThread>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Orvel I2C Zorbit"));
    QApplication::setApplicationVersion(product_info::Version);
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/orvel-i2c-zorbit.png")));
    QApplication::setDesktopFileName(QStringLiteral("orvel-i2c-zorbit"));

    // The splash and a refusal already speak the language of the last session.
    TTranslator::getInstance()->Set_Language(TIniHandler::getInstance()->Get_Language());
    QPointer<Tsplash_Form> splash = Tsplash_Form::showSplash();
    QThread::msleep(1000);
    themes::apply(QStringLiteral("Amethyst Kamri"));

    // The operating system releases the guard when this process ends, however it ends.
    TSingleInstance guard;
    if (!guard.tryAcquire(QApplication::applicationName())) {
        if (splash)
            splash->close();
        TmsgDialog::createDialog(
            window_text::tr_("already_running", "QUARNE : Orvel I2C Zorbit Version 1.3 is already running !"),
            mtInformation, {mbOk});
        return 0;
    }

    auto mainForm = std::make_unique<Tmain_Form>();
    TmsgDialog::setMainWindow(mainForm.get());
    auto *optionForm = new Toption_Form(mainForm.get()); // owned by the main window
    auto memoryForm = std::make_unique<Tmemory_Form>();
    auto *aboutForm = new Tabout_Form(mainForm.get()); // owned by the main window
    auto tableForm = std::make_unique<Ttable_form>();
    mainForm->attach_windows({optionForm, memoryForm.get(), aboutForm, tableForm.get()});
    mainForm->show();

    // Open table, memory map or log windows do not keep the program alive.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(mainForm.get(), &Tmain_Form::closed, &app, [&guard] {
        // A new copy may start at once, while this one still closes the adapter.
        guard.release();
        QCoreApplication::quit();
    });
    Tmain_Form *window = mainForm.get();
    quit_signals::install(&app, [window] { window->close(); });
    const int result = app.exec();
    // The main window stops the workers first; they may still show results in the other windows.
    mainForm.reset();
    return result;
}
