#include "services/dialogs/options_frm.h"

#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/settings/window_text.h"
#include "services/dialogs/themes.h"
#include "services/utils/ZUtils.h"
#include "services/dialogs/msgDialogForm.h"
#include "services/recording/server_failure.h"
#include "services/settings/password_store.h"
#include "ui_options_frm.h"

#include <QButtonGroup>
#include <QFutureWatcher>
#include <QShowEvent>
#include <QtConcurrent/QtConcurrentRun>

namespace {

// A settings write the system refuses ends the user's step with the store's message.
template <typename Step>
bool reportRefusedWrite(Step step)
{
    try {
        step();
        return true;
    } catch (const EInOutError &e) {
        TmsgDialog::createDialog(QString::fromLocal8Bit(e.what()), mtError, {mbOk});
        return false;
    }
}

// Each write rewrites the settings file: only what the user changed is written.
template <typename Value, typename Get, typename Set>
void storeChanged(TIniHandler &ini, Get get, Set set, const Value &value)
{
    if ((ini.*get)() != value)
        (ini.*set)(value);
}

} // namespace

Toption_Form::Toption_Form(QWidget *parent, TIniHandler *settings)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::Toption_Form>()),
      fSettings(settings),
      fPasswords(std::make_unique<TPasswordStore>())
{
    ui->setupUi(this);
    setFixedSize(380, 760);
    ui->retention_days_spin->setMaximum(TIniHandler::MaxRetentionDays);
    ui->retention_mb_spin->setMaximum(TIniHandler::MaxRetentionMB);

    log_items = new QButtonGroup(this);
    log_items->addButton(ui->log_normal, 0);
    log_items->addButton(ui->log_error, 1);
    log_items->addButton(ui->log_detailed, 2);

    connect(ui->ok_btn, &QPushButton::clicked, this, &Toption_Form::ok_btnClick);
    connect(ui->cancel_btn, &QPushButton::clicked, this, &QDialog::reject);
    // Only the user's picks: filling the lists selects items too.
    connect(ui->ComboBoxLanguages, qOverload<int>(&QComboBox::activated), this,
            &Toption_Form::ComboBoxLanguagesChange);
    connect(ui->ComboBoxStyles, qOverload<int>(&QComboBox::activated), this, &Toption_Form::ComboBoxStylesChange);
    connect(ui->db_test_btn, &QPushButton::clicked, this, &Toption_Form::db_test_btnClick);
    FormCreate();
    translateCaptions();
}

// A test under way keeps running on its pool thread; its result is dropped with the watcher.
Toption_Form::~Toption_Form() = default;

void Toption_Form::setPasswordStore(std::unique_ptr<TPasswordStore> store)
{
    fPasswords = std::move(store);
}

TIniHandler *Toption_Form::fIni() const
{
    return fSettings ? fSettings : TIniHandler::getInstance();
}

void Toption_Form::FormCreate()
{
    ui->db_type_combo->addItem(QString(), QStringLiteral("mysql"));
    ui->ComboBoxStyles->addItems(themes::names());
    selectActiveStyle();
}

void Toption_Form::selectActiveStyle()
{
    ui->ComboBoxStyles->setCurrentIndex(ui->ComboBoxStyles->findText(themes::activeName()));
}

void Toption_Form::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void Toption_Form::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        dropTest();
    QDialog::hideEvent(event);
}

void Toption_Form::FormShow()
{
    // The stored style is applied after this dialog was made: show the one in use.
    selectActiveStyle();
    TTranslator *translator = TTranslator::getInstance();
    ui->ComboBoxLanguages->clear();
    for (const TTranslator::Language &language : translator->getLanguages())
        ui->ComboBoxLanguages->addItem(language.second, language.first);
    ui->ComboBoxLanguages->setCurrentIndex(ui->ComboBoxLanguages->findText(translator->Get_Language()));
    TIniHandler *ini = fIni();
    ui->pressure_digits_spin->setValue(ini->Get_pressure_digits());
    ui->temperature_digits_spin->setValue(ini->Get_temperature_digits());
    ui->retention_days_spin->setValue(ini->Get_dbRetentionDays());
    ui->retention_mb_spin->setValue(ini->Get_dbRetentionMB());
    showServerSettings();
    translateCaptions();
}

void Toption_Form::translateCaptions()
{
    using window_text::tr_;
    setWindowTitle(tr_("options", "Options"));
    ui->style_CategoryPanel->setCaption(tr_("style", "Style"));
    ui->language_CategoryPanel->setCaption(tr_("language", "Language"));
    ui->logfile_CategoryPanel->setCaption(tr_("logfile", "Logfile"));
    ui->log_normal->setText(tr_("normal", "Normal"));
    ui->log_error->setText(tr_("error", "Error"));
    ui->log_detailed->setText(tr_("detailed", "Detailed"));
    ui->ok_btn->setText(tr_("ok", "OK"));
    ui->cancel_btn->setText(tr_("cancel", "Cancel"));
    ui->pressure_title->setText(tr_("pressure_display_group", "Pressure [bar]"));
    ui->temperature_title->setText(tr_("temperature_display_group", "Temperature [°C]"));
    ui->digits_CategoryPanel->setCaption(tr_("number_digits", "Number of Digits"));
    ui->runs_CategoryPanel->setCaption(tr_("runs_retention", "Recorded runs"));
    ui->retention_days_title->setText(tr_("retention_days", "Keep runs for at most N days (0: always)"));
    ui->retention_mb_title->setText(tr_("retention_mb", "Keep at most N MB of runs (0: no limit)"));
    ui->db_CategoryPanel->setCaption(tr_("database", "Database"));
    ui->db_type_title->setText(tr_("db_type", "Type"));
    ui->db_type_combo->setItemText(0, tr_("db_type_mysql", "MySQL / MariaDB"));
    ui->db_tls_check->setText(tr_("db_require_tls", "Require TLS"));
    ui->db_host_title->setText(tr_("db_host", "Host"));
    ui->db_port_title->setText(tr_("db_port", "Port"));
    ui->db_timeout_title->setText(tr_("db_timeout", "Time-out [s]"));
    ui->db_name_title->setText(tr_("db_name", "Database name"));
    ui->db_user_title->setText(tr_("db_user", "User"));
    ui->db_password_title->setText(tr_("db_password", "Password"));
    ui->db_test_btn->setText(tr_("db_test", "Test connection"));
}

void Toption_Form::setLang(bool save)
{
    const int index = ui->ComboBoxLanguages->currentIndex();
    if (index < 0)
        return;
    const QString fileName = ui->ComboBoxLanguages->itemData(index).toString();
    TTranslator::getInstance()->Set_Language(fileName);
    if (save)
        fIni()->Set_Language(fileName);
}

void Toption_Form::ComboBoxLanguagesChange()
{
    reportRefusedWrite([this] { setLang(true); });
    translateCaptions();
}

void Toption_Form::ComboBoxStylesChange()
{
    themes::apply(Get_style_name());
}

void Toption_Form::ok_btnClick()
{
    const bool stored = reportRefusedWrite([this] {
        TIniHandler *ini = fIni();
        ini->Set_pressure_digits(ui->pressure_digits_spin->value());
        ini->Set_temperature_digits(ui->temperature_digits_spin->value());
        storeChanged(*ini, &TIniHandler::Get_dbRetentionDays, &TIniHandler::Set_dbRetentionDays,
                     ui->retention_days_spin->value());
        storeChanged(*ini, &TIniHandler::Get_dbRetentionMB, &TIniHandler::Set_dbRetentionMB,
                     ui->retention_mb_spin->value());
        storeServerSettings();
    });
    if (stored)
        accept();
}

int Toption_Form::Get_log_index() const
{
    return log_items->checkedId();
}

void Toption_Form::Set_log_index(int index)
{
    if (QAbstractButton *item = log_items->button(index)) {
        item->setChecked(true);
        return;
    }
    // An exclusive group keeps one item checked; let go of it to show none.
    log_items->setExclusive(false);
    for (QAbstractButton *item : log_items->buttons())
        item->setChecked(false);
    log_items->setExclusive(true);
}

int Toption_Form::Get_style_index() const
{
    return ui->ComboBoxStyles->currentIndex();
}

QString Toption_Form::Get_style_name() const
{
    return ui->ComboBoxStyles->currentText();
}

void Toption_Form::showServerSettings()
{
    TIniHandler *ini = fIni();
    // A type this program does not offer stays as it is stored.
    const QString type = ini->Get_dbType();
    int typeIndex = ui->db_type_combo->findData(type);
    if (typeIndex < 0) {
        ui->db_type_combo->addItem(type, type);
        typeIndex = ui->db_type_combo->count() - 1;
    }
    ui->db_type_combo->setCurrentIndex(typeIndex);
    ui->db_host_edit->setText(ini->Get_dbHost());
    ui->db_port_spin->setValue(ini->Get_dbPort());
    ui->db_timeout_spin->setValue(ini->Get_dbTimeout());
    ui->db_name_edit->setText(ini->Get_dbName());
    ui->db_user_edit->setText(ini->Get_dbLoginName());
    ui->db_tls_check->setChecked(ini->Get_dbRequireTLS());
    fShownPassword = fPasswords->read(*ini);
    ui->db_password_edit->setText(fShownPassword);
    ui->db_test_result_lbl->clear();
    ui->db_test_result_lbl->setToolTip(QString());
}

void Toption_Form::storeServerSettings()
{
    TIniHandler &ini = *fIni();
    const server_failure::Params p = serverParams();
    storeChanged(ini, &TIniHandler::Get_dbType, &TIniHandler::Set_dbType, p.type);
    storeChanged(ini, &TIniHandler::Get_dbHost, &TIniHandler::Set_dbHost, p.host);
    storeChanged(ini, &TIniHandler::Get_dbPort, &TIniHandler::Set_dbPort, p.port);
    storeChanged(ini, &TIniHandler::Get_dbTimeout, &TIniHandler::Set_dbTimeout, p.timeoutSeconds);
    storeChanged(ini, &TIniHandler::Get_dbName, &TIniHandler::Set_dbName, p.database);
    storeChanged(ini, &TIniHandler::Get_dbLoginName, &TIniHandler::Set_dbLoginName, p.user);
    storeChanged(ini, &TIniHandler::Get_dbRequireTLS, &TIniHandler::Set_dbRequireTLS, p.requireTls);
    if (p.password != fShownPassword) {
        fPasswords->write(ini, p.password);
        fShownPassword = p.password;
    }
}

server_failure::Params Toption_Form::serverParams() const
{
    server_failure::Params p;
    p.type = ui->db_type_combo->currentData().toString();
    p.host = ui->db_host_edit->text().trimmed();
    p.port = uint16_t(ui->db_port_spin->value());
    p.timeoutSeconds = ui->db_timeout_spin->value();
    p.database = ui->db_name_edit->text().trimmed();
    p.user = ui->db_user_edit->text().trimmed();
    p.password = ui->db_password_edit->text();
    p.requireTls = ui->db_tls_check->isChecked();
    return p;
}

void Toption_Form::db_test_btnClick()
{
    if (fTest)
        return;
    const server_failure::Params params = serverParams();
    ui->db_test_btn->setEnabled(false);
    ui->db_test_result_lbl->setStyleSheet(QString());
    ui->db_test_result_lbl->setToolTip(QString());
    ui->db_test_result_lbl->setText(window_text::tr_("db_testing", "Testing the connection …"));
    // The probe may wait for the whole time-out: never on this thread.
    fTest = new QFutureWatcher<server_failure::Outcome>(this);
    connect(fTest, &QFutureWatcherBase::finished, this, [this, params] {
        const server_failure::Outcome outcome = fTest->result();
        dropTest();
        showTestResult(outcome, params);
    });
    fTest->setFuture(QtConcurrent::run(&server_failure::probe, params));
}

void Toption_Form::showTestResult(const server_failure::Outcome &outcome, const server_failure::Params &params)
{
    ui->db_test_result_lbl->setStyleSheet(outcome.connected() ? QStringLiteral("color: #1b7a2e;")
                                                              : QStringLiteral("color: #c62828;"));
    const QString words = server_failure::words(outcome, params, window_text::tr_);
    ui->db_test_result_lbl->setText(words);
    // The server's own text can be long: whole in the tip where the label cuts it.
    ui->db_test_result_lbl->setToolTip(words);
}

void Toption_Form::dropTest()
{
    if (!fTest)
        return;
    fTest->disconnect(this);
    fTest->deleteLater();
    fTest = nullptr;
    ui->db_test_btn->setEnabled(true);
}
