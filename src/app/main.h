// The main window: status bar, menu and timers, the device panel, the re-addressing group and
// the monitor view it feeds, and the three workflows (scan, re-addressing, measurement). Main thread only;
// the workers reach it through TWorkerGui's synchronised calls and the posted window message.
#pragma once

#include "transmitter/OrvelHandler.h"
#include "app/measure_Thread.h"
#include "app/scan_Thread.h"
#include "app/worker_gui.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

class TIniHandler;
class TTranslator;
class TWorkingDirHandler;
class TLogFile;
class Tmemory_Form;
class Ttable_form;
class Tabout_Form;
class Toption_Form;

namespace Ui {
class Tmain_Form;
}

class Tmain_Form : public QMainWindow, public TWorkerGui
{
    Q_OBJECT
public:
    explicit Tmain_Form(QWidget *parent = nullptr);
    ~Tmain_Form() override;

    // The windows created after the main window; the main window does not own them.
    struct Windows {
        Toption_Form *options = nullptr;
        Tmemory_Form *memory = nullptr;
        Tabout_Form *about = nullptr;
        Ttable_form *table = nullptr;
    };
    // The table shows the rows of the monitor's measurement store from then on.
    void attach_windows(const Windows &windows);

    // Status bar.
    void set_status(const QString &left, const QString &middle, const QString &right);
    void set_status_left(const QString &text);
    void set_status_middle(const QString &text);
    void set_status_right(const QString &text);
    void set_led(int index);

    // Worker operations (TWorkerGui).
    void disable_meas() override { f_meas_allowed = false; }
    void enable_meas() override { f_meas_allowed = true; }
    void disable_readdress() override { f_readdress_allowed = false; }
    void enable_readdress() override { f_readdress_allowed = true; }
    void disable_scan() override { f_scan_allowed = false; }
    void enable_scan() override { f_scan_allowed = true; }
    void show_slaveAddr() override;
    void update_status_Gui() override;
    void show_pressure_scaling() override;
    void memory_map_display() override;
    void show_scan_error() override;
    void update_single_meas() override;
    void updateGui_meas() override;
    void updateGui(const QString &message) override;

    void on_comm_error(long long wParam, long long lParam);
    void read_memory_image(bool show);
    void readdress_device();

    // Captions in the current language (main_translate.cpp).
    void translateGui();

    // The components the window owns and its inner workflow steps (main_parts.h); they also tell
    // whether a worker exists or runs and whether the re-addressing procedure holds the adapter.
    struct Parts;
    const Parts &parts() const { return *fParts; }

signals:
    // The user closed the main window: the program ends, whatever other windows are open.
    void closed();
    // A re-addressing procedure has ended, before anything else may use the adapter.
    void readdressed(bool succeeded);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Re-addressing workflow.
    void change_address_ActionExecute();
    void re_address_TimerTimer();
    void new_slaveaddr_comboSelect(int index);

    // Measurement workflow.
    void start_btnClick();
    void stop_btnClick();
    void table_btnClick();

    std::unique_ptr<Ui::Tmain_Form> ui;

    TIniHandler *fIni = nullptr;
    TTranslator *fTranslator = nullptr;
    TWorkingDirHandler *fWorkingDirHandler = nullptr;
    T_Orvel_Handler *fOrvel_Handler = nullptr;
    TLogFile *fLog = nullptr;
    QString app_path;

    QPointer<TMeasThread> fMeas;
    QPointer<TScanThread> fScan;
    bool f_meas_allowed = false;
    bool f_readdress_allowed = false;
    bool f_scan_allowed = false;

    bool f_blink = false;

    QList<T_SlaveAddr> f_new_address_list;
    QString f_selected_addr;

    QTimer style_Timer;
    QTimer time_Timer;
    QTimer scan_start_Timer;
    QTimer meas_start_Timer;
    QTimer re_address_Timer;

    // Goes first, before the timers and controls its parts refer to.
    std::unique_ptr<Parts> fParts;
};
