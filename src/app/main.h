// The main window: status bar, menu and timers, the device panel, the re-addressing group and
// the monitor, and the three workflows (scan, re-addressing, measurement). Main thread only;
// the workers reach it through TWorkerGui's synchronised calls and the posted window message.
#pragma once

#include "OrvelHandler.h"
#include "readdress.h"
#include "readdress_journal.h"
#include "measure_Thread.h"
#include "scan_Thread.h"
#include "worker_gui.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <optional>

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
class QCPAxis;
class TMonitorChart;
class Tjournal_form;

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
    // The table shows the rows of the chart's measurement store from then on.
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

    // A worker object that has not yet gone, running or on its way out.
    bool worker_exists() const { return !fScan.isNull() || !fMeas.isNull(); }
    bool readdressing() const { return f_readdressing; }
    bool scan_running() const { return fScan && fScan->scan_activ(); }
    bool meas_running() const { return fMeas && fMeas->meas_activ(); }
    bool Get_meas_allowed() const { return f_meas_allowed; }
    bool Get_readdress_allowed() const { return f_readdress_allowed; }
    bool Get_scan_allowed() const { return f_scan_allowed; }

    // The lamp colours by index: neutral, green, red, blue.
    static QColor led_color(int index);

    // Languages and settings (main_translate.cpp, main_settings.cpp)
    void translateGui();
    QString device_status_text(uint8_t status) const;
    void show_switch_caption();
    void setting_ActionExecute();
    void hook_settings_and_log_viewer();

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
    // Start-up and shutdown.
    void write_log_header();
    // A settings file that refuses writes is told once (main_file_faults.cpp).
    void hook_settings_failures();
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
    static constexpr int NoChangesShown = -2;
    static constexpr int NotCalibrated = -1;
    void show_changes_left(int state);
    enum AdapterProblem { NoProblem, NoAdapter, SilentAdapter };
    void show_adapter_problem();
    int f_adapter_problem = NoProblem;
    int f_changes_shown = NoChangesShown;
    // The device panel shows a transmitter that was read, not the empty model.
    bool f_device_read = false;

    // Re-addressing workflow.
    void rebuild_new_address_list();
    void change_address_ActionExecute();
    void re_address_TimerTimer();
    void new_slaveaddr_comboSelect(int index);
    void slaveaddr_comboSelect(int index);
    // Starts one of the three start timers and stops the other two.
    void arm_start_timer(QTimer &timer);
    // Somebody uses the adapter or has asked for it.
    bool adapter_claimed() const;
    void stop_start_timers();
public:
    struct StepTexts;
private:
    void report_step(bool ok, const StepTexts &texts);
    QString refusal_reason(readdress::Refusal why);
    bool f_readdressing = false;
    bool f_closing = false;

    // The re-addressing journal and restore (main_journal.cpp).
    void hook_journal();
    void show_journal();
    void restore_from_journal(const QString &imageFile);
    void restore_device();
    // Journals an attempt before its outcome is told; a journal that fails is told, nothing else.
    void record_journal(const readdress_journal::Attempt &attempt, const readdress::Outcome &outcome);
    void report_procedure_step(readdress::Step step, bool ok);
    QAction *f_journal_action = nullptr;
    QPointer<Tjournal_form> f_journal_form;
    std::optional<T_DeviceMemory> f_restore_image;

    // Measurement workflow.
    void start_btnClick();
    void meas_start_TimerTimer();
    void stop_btnClick();
    void TrackBar1Change(int position);
    void show_speed(int position);
    void switch_buttonClick();
    void table_btnClick();
    void show_measurement_values();
    void fill_table_identity();
    void blink();

    // The monitor chart's operations, carried out by the chart component (main_chart.cpp).
public:
    double Get_left_min() const;
    void Set_left_min(double x);
    double Get_left_max() const;
    void Set_left_max(double x);
    double Get_right_min() const;
    void Set_right_min(double x);
    double Get_right_max() const;
    void Set_right_max(double x);
    double Get_left_increment() const;
    void Set_left_increment(double x);
    double Get_right_increment() const;
    void Set_right_increment(double x);
    bool Get_show_left_grid() const;
    void Set_show_left_grid(bool b);
    bool Get_show_right_grid() const;
    void Set_show_right_grid(bool b);
    int Get_leftaxis_digits() const;
    void Set_leftaxis_digits(int n);
    int Get_rightaxis_digits() const;
    void Set_rightaxis_digits(int n);
    const QString &Get_left_axis_lbl_format() const;
    void Set_left_axis_lbl_format(const QString &format);
    const QString &Get_right_axis_lbl_format() const;
    void Set_right_axis_lbl_format(const QString &format);
    int Get_axis_mode() const;
    void Set_axis_mode(int v);

    void lock_iconClick();
    void left_axis_autoClick();
    void right_axis_autoClick();
    void apply_axis_limits();
    void clear_btnClick();
    void collapse_sidebar();
    void expand_sidebar();
    void apply_chart_settings();
    QString format_axis_label(QCPAxis *axis, const QString &label);

private:
    // Wires the chart component to the monitor's other controls.
    void setup_chart();
    void init_series();
    void AnalogDisplayDblClick();
    std::unique_ptr<TMonitorChart> fChart;

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
