#include "cli/cli_commands.h"

#include "cli/cli_output.h"
#include "cli/cli_signals.h"
#include "services/settings/IniHandler.h"
#include "services/utils/single_instance.h"
#include "session/session.h"
#include "transmitter/memory_image_file.h"
#include "transmitter/readdress_journal.h"

#include <QDateTime>
#include <QJsonArray>
#include <QThread>
#include <cstdio>

namespace cli_commands {

using namespace cli_output;

namespace {

// Tells once of every attempt that a kill or a power loss cut off while it wrote; only while no
// other copy runs, whose own write may be under way.
void announce_interrupted(const QString &folder)
{
    const QList<QStringList> found = readdress_journal::unannounced(folder);
    for (const QStringList &attempt : found)
        err(interrupted_notice(folder, attempt));
    if (const QString why = readdress_journal::mark_announced(folder, found); !why.isEmpty())
        err(QStringLiteral("Journal not written: ") + why);
}

// Asks on the terminal; anything but "y" or "yes", and the end of the input, is No.
bool ask(const QString &question)
{
    std::fputs((question + QStringLiteral(" [y/N] ")).toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
    char answer[64] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
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
        if (!fGuard.tryAcquire()) {
            err(QStringLiteral("Orvel I2C Zorbit is already running and holds the adapter; close it first"));
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
            err(QStringLiteral("No IO-Warrior adapter with serial ") + fSerial + QStringLiteral(" attached; found: ") +
                found.join(QStringLiteral(", ")));
            return false;
        }
        if (failed == readdress::Step::DetectDongle) {
            err(QStringLiteral("No IO-Warrior 56 adapter found"));
            return false;
        }
        if (failed != readdress::Step::None) {
            err(QStringLiteral("The adapter failed while ") + step_text(failed));
            return false;
        }
        // Only a scan the bus answered throughout tells an empty bus.
        if (const std::optional<session::ScanFailed> &scan = fSession.scan_failed()) {
            err(scan->arbitration_lost && !scan->adapter_lost
                    ? QStringLiteral("The I2C bus is held: the IO-Warrior adapter loses arbitration on it")
                    : QStringLiteral("The IO-Warrior adapter does not answer"));
            return false;
        }
        if (address >= 0 && !fSession.select(address)) {
            err(QStringLiteral("No transmitter answers at ") + T_SlaveAddr::hex_text(address));
            return false;
        }
        return true;
    }

private:
    TSingleInstance fGuard;
    TSession fSession;
    QString fSerial;
};

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
        err(QStringLiteral("Journal not written: ") + ended.journal_error);
    const readdress::Outcome &outcome = ended.outcome;
    if (o.json) {
        out(json({{QStringLiteral("outcome"), readdress_journal::outcome_text(outcome)},
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
        err(QStringLiteral("Cancelled: nothing was written"));
    else if (outcome.failed == readdress::Step::Check)
        err(refusal_text(outcome.refusal, ended.to));
    else
        err(failure_text(outcome, what));
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
    QJsonArray list;
    for (int address : QList<int>(s.addresses())) {
        s.select(address);
        const session::Transmitter &i = s.transmitter();
        rows.append(info_row(i, s.pressure_digits()));
        list.append(info_json(i, s.pressure_digits()));
    }
    if (o.json)
        out(json({{QStringLiteral("adapter_serial"), s.adapter_serial()},
                  {QStringLiteral("transmitters"), list}}));
    else
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
        err(QStringLiteral("The memory image at ") + T_SlaveAddr::hex_text(o.address) +
            QStringLiteral(" was not read completely"));
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
                             T_SlaveAddr::hex_text(started.to) + QStringLiteral(" to device ?"))) &&
               write_begins();
    });
    return finish(o, s.readdress(o.to), QStringLiteral("Re-addressing"));
}

int restore(const Options &o)
{
    T_DeviceMemory saved;
    if (const QString why = memory_image_file::load(o.image, saved); !why.isEmpty()) {
        err(QStringLiteral("No memory image: ") + why);
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
    const QStringList header = {QStringLiteral("Time"), QStringLiteral("Pressure/bar"),
                                QStringLiteral("Temperature/°C"), QStringLiteral("Pressure raw"),
                                QStringLiteral("Temperature raw")};
    if (!o.json)
        out(header.join(u'\t'));
    for (int n = 0; (o.count < 0 || n < o.count) && !cli_signals::stop_requested(); ++n) {
        if (n > 0) {
            // Short slices, so Ctrl-C ends the run within a few milliseconds.
            for (int waited = 0; waited < o.interval && !cli_signals::stop_requested(); waited += 10)
                QThread::msleep(unsigned(std::min(10, o.interval - waited)));
            if (cli_signals::stop_requested())
                break;
        }
        const std::optional<session::Measurement> m = s.measure();
        if (!m) {
            err(QStringLiteral("Measurement failed at ") + T_SlaveAddr::hex_text(o.address));
            return Failed;
        }
        const QDateTime &now = m->time;
        const QString time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
        if (o.json)
            out(json({{QStringLiteral("time"), time},
                      {QStringLiteral("pressure"), rounded(m->pressure, s.pressure_digits())},
                      {QStringLiteral("temperature"), rounded(m->temperature, s.temperature_digits())},
                      {QStringLiteral("pressure_raw"), m->pressure_raw},
                      {QStringLiteral("temperature_raw"), m->temperature_raw}},
                     true));
        else
            out(QStringList{time, number_text(m->pressure, s.pressure_digits()),
                            number_text(m->temperature, s.temperature_digits()), QString::number(m->pressure_raw),
                            QString::number(m->temperature_raw)}
                    .join(u'\t'));
    }
    return Ok;
}

int adapters(const Options &o)
{
    Bench bench(o);
    if (!bench.hold())
        return Failed;
    const QList<T_Orvel_Handler::AdapterInfo> found = bench.session().list_adapters();
    if (found.isEmpty()) {
        err(QStringLiteral("No IO-Warrior 56 adapter found"));
        return Failed;
    }
    QList<QStringList> rows;
    for (const T_Orvel_Handler::AdapterInfo &adapter : found) {
        const bool iow56 = adapter.product_id == T_Orvel_Handler::ProductIdIow56;
        if (o.json)
            out(json({{QStringLiteral("schema"), SchemaVersion},
                      {QStringLiteral("serial"), adapter.serial},
                      {QStringLiteral("product_id"), qint64(adapter.product_id)},
                      {QStringLiteral("product_id_hex"), product_id_hex(adapter.product_id)},
                      {QStringLiteral("iow56"), iow56}},
                     true));
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
    QString error;
    const QList<QStringList> attempts = readdress_journal::read(folder, &error);
    if (!error.isEmpty()) {
        err(QStringLiteral("The journal cannot be read: ") + error);
        return Failed;
    }
    if (o.json) {
        for (const QStringList &attempt : attempts)
            out(json(journal_json(folder, attempt), true));
        return Ok;
    }
    QList<QStringList> rows;
    for (const QStringList &attempt : attempts)
        rows.append(journal_row(folder, attempt));
    out(table(journal_header(), rows));
    return Ok;
}

} // namespace cli_commands
