// The modal "Options" dialog: visual style and language (both take effect at once), log
// verbosity, the decimals of pressure and temperature, how long recorded runs are kept and the
// database server's connection (taken over on OK). Created once and shown again for every use.
// GUI thread only; a connection test runs on a pool thread and reports back to this thread.
#pragma once

#include <QDialog>
#include <QString>
#include <memory>

class QButtonGroup;
class TIniHandler;
class TPasswordStore;
namespace server_failure {
struct Outcome;
struct Params;
} // namespace server_failure
template <typename T>
class QFutureWatcher;

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

    // Keeps the database password; one of the desktop's secret store unless another is given.
    TPasswordStore &passwordStore() { return *fPasswords; }
    void setPasswordStore(std::unique_ptr<TPasswordStore> store);
    // Whether a connection test is under way.
    bool testRunning() const { return fTest != nullptr; }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void ok_btnClick();
    void ComboBoxLanguagesChange();
    void ComboBoxStylesChange();
    void selectActiveStyle();
    void showServerSettings();
    void storeServerSettings();
    server_failure::Params serverParams() const;
    void db_test_btnClick();
    void showTestResult(const server_failure::Outcome &outcome, const server_failure::Params &params);
    // Lets go of a test under way; its result, when it comes, goes nowhere.
    void dropTest();

    TIniHandler *fIni() const;

    std::unique_ptr<Ui::Toption_Form> ui;
    QButtonGroup *log_items = nullptr;
    TIniHandler *fSettings;
    std::unique_ptr<TPasswordStore> fPasswords;
    QString fShownPassword; // as read at showing: written back only when changed
    QFutureWatcher<server_failure::Outcome> *fTest = nullptr;
};
