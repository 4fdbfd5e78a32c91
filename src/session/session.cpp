// The session: its handler, the workers and what they hand over, the hand-over timers, and the
// reads the command line and the window make while no worker runs.
#include "session/session.h"

#include "session/run_recorder.h"

#include "session/adapter_handover.h"
#include "transmitter/readdress.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QThread>
#include <utility>

namespace {

constexpr int HandOverTickMs = 200;
constexpr uint32_t ScanPauseMs = 500;
constexpr int RecoveryPauseMs = 100;

} // namespace

TSession::TSession(QObject *parent) : TSession(nullptr, parent)
{
}

TSession::TSession(std::unique_ptr<T_Orvel_Handler> handler, QObject *parent)
    : QObject(parent), fOwnHandler(std::move(handler)),
      fOrvel_Handler(fOwnHandler ? fOwnHandler.get() : T_Orvel_Handler::get_Instance()),
      f_journal_folder(readdress_journal::default_folder())
{
    for (QTimer *t : {&scan_start_Timer, &meas_start_Timer, &re_address_Timer})
        t->setInterval(HandOverTickMs);
    f_handover = std::make_unique<TAdapterHandover>(scan_start_Timer, meas_start_Timer, re_address_Timer,
                                                    [this] { return worker_exists(); });
    connect(&scan_start_Timer, &QTimer::timeout, this, &TSession::scan_start_TimerTimer);
    connect(&meas_start_Timer, &QTimer::timeout, this, &TSession::meas_start_TimerTimer);
    connect(&re_address_Timer, &QTimer::timeout, this, &TSession::re_address_TimerTimer);
}

TSession::~TSession()
{
    // A worker finishes its cycle before it ends; a full memory read against a silent bus takes ~13 s.
    shut_down(15000);
    record_end();
}

void TSession::set_recording_folder(const QString &folder)
{
    record_end();
    f_recorder.reset();
    if (folder.isEmpty())
        return;
    f_recorder = std::make_unique<TRunRecorder>(folder);
    connect(f_recorder.get(), &TRunRecorder::problem, this,
            [this](bool ok, const QString &text) { publish(session::RecordingProblem{ok, text}); });
    connect(f_recorder.get(), &TRunRecorder::runs_removed, this,
            [this](bool ok, const QList<std::int64_t> &removed, const QString &text) {
                publish(session::RunsRemoved{ok, removed, text});
            });
    f_recorder->set_open_runs(f_open_runs);
    if (f_retention_days > 0 || f_retention_megabytes > 0)
        f_recorder->set_retention(f_retention_days, f_retention_megabytes);
}

void TSession::set_retention(int days, int megabytes)
{
    f_retention_days = days;
    f_retention_megabytes = megabytes;
    if (f_recorder)
        f_recorder->set_retention(days, megabytes);
}

void TSession::set_open_runs(const QList<std::int64_t> &runs)
{
    f_open_runs = runs;
    if (f_recorder)
        f_recorder->set_open_runs(runs);
}

void TSession::mark_break()
{
    if (f_recorder)
        f_recorder->add_break();
}

void TSession::record_start(const QDateTime &started)
{
    f_run_started_ms = started.toMSecsSinceEpoch();
    if (!f_recorder)
        return;
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    run_database::Run run;
    run.started = started;
    run.address = device.Get_slave_addr();
    run.product_code = f_last.product_code;
    run.range_min = f_last.pmin;
    run.range_max = f_last.pmax;
    run.pressure_mode = f_last.pressure_mode;
    run.calibration_date = f_last.calibration_date;
    run.adapter_serial = fOrvel_Handler->Get_serial_no();
    run.interval_ms = int(f_run_delay);
    run.program_version = QCoreApplication::applicationVersion();
    f_recorder->start_run(run);
}

void TSession::record_end()
{
    if (f_recorder && f_recorder->recording())
        f_recorder->end_run(QDateTime::currentDateTime());
}

void TSession::set_digits(int pressure, int temperature)
{
    fOrvel_Handler->set_pressure_digits(pressure);
    fOrvel_Handler->set_temperature_digits(temperature);
}

bool TSession::readdressing() const
{
    return f_handover->readdressing();
}

bool TSession::procedure_pending() const
{
    return f_handover->readdressing() || re_address_Timer.isActive();
}

bool TSession::closing() const
{
    return f_handover->closing();
}

void TSession::close()
{
    f_handover->close();
}

bool TSession::shut_down(int wait_ms)
{
    if (f_shut_down)
        return true;
    f_shut_down = true;
    // Workers may be inside a synchronised call: serve them until they have ended, so the
    // handler is closed only when nobody uses it any more.
    const bool ended = f_handover->close_and_wait(
        [this] {
            // A worker inside a cycle over a silent bus would otherwise wait out every timeout.
            fOrvel_Handler->cancel();
            stop_workers();
        },
        wait_ms);
    if (!ended) {
        // A worker stuck in a transaction still holds the handler; the process ends anyway.
        fOrvel_Handler->log(catCore, lError, QStringLiteral("A worker did not end; the adapter was left open"));
        return false;
    }
    fOrvel_Handler->unload();
    if (!fOwnHandler)
        T_Orvel_Handler::release_Instance();
    fOrvel_Handler = nullptr;
    return true;
}

void TSession::stop_workers()
{
    if (fMeas)
        fMeas->Stop();
    if (fScan)
        fScan->Stop();
}

// --- Requests

void TSession::start()
{
    f_started = true;
    // The user may already have asked for the adapter: nobody has used it yet, so that request
    // goes first.
    if (meas_start_Timer.isActive())
        f_meas_allowed = true;
    if (re_address_Timer.isActive())
        f_readdress_allowed = true;
    if (!f_handover->claimed())
        fScan = TScanThread::Create(this, this, &fOrvel_Handler, ScanPauseMs);
}

void TSession::detect_dongle()
{
    f_handover->arm(scan_start_Timer);
}

void TSession::pick(int address)
{
    fOrvel_Handler->Set_preferred_addr(address);
}

void TSession::start_run(uint32_t delay_ms)
{
    f_run_delay = delay_ms;
    if (scan_running())
        fScan->Stop();
    f_handover->arm(meas_start_Timer);
}

void TSession::stop_run()
{
    if (!meas_running())
        return;
    fMeas->Stop();
    f_running = false;
    record_end();
    publish(session::RunEnded{true});
    f_handover->arm(scan_start_Timer);
}

void TSession::set_delay(uint32_t delay_ms)
{
    f_run_delay = delay_ms;
    if (meas_running())
        fMeas->Set_delay(delay_ms);
}

void TSession::request_readdress(int to)
{
    f_restore_image.reset();
    f_readdress_to = to;
    stop_workers();
    f_handover->arm(re_address_Timer);
}

void TSession::request_restore(const T_DeviceMemory &saved)
{
    if (procedure_pending())
        return;
    f_restore_image = saved;
    stop_workers();
    f_handover->arm(re_address_Timer);
}

void TSession::scan_start_TimerTimer()
{
    // One scan worker at a time, also when "Detect Dongle" is pressed while one runs.
    if (scan_running() && !fScan->isInterruptionRequested()) {
        scan_start_Timer.stop();
        return;
    }
    // Wait until the stopped worker is gone; after it nobody holds the adapter, whichever flag
    // the last user left behind.
    if (!f_handover->available())
        return;
    scan_start_Timer.stop();
    fScan = TScanThread::Create(this, this, &fOrvel_Handler, ScanPauseMs);
}

void TSession::meas_start_TimerTimer()
{
    if (!f_meas_allowed || !f_handover->available())
        return;
    meas_start_Timer.stop();
    f_running = true;
    const QDateTime started = QDateTime::currentDateTime();
    record_start(started);
    publish(session::RunStarted{started, int(f_run_delay)});
    fMeas = TMeasThread::Create(this, this, &fOrvel_Handler, f_run_delay);
}

void TSession::re_address_TimerTimer()
{
    // Every worker sets the flag at its end; before the first one nobody held the adapter.
    if (f_handover->closing() || worker_exists() || (f_started && !f_readdress_allowed))
        return;
    re_address_Timer.stop();
    if (std::optional<T_DeviceMemory> saved = std::exchange(f_restore_image, std::nullopt))
        restore_to_owner(*saved);
    else
        readdress(std::exchange(f_readdress_to, -1));
}

bool TSession::event(QEvent *event)
{
    if (event->type() == TWindowMessage::EventType) {
        const auto *message = static_cast<TWindowMessage *>(event);
        // A measurement of the run failed: nothing was measured.
        if (message->msg == TWindowMessage::WM_COMM_ERROR && message->wParam == 0)
            publish(session::MeasurementFailed{});
        return true;
    }
    return QObject::event(event);
}

// --- What the workers hand over; each worker waits meanwhile, so the model holds its cycle. A
// run's measurement comes posted instead, taken on the worker.

session::Transmitter TSession::snapshot() const
{
    T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    session::Transmitter t;
    t.address = device.Get_slave_addr();
    t.pmin = device.Get_pmin();
    t.pmax = device.Get_pmax();
    t.pressure_mode = device.Get_P_Mode();
    t.range = fOrvel_Handler->Get_PressureScalingString();
    t.calibration_date = device.Get_Calib_Date();
    t.product_code = fOrvel_Handler->Get_ProductString();
    t.status = device.Get_status();
    t.identity_read = f_identity_read;
    t.memory = device.Get_memory_page();
    t.verify_memory = device.Get_verify_memory_page();
    t.image_complete = t.memory.Get_complete();
    t.calibrated = !fOrvel_Handler->check_memory_is_zero();
    t.memory_status = device.Get_memory_status();
    return t;
}

session::Measurement TSession::measurement(bool in_run) const
{
    session::Measurement m = TMeasThread::taken(fOrvel_Handler->Get_Device());
    m.in_run = in_run;
    return with_texts(std::move(m));
}

session::Measurement TSession::with_texts(session::Measurement m) const
{
    const T_OrvelDevice &device = fOrvel_Handler->Get_Device();
    m.time = m.time.toLocalTime();
    m.pressure_text = device.pressure_text(m.pressure);
    m.temperature_text = device.temperature_text(m.temperature);
    return m;
}

session::BusFound TSession::bus() const
{
    session::BusFound found;
    for (const T_SlaveAddr &entry : fOrvel_Handler->Get_slave_addr_list())
        found.addresses.append(entry.Get_int_Addr());
    found.address = fOrvel_Handler->Get_Device().Get_slave_addr();
    found.adapter_serial = fOrvel_Handler->Get_serial_no();
    return found;
}

void TSession::show_slaveAddr()
{
    f_scan_failed.reset();
    const session::BusFound found = bus();
    f_addresses = found.addresses;
    publish(found);
}

void TSession::update_status_Gui()
{
    f_last = snapshot();
    publish(session::StatusRead{f_last});
}

void TSession::show_pressure_scaling()
{
    f_identity_read = true;
    f_last = snapshot();
    publish(session::IdentityRead{f_last});
}

void TSession::memory_map_display()
{
    f_last = snapshot();
    publish(session::MemoryRead{f_last});
}

void TSession::show_scan_error()
{
    f_identity_read = false;
    f_addresses.clear();
    f_last = snapshot();
    f_scan_failed = session::ScanFailed{fOrvel_Handler->Get_adapter_open(), fOrvel_Handler->Get_adapter_lost(),
                                        fOrvel_Handler->Get_scan_arbitration_lost(),
                                        !T_Orvel_Handler::Get_library_loaded()};
    publish(*f_scan_failed);
}

void TSession::update_single_meas()
{
    publish(measurement(false));
}

void TSession::updateGui_meas(const session::Measurement &taken)
{
    // One posted just before the end of the session is not shown any more.
    if (!fOrvel_Handler)
        return;
    if (f_recorder && taken.in_run && f_running)
        f_recorder->add(taken.time.toMSecsSinceEpoch() - f_run_started_ms, taken.pressure_raw, taken.temperature_raw);
    publish(with_texts(taken));
}

void TSession::updateGui(const QString &message)
{
    publish(session::WorkerFailed{message});
    // A run that ended on an error is over.
    if (f_running) {
        f_running = false;
        record_end();
        publish(session::RunEnded{false});
    }
}

// --- Without workers

readdress::Step TSession::open()
{
    const readdress::Step failed = readdress::power_up(*fOrvel_Handler, readdress::ScanChain);
    if (failed != readdress::Step::None) {
        show_scan_error();
        return failed;
    }
    fOrvel_Handler->get_slave_address();
    // An empty list from a scan the bus did not answer throughout is no empty bus.
    if (!fOrvel_Handler->Get_scan_complete()) {
        show_scan_error();
        return readdress::Step::None;
    }
    show_slaveAddr();
    return readdress::Step::None;
}

bool TSession::select(int address)
{
    if (!f_addresses.contains(address))
        return false;
    fOrvel_Handler->Get_Device().Set_slave_addr(uint8_t(address));
    pick(address);
    // A failed read shows in the record (identity or image not read); the caller decides.
    f_identity_read = false;
    read_identity();
    read_memory();
    return true;
}

bool TSession::read_identity()
{
    if (!fOrvel_Handler->get_device_scaling())
        return false;
    show_pressure_scaling();
    return true;
}

bool TSession::read_memory()
{
    if (!fOrvel_Handler->get_device_memory()) {
            f_last = snapshot();
        return false;
    }
    memory_map_display();
    update_status_Gui();
    return true;
}

std::optional<session::Measurement> TSession::measure()
{
    if (!fOrvel_Handler->get_measurement()) {
        publish(session::MeasurementFailed{});
        return std::nullopt;
    }
    session::Measurement m = measurement(f_running);
    publish(m);
    return m;
}

TSession::Recovery TSession::find_again()
{
    T_Orvel_Handler &h = *fOrvel_Handler;
    const int address = h.Get_preferred_addr();
    // A busy or lost answer is retried without cutting the supply; only when the transmitter is
    // not found is the adapter opened afresh and the bus powered up again.
    auto answers = [&] {
        h.get_slave_address();
        for (const T_SlaveAddr &entry : h.Get_slave_addr_list())
            if (entry.Get_int_Addr() == address)
                return h.Get_scan_complete();
        return false;
    };
    bool found = answers();
    if (!found) {
        if (!h.detect_dongle())
            return Recovery::NoAdapter;
        readdress::power_up(h, readdress::RecoveryChain);
        found = answers();
    }
    if (!h.Get_scan_complete())
        return Recovery::AdapterSilent;
    // The scan takes the lowest address when the picked one is silent: never measure another.
    h.Get_Device().Set_slave_addr(uint8_t(address));
    show_slaveAddr();
    QThread::msleep(RecoveryPauseMs);
    if (found && h.get_device_scaling())
        show_pressure_scaling();
    return found ? Recovery::Found : Recovery::Missing;
}
