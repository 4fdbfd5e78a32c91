#include "cli/cli_commands.h"

#include "cli/cli_commands_runs.h"

#include <optional>

#include "cli/cli_output.h"
#include "cli/cli_signals.h"
#include "services/settings/IniHandler.h"
#include "services/utils/single_instance.h"
#include "session/session.h"
#include "transmitter/memory_image_file.h"
#include "transmitter/readdress_journal.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QThread>
#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace cli_commands {

using namespace cli_output;

namespace {

// Tells once of every attempt that a kill or a power loss cut off while it wrote; only while no
// other copy runs, whose own write may be under way.
void announce_interrupted(const QString &folder)
{
    const QList<QStringList> found = readdress_journal::unannounced(folder);
    for (const QStringList &attempt : found)
        notice(Kind::Journal, interrupted_notice(folder, attempt));
    if (const QString why = readdress_journal::mark_announced(folder, found); !why.isEmpty())
        notice(Kind::Journal, QStringLiteral("Journal not written: ") + why);
}

bool input_is_terminal()
{
#ifdef _WIN32
    return _isatty(_fileno(stdin)) != 0;
#else
    return isatty(fileno(stdin)) != 0;
#endif
}

// Asks on standard error (with --json as one object with "question") and reads the answer
// from standard input; anything but "y" or "yes", and the end of the input, is No.
bool ask(const QString &question)
{
    if (json_mode())
        err(json({{QStringLiteral("question"), question}, {QStringLiteral("answers"), QStringLiteral("y/N")}}));
    else
        std::fputs((question + QStringLiteral(" [y/N] ")).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    char answer[64] = {};
    const bool read = std::fgets(answer, sizeof answer, stdin) != nullptr;
    // A terminal echoes the answer with its line end; the end of the input or a pipe does not,
    // and what follows must not land on the question's line.
    if (!json_mode() && (!read || !input_is_terminal())) {
        std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    if (!read)
        return false;
    const QString a = QString::fromLocal8Bit(answer).trimmed().toLower();
    return a == QLatin1String("y") || a == QLatin1String("yes");
}

QString step_text(readdress::Step step)
{
    using readdress::Step;
    switch (step) {
    case Step::DisableSpi: return QStringLiteral("switching SPI off");
    case Step::DisableI2c: return QStringLiteral("switching I2C off");
    case Step::SwitchOff: return QStringLiteral("switching the supply off");
    case Step::SwitchOn: return QStringLiteral("switching the supply on");
    case Step::EnableI2c: return QStringLiteral("switching I2C on");
    default: return QStringLiteral("powering up");
    }
}

QString hex_bytes(const uint8_t *bytes, size_t length)
{
    QString text;
    for (size_t i = 0; i < length; ++i)
        text += (i ? QStringLiteral(" ") : QString()) + QString::number(bytes[i], 16).toUpper().rightJustified(2, u'0');
    return text;
}

QString product_id_hex(uint32_t id)
{
    return QStringLiteral("0x") + QString::number(id, 16).toUpper().rightJustified(4, u'0');
}

// The window's event log is its own: the command line's handler lines go nowhere, or with
// --verbose to standard error, beside every report on the bus.
std::unique_ptr<T_Orvel_Handler> bench_handler(bool verbose)
{
    if (!verbose)
        return std::make_unique<T_Orvel_Handler>([](TCategory, TMode, const QString &) {});
    auto handler = std::make_unique<T_Orvel_Handler>([](TCategory, TMode mode, const QString &text) {
        err((mode == lError ? QStringLiteral("log error: ") : QStringLiteral("log: ")) + text);
    });
    handler->set_traffic_sink([](bool written, unsigned long pipe, const uint8_t *report, size_t length) {
        err((written ? QStringLiteral(">> pipe ") : QStringLiteral("<< pipe ")) + QString::number(pipe) +
            QStringLiteral(": ") + hex_bytes(report, length));
    });
    return handler;
}

// Whose is the guard another copy holds: the window's, unless a command line's wrote its name.
QString guard_holder_text(const QString &holder)
{
    if (holder == QCoreApplication::applicationName())
        return QStringLiteral("Another ") + holder + QStringLiteral(" holds the adapter; wait until it has ended");
    return QStringLiteral("Orvel I2C Zorbit is already running and holds the adapter; close it first");
}

// The command line's hold on the adapter: the single-copy guard and a session without workers.
class Bench
{
public:
    // The journal records what the command line changes.
    explicit Bench(const Options &o) : fSession(bench_handler(o.verbose)), fSerial(o.serial)
    {
        TIniHandler *ini = TIniHandler::getInstance();
        fSession.set_digits(ini->Get_pressure_digits(), ini->Get_temperature_digits());
        TIniHandler::release();
        fSession.choose_adapter(o.serial);
    }

    TSession &session() { return fSession; }

    // Takes the guard: opening the adapters claims them, whoever else uses them. Prints why not.
    bool hold()
    {
        if (!fGuard.tryAcquire(QCoreApplication::applicationName())) {
            error(Kind::Busy, guard_holder_text(fGuard.holder()), Failed);
            return false;
        }
        announce_interrupted(fSession.journal_folder());
        return true;
    }

    // Takes the guard, powers the bus up, scans it and selects the transmitter at `address`
    // (none for -1); prints why not.
    bool open(int address)
    {
        if (!hold())
            return false;
        const readdress::Step failed = fSession.open();
        if (failed == readdress::Step::DetectDongle && fSession.chosen_adapter_missing()) {
            QStringList found;
            for (const T_Orvel_Handler::AdapterInfo &adapter : fSession.adapters_found())
                found.append(adapter.serial);
            error(Kind::NoAdapter,
                  QStringLiteral("No IO-Warrior adapter with serial ") + fSerial + QStringLiteral(" attached; found: ") +
                      found.join(QStringLiteral(", ")),
                  Failed);
            return false;
        }
        if (failed == readdress::Step::DetectDongle) {
            error(Kind::NoAdapter, QStringLiteral("No IO-Warrior 56 adapter found"), Failed);
            return false;
        }
        if (failed != readdress::Step::None) {
            error(Kind::AdapterSilent, QStringLiteral("The adapter failed while ") + step_text(failed), Failed);
            return false;
        }
        // Only a scan the bus answered throughout tells an empty bus.
        if (const std::optional<session::ScanFailed> &scan = fSession.scan_failed()) {
            if (scan->arbitration_lost && !scan->adapter_lost)
                error(Kind::BusHeld, QStringLiteral("The I2C bus is held: the IO-Warrior adapter loses arbitration on it"),
                      Failed);
            else
                error(Kind::AdapterSilent, QStringLiteral("The IO-Warrior adapter does not answer"), Failed);
            return false;
        }
        if (address >= 0 && !fSession.select(address)) {
            error(Kind::NoTransmitter, QStringLiteral("No transmitter answers at ") + T_SlaveAddr::hex_text(address),
                  Failed);
            return false;
        }
        return true;
    }

private:
    TSingleInstance fGuard;
    TSession fSession;
    QString fSerial;
};

// What a command that shows the transmitter says of what it could not read.
void warn_unread(const session::Transmitter &t)
{
    const QString at = T_SlaveAddr::hex_text(t.address);
    if (!t.identity_read)
        notice(Kind::Incomplete, QStringLiteral("The identity of the transmitter at ") + at +
                                     QStringLiteral(" (range, calibration date, product code) was not read"));
    if (!t.image_complete)
        notice(Kind::Incomplete, QStringLiteral("The memory image at ") + at + QStringLiteral(" was not read completely"));
}

// Confirmed: from here on a signal waits for the procedure's end, the outcome of which the
// program then exits with.
bool write_begins()
{
    cli_signals::hold_for_write();
    return true;
}

// Tells the outcome, which the session has journalled before it ended.
int finish(const Options &o, const session::ProcedureEnded &ended, const QString &what)
{
    if (!ended.journal_error.isEmpty())
        notice(Kind::Journal, QStringLiteral("Journal not written: ") + ended.journal_error);
    const readdress::Outcome &outcome = ended.outcome;
    if (o.json) {
        const bool restore = ended.procedure == session::Procedure::Restore;
        out(json({{QStringLiteral("procedure"), restore ? QStringLiteral("restore") : QStringLiteral("readdress")},
                  {QStringLiteral("outcome"), readdress_journal::outcome_text(outcome)},
                  {QStringLiteral("failed_step"), readdress_journal::failed_step_text(outcome)},
                  {QStringLiteral("old_address"), T_SlaveAddr::hex_text(ended.from)},
                  {QStringLiteral("new_address"), T_SlaveAddr::hex_text(ended.to)},
                  {QStringLiteral("answers_at"), outcome.answers_at >= 0
                                                     ? QJsonValue(T_SlaveAddr::hex_text(outcome.answers_at))
                                                     : QJsonValue(QJsonValue::Null)},
                  {QStringLiteral("written"), outcome.written}}));
    }
    if (outcome.succeeded()) {
        if (!o.json)
            out(what + QStringLiteral(" done: the transmitter answers at ") + T_SlaveAddr::hex_text(outcome.answers_at));
        return Ok;
    }
    if (outcome.failed == readdress::Step::Confirm)
        error(Kind::Cancelled, QStringLiteral("Cancelled: nothing was written"), Failed);
    else if (outcome.failed == readdress::Step::Check)
        error(Kind::Refused, refusal_text(outcome.refusal, ended.to), Failed);
    else
        error(Kind::Failed, failure_text(outcome, what), Failed);
    return Failed;
}

} // namespace

int scan(const Options &o)
{
    Bench bench(o);
    if (!bench.open(-1))
        return Failed;
    TSession &s = bench.session();
    QList<QStringList> rows;
    for (int address : QList<int>(s.addresses())) {
        s.select(address);
        const session::Transmitter &i = s.transmitter();
        warn_unread(i);
        if (o.json) {
            QJsonObject line = info_json(i, s.pressure_digits());
            line.insert(QStringLiteral("adapter_serial"), s.adapter_serial());
            out(json(line));
        } else {
            rows.append(info_row(i, s.pressure_digits()));
        }
    }
    if (!o.json)
        out(table(info_header(), rows));
    return Ok;
}

int info(const Options &o)
{
    Bench bench(o);
    if (!bench.open(o.address))
        return Failed;
    const session::Transmitter &i = bench.session().transmitter();
    const int digits = bench.session().pressure_digits();
    warn_unread(i);
    if (o.json)
        out(json(info_json(i, digits)));
    else
        out(table(info_header(), {info_row(i, digits)}));
    return Ok;
}

int dump(const Options &o)
{
    Bench bench(o);
    if (!bench.open(o.address))
        return Failed;
    const session::Transmitter &t = bench.session().transmitter();
    T_DeviceMemory image = t.memory;
    if (!image.Get_complete()) {
        error(Kind::Incomplete,
              QStringLiteral("The memory image at ") + T_SlaveAddr::hex_text(o.address) +
                  QStringLiteral(" was not read completely"),
              Failed);
        return Failed;
    }
    if (o.json) {
        QJsonArray words;
        for (const T_32Bit *reg : image.full_image())
            words.append(QJsonObject{{QStringLiteral("name"), reg->Get_name()},
                                     {QStringLiteral("address"), T_SlaveAddr::hex_text(reg->Get_addr())},
                                     {QStringLiteral("value"), reg->value()}});
        out(json({{QStringLiteral("address"), T_SlaveAddr::hex_text(o.address)},
                  {QStringLiteral("current_page"), t.memory_status.current_page},
                  {QStringLiteral("data_corrected"), t.memory_status.data_corrected},
                  {QStringLiteral("image_complete"), true},
                  {QStringLiteral("words"), words}}));
    } else {
        std::fputs(memory_image_file::text(image).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toLocal8Bit(),
                   stdout);
    }
    return Ok;
}

int readdress(const Options &o)
{
    Bench bench(o);
    if (!bench.open(o.address))
        return Failed;
    TSession &s = bench.session();
    s.set_confirm([&](const session::ProcedureStarted &started) {
        return (o.yes || ask(QStringLiteral("Do you wish to continue with assigning new slave address: ") +
                             T_SlaveAddr::hex_text(started.to) + QStringLiteral(" to device at ") +
                             T_SlaveAddr::hex_text(started.from) + QStringLiteral(" ?"))) &&
               write_begins();
    });
    return finish(o, s.readdress(o.to), QStringLiteral("Re-addressing"));
}

int restore(const Options &o)
{
    T_DeviceMemory saved;
    if (const QString why = memory_image_file::load(o.image, saved); !why.isEmpty()) {
        error(Kind::Image, QStringLiteral("No memory image: ") + why, Usage);
        return Usage;
    }
    Bench bench(o);
    if (!bench.open(o.address))
        return Failed;
    TSession &s = bench.session();
    const int changes = s.transmitter().changes_left();
    s.set_confirm([&](const session::ProcedureStarted &started) {
        const int to = started.to;
        return (o.yes ||
                ask(QStringLiteral("Write the saved memory image back to the transmitter at ") +
                    T_SlaveAddr::hex_text(o.address) + QStringLiteral(" (it then answers at ") +
                    T_SlaveAddr::hex_text(to) + QStringLiteral(")? This uses up one of the ") +
                    (changes >= 0 ? QString::number(changes) + u' ' : QString()) + QStringLiteral("changes left."))) &&
               write_begins();
    });
    return finish(o, s.restore(saved), QStringLiteral("Restore"));
}

int measure(const Options &o)
{
    Bench bench(o);
    if (!bench.open(o.address))
        return Failed;
    TSession &s = bench.session();
    cli_signals::stop_softly();
    const QString at = T_SlaveAddr::hex_text(o.address);
    const QStringList header = {QStringLiteral("Time"), QStringLiteral("Pressure/bar"),
                                QStringLiteral("Temperature/°C"), QStringLiteral("Pressure raw"),
                                QStringLiteral("Temperature raw")};
    if (!o.json)
        out(header.join(u'\t'));
    std::optional<MeasureRecording> recording;
    if (o.record)
        recording.emplace(s, o.interval);
    int failures = 0; // in a row
    for (int n = 0; (o.count < 0 || n < o.count) && !cli_signals::stop_requested();) {
        if (n > 0 || failures > 0) {
            // Short slices, so Ctrl-C ends the run within a few milliseconds.
            for (qint64 waited = 0; waited < o.interval && !cli_signals::stop_requested(); waited += 10)
                QThread::msleep(unsigned(std::min<qint64>(10, o.interval - waited)));
            if (cli_signals::stop_requested())
                break;
        }
        const std::optional<session::Measurement> m = s.measure();
        if (!m) {
            // What the transmitter did not deliver is never printed as a measurement.
            if (++failures >= MeasureFailuresLimit) {
                error(Kind::Measurement,
                      QStringLiteral("Measurement failed at ") + at + QStringLiteral(" ") +
                          QString::number(MeasureFailuresLimit) + QStringLiteral(" times in a row; giving up"),
                      Failed);
                return Failed;
            }
            notice(Kind::Measurement,
                   QStringLiteral("Measurement failed at ") + at + QStringLiteral("; looking for the transmitter again"));
            switch (s.find_again()) {
            case TSession::Recovery::NoAdapter:
                error(Kind::NoAdapter, QStringLiteral("No IO-Warrior 56 adapter found"), Failed);
                return Failed;
            case TSession::Recovery::AdapterSilent:
                error(Kind::AdapterSilent, QStringLiteral("The IO-Warrior adapter does not answer"), Failed);
                return Failed;
            case TSession::Recovery::Found:
            case TSession::Recovery::Missing: break;
            }
            continue;
        }
        failures = 0;
        ++n;
        if (recording)
            recording->add(m->time, m->pressure_raw, m->temperature_raw);
        const QDateTime &now = m->time;
        const QString time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
        if (o.json)
            out(json({{QStringLiteral("address"), at},
                      {QStringLiteral("time"), time},
                      {QStringLiteral("pressure"), rounded(m->pressure, s.pressure_digits())},
                      {QStringLiteral("temperature"), rounded(m->temperature, s.temperature_digits())},
                      {QStringLiteral("pressure_raw"), m->pressure_raw},
                      {QStringLiteral("temperature_raw"), m->temperature_raw}}));
        else
            out(QStringList{time, number_text(m->pressure, s.pressure_digits()),
                            number_text(m->temperature, s.temperature_digits()), QString::number(m->pressure_raw),
                            QString::number(m->temperature_raw)}
                    .join(u'\t'));
    }
    // Stopped by a signal: the status tells the script the run did not end by itself.
    if (const int signal = cli_signals::stop_signal())
        return 128 + signal;
    return Ok;
}

int adapters(const Options &o)
{
    Bench bench(o);
    if (!bench.hold())
        return Failed;
    const QList<T_Orvel_Handler::AdapterInfo> found = bench.session().list_adapters();
    if (found.isEmpty()) {
        error(Kind::NoAdapter, QStringLiteral("No IO-Warrior 56 adapter found"), Failed);
        return Failed;
    }
    QList<QStringList> rows;
    for (const T_Orvel_Handler::AdapterInfo &adapter : found) {
        const bool iow56 = adapter.product_id == T_Orvel_Handler::ProductIdIow56;
        if (o.json)
            out(json({{QStringLiteral("serial"), adapter.serial},
                      {QStringLiteral("product_id"), qint64(adapter.product_id)},
                      {QStringLiteral("product_id_hex"), product_id_hex(adapter.product_id)},
                      {QStringLiteral("iow56"), iow56}}));
        else
            rows.append({adapter.serial, product_id_hex(adapter.product_id),
                         iow56 ? QStringLiteral("yes") : QStringLiteral("no")});
    }
    if (!o.json)
        out(table({QStringLiteral("Serial"), QStringLiteral("Product id"), QStringLiteral("IO-Warrior 56")}, rows));
    return Ok;
}

int journal(const Options &o)
{
    const QString folder = readdress_journal::default_folder();
    TSingleInstance guard;
    if (guard.tryAcquire())
        announce_interrupted(folder);
    QString why;
    const QList<QStringList> attempts = readdress_journal::read(folder, &why);
    if (!why.isEmpty()) {
        error(Kind::Journal, QStringLiteral("The journal cannot be read: ") + why, Failed);
        return Failed;
    }
    if (o.json) {
        for (const QStringList &attempt : attempts)
            out(json(journal_json(folder, attempt)));
        return Ok;
    }
    QList<QStringList> rows;
    for (const QStringList &attempt : attempts)
        rows.append(journal_row(folder, attempt));
    out(table(journal_header(), rows));
    return Ok;
}

} // namespace cli_commands
