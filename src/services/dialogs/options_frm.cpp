#include "services/dialogs/options_frm.h"

#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/settings/window_text.h"
#include "services/dialogs/themes.h"
#include "services/utils/ZUtils.h"
#include "services/dialogs/msgDialogForm.h"
#include "ui_options_frm.h"

#include <QButtonGroup>
#include <QShowEvent>

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

} // namespace

Toption_Form::Toption_Form(QWidget *parent, TIniHandler *settings)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::Toption_Form>()),
      fSettings(settings)
{
    ui->setupUi(this);
    setFixedSize(380, 533);
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
    FormCreate();
    translateCaptions();
}

Toption_Form::~Toption_Form() = default;

TIniHandler *Toption_Form::fIni() const
{
    return fSettings ? fSettings : TIniHandler::getInstance();
}

void Toption_Form::FormCreate()
{
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
        ini->Set_dbRetentionDays(ui->retention_days_spin->value());
        ini->Set_dbRetentionMB(ui->retention_mb_spin->value());
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
