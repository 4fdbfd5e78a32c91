// The main window: status bar, menu and timers, the device panel, the re-addressing group and
// the monitor, and the three workflows (scan, re-addressing, measurement). Main thread only;
// the workers reach it through TWorkerGui's synchronised calls and the posted window message.
#pragma once

#include "OrvelHandler.h"
#include "measure_Thread.h"
#include "scan_Thread.h"
#include "tcolor.h"
#include "worker_gui.h"

#include <QDateTime>
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
class TBarDisplay;
class TAnalogDisplay;

namespace Ui {
class Tmain_Form;
}

class Tmain_Form : public QMainWindow, public TWorkerGui
{
    Q_OBJECT
public:
    static constexpr const char *Version = "1.3";

    explicit Tmain_Form(QWidget *parent = nullptr);
    ~Tmain_Form() override;

    // The windows created after the main window; the main window does not own them.
    struct Windows {
        Toption_Form *options = nullptr;
        Tmemory_Form *memory = nullptr;
        Tabout_Form *about = nullptr;
        Ttable_form *table = nullptr;
    };
    void attach_windows(const Windows &windows) { fWindows = windows; }

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

    bool scan_running() const { return fScan && fScan->scan_activ(); }
    bool meas_running() const { return fMeas && fMeas->meas_activ(); }
    bool Get_meas_allowed() const { return f_meas_allowed; }
    bool Get_readdress_allowed() const { return f_readdress_allowed; }
    bool Get_scan_allowed() const { return f_scan_allowed; }

    // The lamp colours by index: neutral, green, red, blue.
    static QColor led_color(int index);

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Start-up and shutdown.
    void write_log_header();
    void design_instruments();
    void connect_actions();
    void style_TimerTimer();
    void time_TimerTimer();
    void aboutActionExecute();
    bool stop_workers_and_wait();

    // Scan workflow.
    void scan_start_TimerTimer();
    void start_scan_worker();
    void ScanDeviceActionExecute();
    void show_memory_map_ActionExecute();
    void set_changes_left(const QString &text, bool buttonEnabled, int picture);

    // Re-addressing workflow.
    void rebuild_new_address_list();
    void change_address_ActionExecute();
    void re_address_TimerTimer();
    void new_slaveaddr_comboSelect(int index);

    // Measurement workflow.
    void start_btnClick();
    void meas_start_TimerTimer();
    void stop_btnClick();
    void TrackBar1Change(int position);
    void switch_buttonClick();
    void table_btnClick();
    void show_measurement_values();
    void blink();

    // Chart and chart settings panel (main_chart*.cpp).
    void init_series();
    void collapse_sidebar();
    void expand_sidebar();
    TColor chart_background() const;
    void chart_initial_ranges();
    void chart_extend_ranges();
    void chart_add_point(double x, double pressure, double temperature);
    static double elapsed_days(const QDateTime &from, const QDateTime &to);
    bool f_sidebar_expanded = false;
    TColor f_back_color = 0xFFFFFF;

    QString tr_(const char *key, const char *defaultText) const;

    std::unique_ptr<Ui::Tmain_Form> ui;
    Windows fWindows;

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

    QDateTime fstart_time;
    bool f_chart_cleared = true;
    double f_pressure_full_scale = 0;
    TColor p_color = 0x00CA6500;
    TColor t_color = 0x001111FF;
    bool f_axis_automatic = true;
    bool f_blink = false;

    QList<T_SlaveAddr> f_new_address_list;
    QString f_selected_addr;
    bool fTranslated = false;

    QTimer style_Timer;
    QTimer time_Timer;
    QTimer scan_start_Timer;
    QTimer meas_start_Timer;
    QTimer re_address_Timer;
};
