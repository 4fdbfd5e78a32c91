// The main window with its options dialog, started in a chosen language, and the captions of
// its controls read back whatever kind of control holds them.
#pragma once

#include "../services/dialog_driver.h"
#include "views/instruments/BarDisplay.h"
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/utils/UniCodeFile.h"
#include "main_window_fixture.h"
#include "services/dialogs/options_frm.h"
#include "services/dialogs/themes.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QMenu>
#include <QTabWidget>

class LanguagesTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        home();
        // The settings live as long as the test program: start each test from the same ones.
        TIniHandler *ini = TIniHandler::getInstance();
        ini->Set_Language(QString::fromLatin1(startLanguage()));
        ini->Set_LogCommunicationMode(lError);
        ini->Set_pressure_digits(3);
        ini->Set_temperature_digits(2);
        ini->Set_style(3);
        MainWindowTest::SetUp();
        options = new Toption_Form(form.get());
        form->attach_windows({options, memory.get(), nullptr, table.get()});
    }
    void TearDown() override
    {
        TLogFile *log = TLogFile::getInstance();
        log->disableForm();
        log->Set_ConverterMode(lError);
        log->Set_TranslatorMode(lError);
        MainWindowTest::TearDown();
    }

    virtual const char *startLanguage() { return "english.lang"; }

    // A language file of its own lines, loaded into the program's translator.
    void loadLanguage(const QStringList &lines)
    {
        ASSERT_TRUE(fLanguages.isValid());
        TUnicodeFile::writeLines(QDir(fLanguages.path()).filePath(QStringLiteral("test.lang")), lines, UTF16LE);
        TTranslator *translator = TTranslator::getInstance();
        translator->setPath(fLanguages.path());
        translator->Set_Language(QStringLiteral("test.lang"));
    }

    // The caption an object shows: action, group title, label, button, bar display or tab.
    QString caption(const char *name) const
    {
        QObject *target = form->findChild<QObject *>(QString::fromLatin1(name));
        if (!target)
            return QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
        if (auto *action = qobject_cast<QAction *>(target))
            return action->text();
        if (auto *group = qobject_cast<QGroupBox *>(target))
            return group->title();
        if (auto *label = qobject_cast<QLabel *>(target))
            return label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(target))
            return button->text();
        if (auto *menu = qobject_cast<QMenu *>(target))
            return menu->title();
        if (auto *bar = qobject_cast<TBarDisplay *>(target))
            return bar->GetCaption();
        auto *page = qobject_cast<QWidget *>(target);
        for (QWidget *up = page ? page->parentWidget() : nullptr; up; up = up->parentWidget())
            if (auto *tabs = qobject_cast<QTabWidget *>(up))
                return tabs->tabText(tabs->indexOf(page));
        return QStringLiteral("<no caption on %1>").arg(QString::fromLatin1(name));
    }

    // Runs the Settings command; `inDialog` acts in the open dialog and closes it.
    void runSettings(const std::function<void(Toption_Form &)> &inDialog)
    {
        DialogDriver<Toption_Form> driver(inDialog);
        child<QAction>("setting_Action")->trigger();
        EXPECT_TRUE(driver.ran());
    }
    static void pick(Toption_Form &dialog, const char *list, const QString &itemText)
    {
        auto *combo = dialog.findChild<QComboBox *>(QString::fromLatin1(list));
        const int index = combo->findText(itemText);
        ASSERT_GE(index, 0) << itemText.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static void press(Toption_Form &dialog, const char *button)
    {
        dialog.findChild<QPushButton *>(QString::fromLatin1(button))->click();
    }

    Toption_Form *options = nullptr;
    QTemporaryDir fLanguages;
};
