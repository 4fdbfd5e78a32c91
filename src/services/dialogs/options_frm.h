// The modal "Options" dialog: visual style and language (both take effect at once), log
// verbosity, the decimals of pressure and temperature and how long recorded runs are kept
// (taken over on OK). Created once and shown again for every use. GUI thread only.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class QButtonGroup;
class TIniHandler;

namespace Ui {
class Toption_Form;
}

class Toption_Form : public QDialog
{
    Q_OBJECT

public:
    // Without a settings store the program's single one is used. That and the single
    // translator are taken afresh on each use: the main window releases them before this
    // dialog ends.
    explicit Toption_Form(QWidget *parent = nullptr, TIniHandler *settings = nullptr);
    ~Toption_Form() override;

    // Loads the selected language into the translator and, when `save`, stores it. Without a
    // selected language nothing changes.
    void setLang(bool save);
    // Captions in the current language; on making, showing and picking a language.
    void translateCaptions();

    // The log verbosity picked in the radio group: 0 Normal, 1 Error, 2 Detailed, -1 none.
    int Get_log_index() const;
    void Set_log_index(int index);
    // The selected entry of the style list, -1 when none.
    int Get_style_index() const;
    QString Get_style_name() const;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void ok_btnClick();
    void ComboBoxLanguagesChange();
    void ComboBoxStylesChange();
    void selectActiveStyle();

    TIniHandler *fIni() const;

    std::unique_ptr<Ui::Toption_Form> ui;
    QButtonGroup *log_items = nullptr;
    TIniHandler *fSettings;
};
