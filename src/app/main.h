// The main window: status bar, menu and clock, the device panel, the re-addressing group and
// the monitor. It asks the session for the three workflows (scan, re-addressing, measurement)
// and shows what the session publishes. Main thread only.
#pragma once

#include "services/recording/run_database.h"
#include "session/session_records.h"
#include "transmitter/OrvelHandler.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <memory>

class TIniHandler;
class TWorkingDirHandler;
class TLogFile;
class TSession;
class TStatusBar;
class TNewAddressGroup;
class TReaddressJournalFlow;
class TRecordedRunsFlow;
class TMeasurementStore;
class TReaddressRun;
class TSettingsCommand;
class Tmemory_Form;
class Ttable_form;
class Tabout_Form;
class Toption_Form;

namespace Ui {
class Tmain_Form;
}

class Tmain_Form : public QMainWindow
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
    TSession &session() const { return *fSession; }

    // Status bar.
    void set_status(const QString &left, const QString &middle, const QString &right);
    void set_status_left(const QString &text);
    void set_status_middle(const QString &text);
    void set_status_right(const QString &text);
    void set_led(int index);

    // What the session publishes, shown.
    void show_slaveAddr(const session::BusFound &bus);
    void update_status_Gui(const session::Transmitter &transmitter);
    void show_pressure_scaling(const session::Transmitter &transmitter);
    void memory_map_display(const session::Transmitter &transmitter);
    void show_scan_error(const session::ScanFailed &failed);
    void update_single_meas(const session::Measurement &measurement);
    void updateGui_meas(const session::Measurement &measurement);
    void updateGui(const QString &message);
    void recording_problem(const session::RecordingProblem &problem);
    void on_comm_error(long long wParam, long long lParam);

    void read_memory_image(bool show);
    // Asks the session to give the transmitter the address picked in the list.
    void readdress_device();

    // Captions in the current language (main_translate.cpp).
    void translateGui();

signals:
    // The user closed the main window: the program ends, whatever other windows are open.
    void closed();
    // A re-addressing procedure has ended, before anything else may use the adapter.
    void readdressed(bool succeeded);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // Re-addressing workflow.
    void change_address_ActionExecute();
    void new_slaveaddr_comboSelect(int index);

    // Measurement workflow.
    void start_btnClick();
    void stop_btnClick();
    // A run began or ended, by the user's Stop or on an error.
    void run_started(const session::RunStarted &started);
    void run_ended(const session::RunEnded &ended);
    void table_btnClick();

    // Start-up (main_startup.cpp).
    void connect_actions();
    void style_TimerTimer();
    // Every record of the session to the operation that shows it (main_session.cpp).
    void show_record(const session::Record &record);
    void procedure_ended(const session::ProcedureEnded &ended);
    // Scan workflow (main_scan.cpp).
    void ScanDeviceActionExecute();
    // The memory map window, filled by the last read and brought to the front.
    void show_memory_map();
    // Measurement workflow (main_measure.cpp).
    void fill_table_identity();
    // The monitor's chart was cleared: the table starts again.
    void chart_cleared();
    // A recorded run read from the file, in the chart and the table.
    void show_recorded_run(std::shared_ptr<TMeasurementStore> store, const run_database::Run &run);

    std::unique_ptr<Ui::Tmain_Form> ui;

    TIniHandler *fIni = nullptr;
    TWorkingDirHandler *fWorkingDirHandler = nullptr;
    TLogFile *fLog = nullptr;
    // The adapter, the workers and the procedures; it goes first, while the window still shows.
    std::unique_ptr<TSession> fSession;

    Windows fWindows;
    bool f_blink = false;
    // The device panel shows a transmitter that was read, not the empty model.
    bool f_device_read = false;
    bool f_memory_error = false; // the shown transmitter reports a memory error
    int f_shown_address = -1;     // the transmitter the device panel shows
    // The captions are set when the window is first shown.
    bool fTranslated = false;
    // A close asked for while a procedure wrote the transmitter (a quit signal, say).
    bool f_close_after_procedure = false;

    QList<T_SlaveAddr> f_new_address_list;
    QString f_selected_addr;

    QTimer style_Timer;
    QTimer time_Timer;

    // The window's components, made in this order, each using those before; they go before the
    // timers and controls they refer to.
    std::unique_ptr<TStatusBar> f_status_bar;
    std::unique_ptr<TNewAddressGroup> f_new_address;
    std::unique_ptr<TReaddressJournalFlow> f_journal;
    std::unique_ptr<TRecordedRunsFlow> f_runs;
    std::unique_ptr<TReaddressRun> f_readdress_run;
    std::unique_ptr<TSettingsCommand> f_settings;
};
