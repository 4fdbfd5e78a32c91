// One session with the adapter: the device handler, the scan and measurement workers, who may
// use the adapter when, the re-addressing and restore procedures and their journal. The window
// and the command line are two faces of it: they ask it to act and show what it publishes.
// Main thread only: the workers reach it through their blocking synchronised calls, so every
// record is published on the main thread, in the order things happened.
#pragma once

#include "session/measure_Thread.h"
#include "session/scan_Thread.h"
#include "session/session_records.h"
#include "session/worker_gui.h"
#include "transmitter/OrvelHandler.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class TAdapterHandover;
class TRunRecorder;

class TSession : public QObject, private TWorkerGui
{
    Q_OBJECT
public:
    // Asked once the transmitter is in command mode; false declines and nothing is written.
    using Confirm = std::function<bool(const session::ProcedureStarted &)>;

    // The window's session: the process-wide handler, whose lines go to the event log; released
    // when the session ends.
    explicit TSession(QObject *parent = nullptr);
    // A session on a handler of its own (the command line's, or a test's).
    explicit TSession(std::unique_ptr<T_Orvel_Handler> handler, QObject *parent = nullptr);
    ~TSession() override;

    void set_digits(int pressure, int temperature);
    // Where the journal of the procedures goes; the data folder's by default.
    void set_journal_folder(const QString &folder) { f_journal_folder = folder; }
    const QString &journal_folder() const { return f_journal_folder; }
    void set_confirm(Confirm confirm) { f_confirm = std::move(confirm); }
    // Every run from now on is recorded in the file of runs in `folder`; empty: none is.
    void set_recording_folder(const QString &folder);
    // The recorder, while runs are recorded.
    TRunRecorder *recorder() const { return f_recorder.get(); }
    // The oldest recorded runs are removed now and whenever a run starts: those older than `days`,
    // then the oldest until all take at most `megabytes`; 0 leaves a limit off. Kept for a
    // recorder made later.
    void set_retention(int days, int megabytes);
    // The recorded runs open in a window, which retention never removes.
    void set_open_runs(const QList<std::int64_t> &runs);
    // The run's next measurement starts a new line (the chart was cleared).
    void mark_break();

    // --- With workers (the window). Each request waits until the adapter is free; the last
    // request wins.
    // The first scan worker, unless somebody has asked for the adapter already.
    void start();
    // A new scan worker: the running one goes on, a stopped one is replaced once it has ended.
    void detect_dongle();
    // The transmitter the scan selects and keeps; any thread may read it back from the handler.
    void pick(int address);
    void start_run(uint32_t delay_ms);
    // Ends the run; scanning starts again once the measurement worker has ended.
    void stop_run();
    void set_delay(uint32_t delay_ms);
    void request_readdress(int to);
    void request_restore(const T_DeviceMemory &saved);
    // For good: no worker and no procedure starts any more (the window closes).
    void close();
    // For good: nothing starts any more, the workers are asked to stop and served until they
    // have ended or `wait_ms` has passed; then the adapter is closed. False when one is left.
    bool shut_down(int wait_ms);

    // The adapter the session opens, by serial; empty (the default): the first attached.
    // Takes effect at the next detection.
    void choose_adapter(const QString &serial) { fOrvel_Handler->Set_chosen_serial(serial); }
    // The last detection found adapters, but none with the chosen serial; those it found.
    bool chosen_adapter_missing() const { return fOrvel_Handler->Get_chosen_missing(); }
    QList<T_Orvel_Handler::AdapterInfo> adapters_found() const { return fOrvel_Handler->Get_adapters(); }

    // --- Without workers (the command line; the window's own reads while no worker runs).
    // Every adapter attached, in the library's order.
    QList<T_Orvel_Handler::AdapterInfo> list_adapters() { return fOrvel_Handler->list_adapters(); }
    // Powers the bus up and scans it: BusFound (an empty bus is a result too), or ScanFailed
    // and the power-up step that failed, or ScanFailed and None when the bus did not answer
    // every probe (see scan_failed).
    readdress::Step open();
    // Makes the transmitter at `address` the selected one and reads its identity and memory image.
    bool select(int address);
    bool read_identity();
    bool read_memory();
    // One measurement of the selected transmitter.
    std::optional<session::Measurement> measure();
    // After a lost measurement, what the measurement worker does: looks for the selected
    // transmitter again (opening the adapter afresh when it was lost), pauses 100 ms and reads
    // the scaling. The selection stays on its address.
    enum class Recovery { Found, Missing, AdapterSilent, NoAdapter };
    Recovery find_again();
    // The procedures on the selected transmitter, journalled before their first write and again
    // before their end is published; quit signals wait on this thread while they write.
    session::ProcedureEnded readdress(int to);
    session::ProcedureEnded restore(const T_DeviceMemory &saved);
    // The restore on the transmitter of the bus that the image belongs to, found by its identity
    // whichever one is selected; refused in the outcome when none or more than one is found.
    session::ProcedureEnded restore_to_owner(const T_DeviceMemory &saved);

    // --- What is known.
    // The selected transmitter as it was last read.
    const session::Transmitter &transmitter() const { return f_last; }
    const QList<int> &addresses() const { return f_addresses; }
    // Why the last scan told nothing about the bus; empty once a scan has found it.
    const std::optional<session::ScanFailed> &scan_failed() const { return f_scan_failed; }
    QString adapter_serial() const { return fOrvel_Handler->Get_serial_no(); }
    // The adapter's own state, as the handler last found it.
    bool adapter_open() const { return fOrvel_Handler->Get_adapter_open(); }
    bool adapter_lost() const { return fOrvel_Handler->Get_adapter_lost(); }
    int pressure_digits() const { return fOrvel_Handler->Get_pressure_digits(); }
    int temperature_digits() const { return fOrvel_Handler->Get_temperature_digits(); }

    bool worker_exists() const { return !fScan.isNull() || !fMeas.isNull(); }
    bool scan_running() const { return fScan && fScan->scan_activ(); }
    bool meas_running() const { return fMeas && fMeas->meas_activ(); }
    bool running() const { return f_running; }
    // A procedure holds the adapter.
    bool readdressing() const;
    // A procedure runs or waits for the adapter.
    bool procedure_pending() const;
    bool closing() const;

signals:
    void published(const session::Record &record);

protected:
    bool event(QEvent *event) override;

private:
    void publish(const session::Record &record) { emit published(record); }
    session::Transmitter snapshot() const;
    session::Measurement measurement(bool in_run) const;
    // A measurement taken on a worker, with its texts and local time, which are the main thread's.
    session::Measurement with_texts(session::Measurement m) const;
    session::BusFound bus() const;

    // The hand-over timers.
    void scan_start_TimerTimer();
    void meas_start_TimerTimer();
    void re_address_TimerTimer();
    void stop_workers();

    // What the workers hand over (TWorkerGui), on the main thread.
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
    void updateGui_meas(const session::Measurement &taken) override;
    void updateGui(const QString &message) override;

    // session_procedure.cpp
    session::ProcedureEnded run_procedure(session::Procedure procedure, int to, const T_DeviceMemory *saved);
    // After a procedure the scan workers take the adapter again (with workers only).
    void scan_again();
    void record_start(const QDateTime &started);
    void record_end();

    std::unique_ptr<T_Orvel_Handler> fOwnHandler;
    T_Orvel_Handler *fOrvel_Handler = nullptr;

    QPointer<TMeasThread> fMeas;
    QPointer<TScanThread> fScan;
    // Set by a worker's last synchronised calls: its user may take the adapter.
    bool f_meas_allowed = false;
    bool f_readdress_allowed = false;
    bool f_scan_allowed = false;

    QTimer scan_start_Timer;
    QTimer meas_start_Timer;
    QTimer re_address_Timer;
    std::unique_ptr<TAdapterHandover> f_handover;

    bool f_started = false;
    bool f_running = false;
    bool f_shut_down = false;
    uint32_t f_run_delay = 10;
    // What the device model holds was read in this connection: the empty model tells nothing.
    bool f_identity_read = false;
    session::Transmitter f_last;
    QList<int> f_addresses;
    std::optional<session::ScanFailed> f_scan_failed;

    // The procedure the user asked for, run once the adapter is free.
    int f_readdress_to = -1;
    std::optional<T_DeviceMemory> f_restore_image;
    Confirm f_confirm;
    QString f_journal_folder;

    std::unique_ptr<TRunRecorder> f_recorder;
    // Milliseconds since the epoch: a local date-time's own arithmetic costs microseconds a measurement.
    qint64 f_run_started_ms = 0;
    int f_retention_days = 0;
    int f_retention_megabytes = 0;
    QList<std::int64_t> f_open_runs;
};
