// The options dialog with its own settings store, and the single translator on a language folder
// of this test.
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/utils/UniCodeFile.h"
#include "services/dialogs/category_panel.h"
#include "dialog_driver.h"
#include "services/dialogs/options_frm.h"
#include "qt_printers.h"
#include "services/dialogs/themes.h"
#include "services/settings/password_store.h"
#include "fake_secret_service.h"
#include "wait_until.h"

#include <QComboBox>
#include <QDir>
#include <QCheckBox>
#include <QGroupBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <gtest/gtest.h>

namespace {

class Options : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fRoot.isValid());
        QDir root(fRoot.path());
        ASSERT_TRUE(root.mkpath(QStringLiteral("settings")) && root.mkpath(QStringLiteral("languages")));
        language("english.lang", {"languageName=English"});
        language("german.lang", {"languageName=Deutsch", "options=Optionen", "style=Darstellung",
                                 "language=Sprache", "ok=Gut", "cancel=Abbrechen", "pressure_display_group=Druck [bar]",
                                 "temperature_display_group=Temperatur [°C]",
                                 "number_digits=Anzahl der Nachkommastellen", "runs_retention=Aufgezeichnete Messläufe",
                                 "database=Datenbank", "db_test=Verbindung testen"});
        ini = std::make_unique<TIniHandler>(root.filePath(QStringLiteral("settings")), root.filePath(QStringLiteral("exe")));
        translator = TTranslator::getInstance();
        translator->setPath(root.filePath(QStringLiteral("languages")));
        translator->Set_Language(QStringLiteral("english.lang"));
        ini->Set_Language(QStringLiteral("english.lang"));
        startLook = themes::activeName();
        dialog = std::make_unique<Toption_Form>(nullptr, ini.get());
        secrets = std::make_shared<FakeSecretService>();
        dialog->setPasswordStore(std::make_unique<TPasswordStore>(secrets, 2000));
    }
    void TearDown() override
    {
        dialog.reset();
        TTranslator::release();
        themes::apply(startLook);
    }

    void language(const char *file, const QStringList &lines)
    {
        TUnicodeFile::writeLines(QDir(fRoot.path()).filePath(QStringLiteral("languages/") + QString::fromLatin1(file)),
                                 lines, UTF16LE);
    }
    template <typename T>
    T *child(const char *name) const
    {
        T *found = dialog->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString caption(const char *panel) const { return child<TCategoryPanel>(panel)->caption(); }
    // Picks an item of a list as the user does.
    void pick(const char *list, const QString &itemText)
    {
        auto *combo = child<QComboBox>(list);
        const int index = combo->findText(itemText);
        ASSERT_GE(index, 0) << itemText.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    QTemporaryDir fRoot;
    std::unique_ptr<TIniHandler> ini;
    TTranslator *translator = nullptr; // the single one
    std::unique_ptr<Toption_Form> dialog;
    std::shared_ptr<FakeSecretService> secrets;
    QString startLook;
};

} // namespace

TEST_F(Options, DesignedLayoutWithDefaultCaptions)
{
    translator->Set_Language(QStringLiteral("none.lang")); // every text at its default
    dialog->show();
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Options"));
    EXPECT_EQ(dialog->size(), QSize(380, 760));
    EXPECT_EQ(dialog->minimumSize(), dialog->maximumSize()) << "fixed border";
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog->windowFlags() & Qt::WindowSystemMenuHint);

    const struct {
        const char *panel;
        int height;
        const char *caption;
    } panels[] = {{"style_CategoryPanel", 81, "Style"},
                  {"language_CategoryPanel", 88, "Language"},
                  {"logfile_CategoryPanel", 99, "Logfile"},
                  {"digits_CategoryPanel", 109, "Number of Digits"},
                  {"runs_CategoryPanel", 100, "Recorded runs"},
                  {"db_CategoryPanel", 246, "Database"}};
    int top = 0;
    for (const auto &p : panels) {
        auto *panel = child<TCategoryPanel>(p.panel);
        EXPECT_EQ(panel->geometry(), QRect(0, top, 380, p.height)) << p.panel;
        EXPECT_EQ(panel->caption(), QString::fromLatin1(p.caption)) << p.panel;
        top += p.height;
    }
    const int client = TCategoryPanel::HeaderHeight;
    const struct {
        const char *control;
        QPoint place;
        int width;
    } controls[] = {{"ComboBoxStyles", {8, client + 16}, 217},      {"ComboBoxLanguages", {8, client + 24}, 217},
                    {"log_RadioGroup", {8, client + 10}, 355},      {"pressure_title", {27, client + 16}, -1},
                    {"pressure_digits_spin", {27, client + 35}, 73}, {"temperature_title", {183, client + 16}, -1},
                    {"temperature_digits_spin", {183, client + 35}, 73},
                    {"retention_days_title", {8, client + 8}, 270},  {"retention_days_spin", {290, client + 12}, 73},
                    {"retention_mb_title", {8, client + 40}, 270},   {"retention_mb_spin", {290, client + 44}, 73},
                    {"db_type_combo", {112, client + 4}, 140},       {"db_tls_check", {255, client + 4}, 113},
                    {"db_host_edit", {112, client + 29}, 150},       {"db_port_spin", {298, client + 29}, 65},
                    {"db_name_edit", {112, client + 54}, 251},       {"db_user_edit", {112, client + 79}, 251},
                    {"db_password_edit", {112, client + 104}, 251},  {"db_timeout_spin", {112, client + 129}, 73},
                    {"db_test_btn", {213, client + 128}, 150},       {"db_test_result_lbl", {8, client + 158}, 355}};
    for (const auto &c : controls) {
        QWidget *control = child<QWidget>(c.control);
        const QPoint inPanel = control->mapTo(control->parentWidget()->parentWidget(), QPoint(0, 0));
        EXPECT_EQ(inPanel, c.place) << c.control;
        if (c.width > 0) {
            EXPECT_EQ(control->width(), c.width) << c.control;
        }
    }
    EXPECT_EQ(child<QGroupBox>("log_RadioGroup")->height(), 45);

    auto *bar = child<QWidget>("bottom_bar");
    EXPECT_EQ(bar->geometry(), QRect(0, 760 - 37, 380, 37));
    EXPECT_EQ(child<QPushButton>("ok_btn")->pos(), QPoint(290, 8));
    EXPECT_EQ(child<QPushButton>("cancel_btn")->pos(), QPoint(13, 8));

    const struct {
        const char *widget;
        const char *text;
    } texts[] = {{"ok_btn", "OK"},           {"cancel_btn", "Cancel"},  {"pressure_title", "Pressure [bar]"},
                 {"temperature_title", "Temperature [°C]"}, {"log_normal", "Normal"}, {"log_error", "Error"},
                 {"log_detailed", "Detailed"},
                 {"retention_days_title", "Keep runs for at most N days (0: always)"},
                 {"retention_mb_title", "Keep at most N MB of runs (0: no limit)"},
                 {"db_type_title", "Type"}, {"db_tls_check", "Require TLS"}, {"db_host_title", "Host"},
                 {"db_port_title", "Port"}, {"db_timeout_title", "Time-out [s]"}, {"db_name_title", "Database name"},
                 {"db_user_title", "User"}, {"db_password_title", "Password"}, {"db_test_btn", "Test connection"},
                 {"db_test_result_lbl", ""}};
    for (const auto &t : texts) {
        QWidget *w = child<QWidget>(t.widget);
        const QString shown = qobject_cast<QLabel *>(w) ? qobject_cast<QLabel *>(w)->text()
                                                        : qobject_cast<QAbstractButton *>(w)->text();
        EXPECT_EQ(shown, QString::fromUtf8(t.text)) << t.widget;
    }

    auto *pressure = child<QSpinBox>("pressure_digits_spin");
    auto *temperature = child<QSpinBox>("temperature_digits_spin");
    EXPECT_EQ(pressure->value(), 3);
    EXPECT_EQ(temperature->value(), 2);
    for (QSpinBox *spin : {pressure, temperature}) {
        EXPECT_EQ(spin->minimum(), 0);
        EXPECT_EQ(spin->maximum(), 5);
    }
    // What the settings keep, no less and no more.
    const struct {
        const char *spin;
        int maximum;
    } retention[] = {{"retention_days_spin", TIniHandler::MaxRetentionDays}, {"retention_mb_spin", TIniHandler::MaxRetentionMB}};
    for (const auto &r : retention) {
        auto *spin = child<QSpinBox>(r.spin);
        EXPECT_EQ(spin->value(), 0) << r.spin;
        EXPECT_EQ(spin->minimum(), 0) << r.spin;
        EXPECT_EQ(spin->maximum(), r.maximum) << r.spin;
    }
}

TEST_F(Options, LanguageListPicksTheCurrentOneAndSwitchesAtOnce)
{
    dialog->show();
    auto *languages = child<QComboBox>("ComboBoxLanguages");
    ASSERT_EQ(languages->count(), 2);
    EXPECT_EQ(languages->itemText(0), QStringLiteral("English"));
    EXPECT_EQ(languages->itemData(0).toString(), QStringLiteral("english.lang"));
    EXPECT_EQ(languages->itemText(1), QStringLiteral("Deutsch"));
    EXPECT_EQ(languages->itemData(1).toString(), QStringLiteral("german.lang"));
    EXPECT_EQ(languages->currentText(), QStringLiteral("English"));

    pick("ComboBoxLanguages", QStringLiteral("Deutsch"));
    EXPECT_EQ(translator->Get_Language(), QStringLiteral("Deutsch"));
    EXPECT_EQ(ini->Get_Language(), QStringLiteral("german.lang")) << "stored at once";
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Optionen"));
    EXPECT_EQ(caption("style_CategoryPanel"), QStringLiteral("Darstellung"));
    EXPECT_EQ(caption("language_CategoryPanel"), QStringLiteral("Sprache"));
    EXPECT_EQ(caption("digits_CategoryPanel"), QStringLiteral("Anzahl der Nachkommastellen"));
    EXPECT_EQ(caption("runs_CategoryPanel"), QStringLiteral("Aufgezeichnete Messläufe"));
    EXPECT_EQ(caption("db_CategoryPanel"), QStringLiteral("Datenbank"));
    EXPECT_EQ(child<QPushButton>("db_test_btn")->text(), QStringLiteral("Verbindung testen"));
    EXPECT_EQ(caption("logfile_CategoryPanel"), QStringLiteral("Logfile")) << "never translated";
    EXPECT_EQ(child<QPushButton>("ok_btn")->text(), QStringLiteral("Gut"));
    EXPECT_EQ(child<QPushButton>("cancel_btn")->text(), QStringLiteral("Abbrechen"));
    EXPECT_EQ(child<QLabel>("pressure_title")->text(), QStringLiteral("Druck [bar]"));
    EXPECT_EQ(child<QRadioButton>("log_detailed")->text(), QStringLiteral("Detailed"));

    // Shown again, the list follows the translator.
    dialog->hide();
    dialog->show();
    EXPECT_EQ(languages->currentText(), QStringLiteral("Deutsch"));
}

TEST_F(Options, LanguageMissingFromTheListLeavesItUnselectedAndUnchanged)
{
    language("later.lang", {"languageName=Later"}); // after the translator listed the folder
    translator->Set_Language(QStringLiteral("later.lang"));
    dialog->show();
    EXPECT_EQ(child<QComboBox>("ComboBoxLanguages")->currentIndex(), -1);
    dialog->setLang(true);
    EXPECT_EQ(translator->Get_Language(), QStringLiteral("Later"));
    EXPECT_EQ(ini->Get_Language(), QStringLiteral("english.lang"));
}

TEST_F(Options, StyleListAppliesAtOnceButStoresNothing)
{
    dialog->show();
    auto *styles = child<QComboBox>("ComboBoxStyles");
    QStringList names;
    for (int i = 0; i < styles->count(); ++i)
        names << styles->itemText(i);
    EXPECT_EQ(names, themes::names());
    QStringList carried = names.mid(1);
    carried.sort();
    EXPECT_EQ(carried, QStringList({"Amethyst Kamri", "Aqua Light Slate", "Auric", "Carbon", "Lavender Classico"}));
    EXPECT_EQ(styles->currentText(), themes::activeName());

    const QString other = themes::activeName() == QStringLiteral("Carbon") ? QStringLiteral("Auric")
                                                                            : QStringLiteral("Carbon");
    pick("ComboBoxStyles", other);
    EXPECT_EQ(themes::activeName(), other);
    EXPECT_EQ(dialog->Get_style_name(), other);
    EXPECT_EQ(dialog->Get_style_index(), names.indexOf(other));
    EXPECT_EQ(ini->Get_style(), 3) << "stored only by the main window on OK";

    // A look applied elsewhere is the one selected at the next opening.
    themes::apply(QStringLiteral("Lavender Classico"));
    dialog->hide();
    dialog->show();
    EXPECT_EQ(styles->currentText(), QStringLiteral("Lavender Classico"));
}

namespace {

struct CloseCase {
    const char *button;
    int result;
    bool stored;
};

} // namespace

TEST_F(Options, OkStoresTheDigitsAndRetentionAndCancelDoesNot)
{
    const CloseCase cases[] = {{"cancel_btn", QDialog::Rejected, false}, {"ok_btn", QDialog::Accepted, true}};
    for (const CloseCase &c : cases) {
        SCOPED_TRACE(c.button);
        ini->Set_pressure_digits(3);
        ini->Set_temperature_digits(2);
        ini->Set_dbRetentionDays(0);
        ini->Set_dbRetentionMB(250);
        int shownDays = -1, shownMB = -1;
        DialogDriver<Toption_Form> driver([&](Toption_Form &shown) {
            auto spin = [&shown](const char *name) { return shown.findChild<QSpinBox *>(QString::fromLatin1(name)); };
            shownDays = spin("retention_days_spin")->value();
            shownMB = spin("retention_mb_spin")->value();
            spin("pressure_digits_spin")->setValue(9);
            spin("temperature_digits_spin")->setValue(-4);
            spin("retention_days_spin")->setValue(30);
            spin("retention_mb_spin")->setValue(0);
            shown.findChild<QPushButton *>(QString::fromLatin1(c.button))->click();
        });
        EXPECT_EQ(dialog->exec(), c.result);
        ASSERT_TRUE(driver.ran());
        EXPECT_EQ(shownDays, 0) << "each opening shows what is stored";
        EXPECT_EQ(shownMB, 250);
        EXPECT_EQ(ini->Get_pressure_digits(), c.stored ? 5 : 3) << "kept within 0 to 5";
        EXPECT_EQ(ini->Get_temperature_digits(), c.stored ? 0 : 2);
        EXPECT_EQ(ini->Get_dbRetentionDays(), c.stored ? 30 : 0);
        EXPECT_EQ(ini->Get_dbRetentionMB(), c.stored ? 0 : 250);
    }
    // Each opening shows what is stored.
    ini->Set_pressure_digits(1);
    dialog->show();
    EXPECT_EQ(child<QSpinBox>("pressure_digits_spin")->value(), 1);
}

TEST_F(Options, LogRadioGroupHoldsOneOrNoItem)
{
    const struct {
        int set;
        int got;
        const char *checked;
    } cases[] = {{2, 2, "log_detailed"}, {0, 0, "log_normal"}, {1, 1, "log_error"}, {-1, -1, nullptr}, {7, -1, nullptr}};
    for (const auto &c : cases) {
        dialog->Set_log_index(c.set);
        EXPECT_EQ(dialog->Get_log_index(), c.got) << c.set;
        for (const char *item : {"log_normal", "log_error", "log_detailed"}) {
            EXPECT_EQ(child<QRadioButton>(item)->isChecked(), c.checked && QLatin1String(item) == QLatin1String(c.checked))
                << c.set << " " << item;
        }
    }
    child<QRadioButton>("log_error")->click();
    EXPECT_EQ(dialog->Get_log_index(), 1);
}

TEST_F(Options, PanelsFoldAwayAndBackByTheirCaptionBar)
{
    dialog->show();
    auto *panel = child<TCategoryPanel>("digits_CategoryPanel");
    QWidget *content = child<QWidget>("digits_CategoryPanel_client");
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(40, 8));
    EXPECT_TRUE(panel->collapsed());
    EXPECT_EQ(panel->height(), TCategoryPanel::HeaderHeight);
    EXPECT_FALSE(content->isVisible());
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(40, TCategoryPanel::HeaderHeight + 10));
    EXPECT_TRUE(panel->collapsed()) << "a click below the bar does not fold";
    QTest::mouseClick(panel, Qt::LeftButton, {}, QPoint(40, 8));
    EXPECT_FALSE(panel->collapsed());
    EXPECT_EQ(panel->height(), 109);
    EXPECT_TRUE(content->isVisible());
}

TEST_F(Options, ServerConnectionIsShownAndStoredOnOk)
{
    ini->Set_dbHost(QStringLiteral("db.lab"));
    ini->Set_dbPort(3307);
    ini->Set_dbTimeout(12);
    ini->Set_dbName(QStringLiteral("runs"));
    ini->Set_dbLoginName(QStringLiteral("bench"));
    ini->Set_dbRequireTLS(true);
    ini->Set_dbPassword(QStringLiteral("from-file")); // moves into the secret store when shown
    dialog->show();
    auto *type = child<QComboBox>("db_type_combo");
    EXPECT_EQ(type->currentData().toString(), QStringLiteral("mysql"));
    EXPECT_EQ(type->currentText(), QStringLiteral("MySQL / MariaDB"));
    EXPECT_EQ(child<QLineEdit>("db_host_edit")->text(), QStringLiteral("db.lab"));
    EXPECT_EQ(child<QSpinBox>("db_port_spin")->value(), 3307);
    EXPECT_EQ(child<QSpinBox>("db_timeout_spin")->value(), 12);
    EXPECT_EQ(child<QLineEdit>("db_name_edit")->text(), QStringLiteral("runs"));
    EXPECT_EQ(child<QLineEdit>("db_user_edit")->text(), QStringLiteral("bench"));
    EXPECT_TRUE(child<QCheckBox>("db_tls_check")->isChecked());
    auto *password = child<QLineEdit>("db_password_edit");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    EXPECT_EQ(password->text(), QStringLiteral("from-file"));
    EXPECT_EQ(ini->Get_dbPassword(), QString());
    dialog->hide();

    const CloseCase cases[] = {{"cancel_btn", QDialog::Rejected, false}, {"ok_btn", QDialog::Accepted, true}};
    for (const CloseCase &c : cases) {
        SCOPED_TRACE(c.button);
        DialogDriver<Toption_Form> driver([&](Toption_Form &shown) {
            const auto edit = [&shown](const char *name) { return shown.findChild<QLineEdit *>(QString::fromLatin1(name)); };
            const auto spin = [&shown](const char *name) { return shown.findChild<QSpinBox *>(QString::fromLatin1(name)); };
            edit("db_host_edit")->setText(QStringLiteral("  db2.lab "));
            spin("db_port_spin")->setValue(3306);
            spin("db_timeout_spin")->setValue(5);
            edit("db_name_edit")->setText(QStringLiteral("journal"));
            edit("db_user_edit")->setText(QStringLiteral("line7"));
            edit("db_password_edit")->setText(QStringLiteral("n3w"));
            shown.findChild<QCheckBox *>(QStringLiteral("db_tls_check"))->setChecked(false);
            shown.findChild<QPushButton *>(QString::fromLatin1(c.button))->click();
        });
        EXPECT_EQ(dialog->exec(), c.result);
        ASSERT_TRUE(driver.ran());
        EXPECT_EQ(ini->Get_dbHost(), c.stored ? QStringLiteral("db2.lab") : QStringLiteral("db.lab"));
        EXPECT_EQ(ini->Get_dbPort(), c.stored ? 3306 : 3307);
        EXPECT_EQ(ini->Get_dbTimeout(), c.stored ? 5 : 12);
        EXPECT_EQ(ini->Get_dbName(), c.stored ? QStringLiteral("journal") : QStringLiteral("runs"));
        EXPECT_EQ(ini->Get_dbLoginName(), c.stored ? QStringLiteral("line7") : QStringLiteral("bench"));
        EXPECT_EQ(ini->Get_dbRequireTLS(), !c.stored);
        EXPECT_EQ(secrets->stored.value(TPasswordStore::Key), c.stored ? QStringLiteral("n3w") : QStringLiteral("from-file"));
        EXPECT_EQ(ini->Get_dbPassword(), QString()) << "never in the file beside the secret store";
    }

    // An unchanged password is not written again.
    const int calls = secrets->calls;
    DialogDriver<Toption_Form> ok([](Toption_Form &shown) { shown.findChild<QPushButton *>(QStringLiteral("ok_btn"))->click(); });
    EXPECT_EQ(dialog->exec(), QDialog::Accepted);
    EXPECT_EQ(secrets->calls, calls + 1) << "the read at showing only";
}

TEST_F(Options, StoredTypeThisProgramDoesNotOfferIsKept)
{
    ini->Set_dbType(QStringLiteral("postgres"));
    dialog->show();
    auto *type = child<QComboBox>("db_type_combo");
    EXPECT_EQ(type->currentData().toString(), QStringLiteral("postgres"));
    child<QPushButton>("ok_btn")->click();
    EXPECT_EQ(ini->Get_dbType(), QStringLiteral("postgres"));
}

namespace {

// Shown in the result label once the test is over.
bool testOver(Toption_Form &dialog)
{
    return !dialog.testRunning() && dialog.findChild<QPushButton *>(QStringLiteral("db_test_btn"))->isEnabled();
}

} // namespace

TEST_F(Options, ConnectionTestSaysWhatFailedWithoutFreezing)
{
    // Accepted by the system, never greeted: the test lasts its whole time-out.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    const struct {
        const char *host;
        int port;
        bool lasts; // for the whole time-out
        const char *expected;
    } cases[] = {{"no-such-host.invalid", 3306, false, "The server name no-such-host.invalid is not known: check the host name. ["},
                 {"127.0.0.1", silent.serverPort(), true, "The server 127.0.0.1 did not answer within 1 seconds."}};
    dialog->show();
    auto *button = child<QPushButton>("db_test_btn");
    auto *result = child<QLabel>("db_test_result_lbl");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.host);
        child<QLineEdit>("db_host_edit")->setText(QString::fromLatin1(c.host));
        child<QSpinBox>("db_port_spin")->setValue(c.port);
        child<QSpinBox>("db_timeout_spin")->setValue(1);
        bool servedMeanwhile = false;
        QTimer::singleShot(0, [&] { servedMeanwhile = dialog->testRunning(); });
        button->click();
        EXPECT_FALSE(button->isEnabled());
        EXPECT_EQ(result->text(), QStringLiteral("Testing the connection …"));
        ASSERT_TRUE(wait_until::pumping([&] { return testOver(*dialog); }, 30000));
        if (c.lasts) {
            EXPECT_TRUE(servedMeanwhile) << "the dialog's events were served while the test ran";
        }
        EXPECT_TRUE(result->text().startsWith(QString::fromLatin1(c.expected))) << result->text().toStdString();
        EXPECT_TRUE(result->styleSheet().contains(QLatin1String("#c62828"))) << "red";
        EXPECT_EQ(result->toolTip(), result->text());
    }
    EXPECT_EQ(ini->Get_dbHost(), QString()) << "a test stores nothing";
}

TEST_F(Options, ClosedWhileATestRuns)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    dialog->show();
    child<QLineEdit>("db_host_edit")->setText(QStringLiteral("127.0.0.1"));
    child<QSpinBox>("db_port_spin")->setValue(silent.serverPort());
    child<QSpinBox>("db_timeout_spin")->setValue(1);

    // Hidden: the test is let go, the next opening starts clean.
    child<QPushButton>("db_test_btn")->click();
    ASSERT_TRUE(dialog->testRunning());
    child<QPushButton>("cancel_btn")->click();
    EXPECT_FALSE(dialog->testRunning());
    QThreadPool::globalInstance()->waitForDone();
    wait_until::pumping([] { return false; }, 100);
    dialog->show();
    EXPECT_EQ(child<QLabel>("db_test_result_lbl")->text(), QString());
    EXPECT_TRUE(child<QPushButton>("db_test_btn")->isEnabled());

    // Destroyed: the result finds no dialog.
    child<QLineEdit>("db_host_edit")->setText(QStringLiteral("127.0.0.1"));
    child<QPushButton>("db_test_btn")->click();
    ASSERT_TRUE(dialog->testRunning());
    dialog.reset();
    QThreadPool::globalInstance()->waitForDone();
    wait_until::pumping([] { return false; }, 100);
}

TEST_F(Options, OkWithTheServerUntouchedWritesNoServerSettings)
{
    dialog->show();
    child<QPushButton>("ok_btn")->click();
    EXPECT_FALSE(ini->hasSection(QStringLiteral("dbconfig")))
        << "the defaults shown are not written: retention 0, type mysql, port 3306, time-out 30";
}

TEST_F(Options, ConnectionTestAgainstTheTestServerSaysConnectedInGreen)
{
    const QString host = qEnvironmentVariable("ZORBIT_TEST_MARIADB_HOST");
    if (host.isEmpty())
        GTEST_SKIP() << "no MariaDB server given (ZORBIT_TEST_MARIADB_HOST)";
    const int port = qEnvironmentVariableIntValue("ZORBIT_TEST_MARIADB_PORT");
    dialog->show();
    child<QLineEdit>("db_host_edit")->setText(host);
    child<QSpinBox>("db_port_spin")->setValue(port > 0 ? port : 3306);
    child<QLineEdit>("db_user_edit")->setText(qEnvironmentVariable("ZORBIT_TEST_MARIADB_ROOT_USER", QStringLiteral("root")));
    child<QLineEdit>("db_password_edit")->setText(qEnvironmentVariable("ZORBIT_TEST_MARIADB_ROOT_PASSWORD"));
    child<QPushButton>("db_test_btn")->click();
    ASSERT_TRUE(wait_until::pumping([&] { return testOver(*dialog); }, 30000));
    auto *result = child<QLabel>("db_test_result_lbl");
    EXPECT_TRUE(result->text().startsWith(QStringLiteral("Connected to ") + host + QStringLiteral(" (server version ")))
        << result->text().toStdString();
    EXPECT_TRUE(result->styleSheet().contains(QLatin1String("#1b7a2e"))) << "green";
}
