// The main window, its dialogs and the Settings command in one language or another.
#include "languages_fixture.h"
#include "run_files.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

namespace {

struct CaptionCase {
    const char *control;
    const char *english;
    const char *german;
};

// Every caption translateGui sets, in the catalogue's order.
const CaptionCase MainCaptions[] = {
    {"file_Action", "File", "Datei"},
    {"file_menu", "File", "Datei"},
    {"dongle_menu", "Dongle", "Dongle"},
    {"options_menu", "Options", "Optionen"},
    {"show_log_Action", "Show Logfile", "Logdatei anzeigen"},
    {"exit_Action", "Exit", "Beenden"},
    {"detect_dongle_Action", "Detect Dongle", "Dongle erkennen"},
    {"ScanDeviceAction", "Scan Device", "Gerät suchen"},
    {"read_memory_image_Action", "Read Memory Image", "Speicherabbild lesen"},
    {"change_address_Action", "Change Device Address", "Geräteadresse ändern"},
    {"show_memory_map_Action", "Show Memory Map", "Speicherbelegung anzeigen"},
    {"setting_Action", "Settings", "Einstellungen"},
    {"aboutAction", "About", "Info"},
    {"device_info_box", "Device Information", "Geräteinformation"},
    {"scaling_title", "Scaling", "Messbereich"},
    {"pr_lbl", "PR : Vented Gauge, Zero@ Atm.", "PR : Relativdruck, Null bei Atm."},
    {"PA_lbl", "PA : Sealed Gauge, Zero@ 1bar", "PA : Versiegelt, Null bei 1 bar"},
    {"paa_lbl", "PAA : Absolute Zero@ Vacuum", "PAA : Absolutdruck, Null bei Vakuum"},
    {"calibrationdate_title", "Date of Calibration", "Kalibrierdatum"},
    {"uniquecode_title", "Unique ID", "Eindeutige ID"},
    {"dev_status_title", "Device Status", "Gerätestatus"},
    {"slaveaddr_title", "Slave Address", "Slave-Adresse"},
    {"new_addr_GroupBox", "New Slave Address", "Neue Slave-Adresse"},
    {"readdressing_left_title", "Number of Re-Addressing left", "Verbleibende Adressänderungen"},
    {"new_address_title", "New Slave Address", "Neue Slave-Adresse"},
    {"monitor_Group", "Monitor", "Monitor"},
    {"pressure_display_group", "Pressure [bar]", "Druck [bar]"},
    {"temperature_display_group", "Temperature [°C]", "Temperatur [°C]"},
    {"fast_Label", "Fast", "Schnell"},
    {"slow_Label", "Slow", "Langsam"},
    {"start_btn", "Start", "Start"},
    {"clear_btn", "Clear Chart", "Kurven leeren"},
    {"pressure_Box", "Pressure", "Druck"},
    {"Temperature_Box", "Temperature", "Temperatur"},
    {"pressure_bar", "Pressure [bar]", "Druck [bar]"},
    {"thermometer", "Temperature [°C]", "Temperatur [°C]"},
    {"left_axis_auto", "Automatic", "Automatisch"},
    {"right_axis_auto", "Automatic", "Automatisch"},
    {"axis_sheet", "Axis", "Achsen"},
    {"color_sheet", "Chart Color", "Diagrammfarbe"},
    {"axis_color_sheet", "Axis Color", "Achsenfarbe"},
    {"grid_check_l", "Show GridLines Left Axis", "Gitterlinien der linken Achse"},
    {"grid_check_r", "Show GridLines Right Axis", "Gitterlinien der rechten Achse"},
    {"left_axis_title", "Left Axis", "Linke Achse"},
    {"left_axis_box", "Left Axis", "Linke Achse"},
    {"right_axis_title", "Right Axis", "Rechte Achse"},
    {"right_axis_box", "Right Axis", "Rechte Achse"},
    {"bottom_axis_box", "Bottom Axis", "Untere Achse"},
    {"Max_title", "Max", "Max"},
    {"Max_title2", "Max", "Max"},
    {"min_title", "Min", "Min"},
    {"min_title2", "Min", "Min"},
    {"left_axis_dec_lbl", "Decimals", "Dezimalstellen"},
    {"right_axis_dec_lbl", "Decimals", "Dezimalstellen"},
    {"increment_left_lbl", "Increment", "Schrittweite"},
    {"increment_right_lbl", "Increment", "Schrittweite"},
    {"reset_r_increment", "reset", "zurücksetzen"},
    {"reset_l_increment", "reset", "zurücksetzen"},
    {"chart_filling_box", "Chart Brush Color", "Diagrammhintergrund"},
    {"chart_backpanel_lbl", "Back Wall Color", "Farbe der Rückwand"},
    {"solid_box", "Solid Brush", "Einfarbig"},
    {"gradient_group", "Gradient", "Farbverlauf"},
    {"start_lbl", "Start", "Anfang"},
    {"middle_lbl", "Middle", "Mitte"},
    {"end_lbl", "End", "Ende"},
    {"direction_lbl", "Direction", "Richtung"},
    {"axis_color_lbl1", "Axis Color", "Achsenfarbe"},
    {"axis_color_lbl2", "Axis Color", "Achsenfarbe"},
    {"axis_color_lbl3", "Axis Color", "Achsenfarbe"},
    {"axis_width_lbl1", "Axis Width", "Achsenbreite"},
    {"axis_width_lbl2", "Axis Width", "Achsenbreite"},
    {"axis_width_lbl3", "Axis Width", "Achsenbreite"},
    {"TickColor_lbl1", "Tick Color", "Teilstrichfarbe"},
    {"TickColor_lbl2", "Tick Color", "Teilstrichfarbe"},
    {"TickColor_lbl3", "Tick Color", "Teilstrichfarbe"},
    {"font_color_lbl1", "Font Color", "Schriftfarbe"},
    {"font_color_lbl2", "Font Color", "Schriftfarbe"},
    {"font_color_lbl3", "Font Color", "Schriftfarbe"},
    {"gridcolor_lbl1", "Grid Color", "Gitterfarbe"},
    {"gridcolor_lbl2", "Grid Color", "Gitterfarbe"},
    {"gridcolor_lbl3", "Grid Color", "Gitterfarbe"},
    {"table_btn", "Table", "Tabelle"},
};

const QString ThreeLeftEnglish = QStringLiteral("Three more changes of slave address left.");
const QString ThreeLeftGerman = QStringLiteral("Noch drei Änderungen der Slave-Adresse möglich.");

class NoLanguageFile : public LanguagesTest
{
protected:
    const char *startLanguage() override { return "missing.lang"; }

    void expectCaptions(bool german)
    {
        for (const CaptionCase &c : MainCaptions)
            EXPECT_EQ(caption(c.control), QString::fromUtf8(german ? c.german : c.english)) << c.control;
    }
};

} // namespace

TEST_F(NoLanguageFile, EveryCaptionShowsItsDefault)
{
    // The layout says "Number of Re-Addressing left :"; the default replaces it.
    expectCaptions(false);
    ASSERT_TRUE(waitFor([this] { return text("changes_left") == ThreeLeftEnglish; }));

    // From another language back to none: every caption is set again.
    TTranslator::getInstance()->Set_Language(QStringLiteral("german.lang"));
    form->translateGui();
    expectCaptions(true);
    EXPECT_EQ(text("changes_left"), ThreeLeftGerman);
    TTranslator::getInstance()->Set_Language(QStringLiteral("missing.lang"));
    form->translateGui();
    expectCaptions(false);
    EXPECT_EQ(text("changes_left"), ThreeLeftEnglish);
}

namespace {

class OnlyErrorKey : public LanguagesTest
{
protected:
    // The transmitter refuses command mode: re-addressing fails at that step.
    std::string scenario() override { return scenarioFile("[transmitter.t]\naddress = 0x28\ncommand_window_ms = 0\n"); }
};

} // namespace

TEST_F(OnlyErrorKey, ChangesViewerItemDialogTitleAndReaddressingFailureTogether)
{
    loadLanguage({QStringLiteral("error=Fehlschlag")});

    TLogFile *log = TLogFile::getInstance();
    log->disableForm(); // a viewer made earlier keeps the captions of its day
    child<QAction>("show_log_Action")->trigger();
    auto *viewer = dynamic_cast<QWidget *>(log->viewer());
    ASSERT_NE(viewer, nullptr);
    EXPECT_EQ(viewer->findChild<QAction *>(QStringLiteral("Error1"))->text(), QStringLiteral("Fehlschlag"));
    EXPECT_EQ(viewer->findChild<QAction *>(QStringLiteral("Debug1"))->text(), QStringLiteral("Debug"));

    QString title;
    DialogDriver<TmsgDialog> driver([&title](TmsgDialog &dialog) {
        title = dialog.windowTitle();
        dialog.buttons().first()->click();
    });
    EXPECT_EQ(TmsgDialog::createDialog(QStringLiteral("x"), mtError, {mbOk}), 1);
    EXPECT_EQ(title, QStringLiteral("Fehlschlag"));

    ASSERT_TRUE(waitForScan());
    pickNewAddress("0x30");
    ASSERT_TRUE(waitFor([this] { return child<QToolButton>("change_addr_btn")->isEnabled(); }));
    QString middle, left, failureTitle;
    DialogDriver<TmsgDialog> failure([&](TmsgDialog &dialog) {
        middle = text("status_middle_label");
        left = text("status_left_label");
        failureTitle = dialog.windowTitle();
        dialog.buttons().first()->click();
    });
    child<QAction>("change_address_Action")->trigger();
    ASSERT_TRUE(waitFor([&failure] { return failure.ran(); }, 15000));
    EXPECT_EQ(middle, QStringLiteral("Problems to enable Command Mode"));
    EXPECT_EQ(left, QStringLiteral("Fehlschlag"));
    EXPECT_EQ(failureTitle, QStringLiteral("Fehlschlag"));
}

namespace {

using OkCaption = LanguagesTest;

struct OkCase {
    const char *name;
    QStringList language;
    const char *messageDialog;
    const char *optionsDialog;
};

} // namespace

TEST_F(OkCaption, SharedByTheMessageDialogAndTheOptionsDialog)
{
    const OkCase cases[] = {
        {"without the key each keeps its default", {"languageName=Ohne"}, "Ok", "OK"},
        {"with the key both show it", {"languageName=Mit", "ok=Jawohl"}, "Jawohl", "Jawohl"},
    };
    for (const OkCase &c : cases) {
        SCOPED_TRACE(c.name);
        loadLanguage(c.language);
        TmsgDialog message(QStringLiteral("x"), mtInformation, {mbOk}, 380, 150, TmsgDialog::defaultIconStripFile());
        EXPECT_EQ(message.buttons().first()->text(), QString::fromLatin1(c.messageDialog));
        options->show();
        EXPECT_EQ(options->findChild<QPushButton *>(QStringLiteral("ok_btn"))->text(),
                  QString::fromLatin1(c.optionsDialog));
        options->hide();
    }
}

namespace {

using Settings = LanguagesTest;

} // namespace

TEST_F(Settings, GermanRelabelsTheDialogAtOnceAndTheMainWindowAfterOk)
{
    ASSERT_TRUE(waitFor([this] { return text("changes_left") == ThreeLeftEnglish; }));
    QString titleAfterPick, cancelAfterPick;
    runSettings([&](Toption_Form &dialog) {
        pick(dialog, "ComboBoxLanguages", QStringLiteral("Deutsch"));
        titleAfterPick = dialog.windowTitle();
        cancelAfterPick = dialog.findChild<QPushButton *>(QStringLiteral("cancel_btn"))->text();
        // The main window waits for OK.
        EXPECT_EQ(caption("device_info_box"), QStringLiteral("Device Information"));
        press(dialog, "ok_btn");
    });
    EXPECT_EQ(titleAfterPick, QStringLiteral("Optionen"));
    EXPECT_EQ(cancelAfterPick, QStringLiteral("Abbrechen"));
    EXPECT_EQ(caption("device_info_box"), QStringLiteral("Geräteinformation"));
    EXPECT_EQ(caption("show_log_Action"), QStringLiteral("Logdatei anzeigen"));
    EXPECT_EQ(caption("left_axis_title"), QStringLiteral("Linke Achse"));
    EXPECT_EQ(text("changes_left"), ThreeLeftGerman);
    EXPECT_EQ(TIniHandler::getInstance()->Get_Language(), QStringLiteral("german.lang"));
    // Status texts follow with the next message.
    EXPECT_TRUE(waitFor([this] { return text("status_left_label") == QStringLiteral("Suche"); }));
}

TEST_F(Settings, CancelKeepsTheLanguagePickedInTheDialog)
{
    runSettings([](Toption_Form &dialog) {
        pick(dialog, "ComboBoxLanguages", QStringLiteral("Deutsch"));
        press(dialog, "cancel_btn");
    });
    EXPECT_EQ(TTranslator::getInstance()->Get_Language(), QStringLiteral("Deutsch"));
    EXPECT_EQ(TIniHandler::getInstance()->Get_Language(), QStringLiteral("german.lang"));
    EXPECT_EQ(caption("device_info_box"), QStringLiteral("Device Information")) << "retranslated only on OK";
    EXPECT_TRUE(waitFor([this] { return text("status_middle_label") == QStringLiteral("Gerät erfolgreich erkannt"); }));
}

namespace {

struct VerbosityCase {
    TMode before;
    const char *shown;
    const char *picked;
    TMode after;
};

} // namespace

TEST_F(Settings, VerbosityRoundTripSetsAndStoresBothModes)
{
    const VerbosityCase cases[] = {{lDebug, "log_detailed", "log_normal", lNormal},
                                   {lNormal, "log_normal", "log_error", lError},
                                   {lError, "log_error", "log_detailed", lDebug}};
    TLogFile *log = TLogFile::getInstance();
    for (const VerbosityCase &c : cases) {
        SCOPED_TRACE(c.shown);
        log->Set_CommunicationMode(c.before);
        log->Set_ConverterMode(lError);
        bool shownChecked = false;
        runSettings([&](Toption_Form &dialog) {
            shownChecked = dialog.findChild<QRadioButton *>(QString::fromLatin1(c.shown))->isChecked();
            dialog.findChild<QRadioButton *>(QString::fromLatin1(c.picked))->click();
            press(dialog, "ok_btn");
        });
        EXPECT_TRUE(shownChecked);
        EXPECT_EQ(log->Get_CommunicationMode(), c.after);
        EXPECT_EQ(log->Get_ConverterMode(), c.after);
        TIniHandler *ini = TIniHandler::getInstance();
        EXPECT_EQ(ini->Get_LogCommunicationMode(), int(c.after));
        EXPECT_EQ(ini->Get_LogConverterMode(), int(c.after));
    }
    // Cancel changes neither.
    runSettings([](Toption_Form &dialog) {
        dialog.findChild<QRadioButton *>(QStringLiteral("log_normal"))->click();
        press(dialog, "cancel_btn");
    });
    EXPECT_EQ(log->Get_CommunicationMode(), lDebug);
    log->Set_CommunicationMode(lError);
}

TEST_F(Settings, DigitsReachTheHandlerAndTheTableOnOk)
{
    ASSERT_TRUE(waitForScan());
    runSettings([](Toption_Form &dialog) {
        dialog.findChild<QSpinBox *>(QStringLiteral("pressure_digits_spin"))->setValue(1);
        dialog.findChild<QSpinBox *>(QStringLiteral("temperature_digits_spin"))->setValue(4);
        press(dialog, "ok_btn");
    });
    T_Orvel_Handler *handler = T_Orvel_Handler::get_Instance();
    EXPECT_EQ(handler->Get_pressure_digits(), 1);
    EXPECT_EQ(handler->Get_temperature_digits(), 4);
    EXPECT_EQ(table->Get_pressure_digits(), 1);
    EXPECT_EQ(table->Get_temperature_digits(), 4);
    EXPECT_TRUE(waitFor([this] {
        return form->findChild<QLineEdit *>(QStringLiteral("scaling_Ed"))->text() == QStringLiteral("0.0...10.0 PA");
    })) << "the next scan shows the range with one decimal";

    runSettings([](Toption_Form &dialog) {
        dialog.findChild<QSpinBox *>(QStringLiteral("pressure_digits_spin"))->setValue(5);
        press(dialog, "cancel_btn");
    });
    EXPECT_EQ(handler->Get_pressure_digits(), 1);
}

TEST_F(Settings, RetentionOnOkRemovesTheOldRunsAtOnceAndTheLogSaysSo)
{
    TIniHandler *ini = TIniHandler::getInstance();
    const QString folder = ini->Get_dbSQLitePath();
    const QDateTime now = QDateTime::currentDateTime();
    const std::int64_t old = run_files::store(folder, run_files::transmitter(now.addDays(-40)), run_files::rows(5));
    const std::int64_t young = run_files::store(folder, run_files::transmitter(now.addDays(-2)), run_files::rows(5));
    ASSERT_TRUE(old > 0 && young > 0);
    runSettings([](Toption_Form &dialog) {
        dialog.findChild<QSpinBox *>(QStringLiteral("retention_days_spin"))->setValue(30);
        press(dialog, "ok_btn");
    });
    EXPECT_EQ(ini->Get_dbRetentionDays(), 30);
    EXPECT_TRUE(waitFor([&] { return !run_files::ids(folder).contains(old); }));
    EXPECT_TRUE(run_files::ids(folder).contains(young));
    const auto log = [] {
        QFile f(home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    };
    EXPECT_TRUE(waitFor([&] {
        return log().contains(QStringLiteral(
            "\tDB\t-\tRemoved 1 recorded run by the retention settings: 1 older than 30 days.\r\n"));
    })) << log().right(300).toStdString();
    ini->Set_dbRetentionDays(0);
    form->session().set_retention(0, 0);
}

TEST_F(Settings, StyleIsStoredOnlyOnOk)
{
    const QStringList looks = themes::names();
    runSettings([](Toption_Form &dialog) {
        pick(dialog, "ComboBoxStyles", QStringLiteral("Carbon"));
        press(dialog, "cancel_btn");
    });
    EXPECT_EQ(themes::activeName(), QStringLiteral("Carbon")) << "applied at once";
    EXPECT_EQ(TIniHandler::getInstance()->Get_style(), 3);

    runSettings([](Toption_Form &dialog) {
        EXPECT_EQ(dialog.Get_style_name(), QStringLiteral("Carbon"));
        pick(dialog, "ComboBoxStyles", QStringLiteral("Auric"));
        press(dialog, "ok_btn");
    });
    EXPECT_EQ(TIniHandler::getInstance()->Get_style(), looks.indexOf(QStringLiteral("Auric")));
    themes::apply(looks.at(3));
}

TEST_F(Settings, ServerPasswordWithoutSecretStoreIsKeptInTheFileAndTheLogSaysSoOnce)
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        GTEST_SKIP() << "a D-Bus session bus is there; the desktop's secret store may be too";
    TIniHandler *ini = TIniHandler::getInstance();
    for (const char *password : {"s3cret", "n3w"}) {
        runSettings([password](Toption_Form &dialog) {
            dialog.findChild<QLineEdit *>(QStringLiteral("db_password_edit"))->setText(QString::fromLatin1(password));
            press(dialog, "ok_btn");
        });
        EXPECT_EQ(ini->Get_dbPassword(), QString::fromLatin1(password));
    }
    EXPECT_EQ(QFile::permissions(ini->fileName()) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const auto log = [] {
        QFile f(home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    };
    const QString note = QStringLiteral("\tDB\t-\tNo desktop secret store (");
    EXPECT_TRUE(waitFor([&] { return log().contains(note); })) << log().right(300).toStdString();
    EXPECT_EQ(log().count(note), 1);
    runSettings([](Toption_Form &dialog) {
        dialog.findChild<QLineEdit *>(QStringLiteral("db_password_edit"))->clear();
        press(dialog, "ok_btn");
    });
    EXPECT_EQ(ini->Get_dbPassword(), QString());
}
