#include "cli/cli_commands.h"

#include "cli/cli_output.h"
#include "cli/cli_session.h"
#include "transmitter/memory_image_file.h"
#include "transmitter/readdress_journal.h"

#include <QDateTime>
#include <QJsonArray>
#include <QThread>
#include <csignal>
#include <cstdio>

namespace cli_commands {

using namespace cli_output;

namespace {

volatile std::sig_atomic_t g_interrupted = 0;

extern "C" void on_interrupt(int)
{
    g_interrupted = 1;
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

// Opens the session and picks the transmitter; prints why not.
bool open_at(CliSession &s, int address)
{
    if (!s.open() || (address >= 0 && !s.select(address))) {
        err(s.error());
        return false;
    }
    return true;
}

// Journals the attempt, then tells its outcome: the line is on disk before anybody hears of it.
int finish(CliSession &s, const Options &o, const readdress_journal::Attempt &attempt,
           const readdress::Outcome &outcome, const QString &what)
{
    const QString journal_error =
        readdress_journal::record(readdress_journal::default_folder(), attempt, outcome, s.handler());
    if (!journal_error.isEmpty())
        err(QStringLiteral("Journal not written: ") + journal_error);
    if (o.json) {
        out(json({{QStringLiteral("outcome"), readdress_journal::outcome_text(outcome)},
                  {QStringLiteral("failed_step"), readdress_journal::failed_step_text(outcome)},
                  {QStringLiteral("old_address"), T_SlaveAddr::hex_text(attempt.old_address)},
                  {QStringLiteral("new_address"), T_SlaveAddr::hex_text(attempt.new_address)},
                  {QStringLiteral("answers_at"), outcome.answers_at >= 0
                                                     ? QJsonValue(T_SlaveAddr::hex_text(outcome.answers_at))
                                                     : QJsonValue(QJsonValue::Null)},
                  {QStringLiteral("written"), outcome.written}}));
    }
    if (outcome.succeeded()) {
        if (!o.json)
            out(what + QStringLiteral(" done: the transmitter answers at ") + T_SlaveAddr::hex_text(outcome.answers_at));
        return CliSession::Ok;
    }
    if (outcome.failed == readdress::Step::Confirm)
        err(QStringLiteral("Cancelled: nothing was written"));
    else if (outcome.failed == readdress::Step::Check)
        err(refusal_text(outcome.refusal, attempt.new_address));
    else
        err(failure_text(outcome, what));
    return CliSession::Failed;
}

} // namespace

int scan(const Options &o)
{
    CliSession s;
    if (!open_at(s, -1))
        return CliSession::Failed;
    QList<QStringList> rows;
    QJsonArray list;
    for (int address : s.addresses()) {
        s.select(address);
        const TransmitterInfo i = s.info();
        rows.append(info_row(i));
        list.append(info_json(i));
    }
    if (o.json)
        out(json({{QStringLiteral("adapter_serial"), s.handler().Get_serial_no()},
                  {QStringLiteral("transmitters"), list}}));
    else
        out(table(info_header(), rows));
    return CliSession::Ok;
}

int info(const Options &o)
{
    CliSession s;
    if (!open_at(s, o.address))
        return CliSession::Failed;
    const TransmitterInfo i = s.info();
    if (o.json)
        out(json(info_json(i)));
    else
        out(table(info_header(), {info_row(i)}));
    return CliSession::Ok;
}

int dump(const Options &o)
{
    CliSession s;
    if (!open_at(s, o.address))
        return CliSession::Failed;
    T_OrvelDevice &device = s.handler().Get_Device();
    T_DeviceMemory &image = device.Get_memory_page();
    if (!image.Get_complete()) {
        err(QStringLiteral("The memory image at ") + T_SlaveAddr::hex_text(o.address) +
            QStringLiteral(" was not read completely"));
        return CliSession::Failed;
    }
    if (o.json) {
        QJsonArray words;
        for (const T_32Bit *reg : image.full_image())
            words.append(QJsonObject{{QStringLiteral("name"), reg->Get_name()},
                                     {QStringLiteral("address"), T_SlaveAddr::hex_text(reg->Get_addr())},
                                     {QStringLiteral("value"), reg->value()}});
        out(json({{QStringLiteral("address"), T_SlaveAddr::hex_text(o.address)},
                  {QStringLiteral("current_page"), device.Get_memory_status().current_page},
                  {QStringLiteral("data_corrected"), device.Get_memory_status().data_corrected},
                  {QStringLiteral("words"), words}}));
    } else {
        std::fputs(memory_image_file::text(image).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toLocal8Bit(),
                   stdout);
    }
    return CliSession::Ok;
}

int readdress(const Options &o)
{
    CliSession s;
    if (!open_at(s, o.address))
        return CliSession::Failed;
    T_Orvel_Handler &h = s.handler();
    const readdress_journal::Attempt attempt =
        readdress_journal::begin(h, o.to, readdress_journal::Procedure::Readdress);
    const readdress::Outcome outcome = readdress::readdress(h, uint8_t(o.to), [&](uint8_t to) {
        return o.yes || ask(QStringLiteral("Do you wish to continue with assigning new slave address: ") +
                            T_SlaveAddr::hex_text(to) + QStringLiteral(" to device ?"));
    });
    return finish(s, o, attempt, outcome, QStringLiteral("Re-addressing"));
}

int restore(const Options &o)
{
    T_DeviceMemory saved;
    if (const QString why = memory_image_file::load(o.image, saved); !why.isEmpty()) {
        err(QStringLiteral("No memory image: ") + why);
        return CliSession::Usage;
    }
    CliSession s;
    if (!open_at(s, o.address))
        return CliSession::Failed;
    T_Orvel_Handler &h = s.handler();
    const int changes = s.info().changes_left;
    const int to = saved.at(OrvelWords::COM_Config).value() & 0x7F;
    const readdress_journal::Attempt attempt = readdress_journal::begin(h, to, readdress_journal::Procedure::Restore);
    const readdress::Outcome outcome = readdress::restore(h, saved, [&](uint8_t) {
        return o.yes ||
               ask(QStringLiteral("Write the saved memory image back to the transmitter at ") +
                   T_SlaveAddr::hex_text(o.address) + QStringLiteral(" (it then answers at ") +
                   T_SlaveAddr::hex_text(to) + QStringLiteral(")? This uses up one of the ") +
                   (changes >= 0 ? QString::number(changes) + u' ' : QString()) + QStringLiteral("changes left."));
    });
    return finish(s, o, attempt, outcome, QStringLiteral("Restore"));
}

int measure(const Options &o)
{
    CliSession s;
    if (!open_at(s, o.address))
        return CliSession::Failed;
    T_OrvelDevice &device = s.handler().Get_Device();
    device.Set_pressure_digits(s.pressure_digits());
    device.Set_temperature_digits(s.temperature_digits());
    std::signal(SIGINT, on_interrupt);
    std::signal(SIGTERM, on_interrupt);
    const QStringList header = {QStringLiteral("Time"), QStringLiteral("Pressure/bar"),
                                QStringLiteral("Temperature/°C"), QStringLiteral("Pressure raw"),
                                QStringLiteral("Temperature raw")};
    if (!o.json)
        out(header.join(u'\t'));
    for (int n = 0; (o.count < 0 || n < o.count) && !g_interrupted; ++n) {
        if (n > 0) {
            // Short slices, so Ctrl-C ends the run within a few milliseconds.
            for (int waited = 0; waited < o.interval && !g_interrupted; waited += 10)
                QThread::msleep(unsigned(std::min(10, o.interval - waited)));
            if (g_interrupted)
                break;
        }
        if (!s.handler().get_measurement()) {
            err(QStringLiteral("Measurement failed at ") + T_SlaveAddr::hex_text(o.address));
            return CliSession::Failed;
        }
        const QDateTime now = QDateTime::currentDateTime();
        const QString time = now.toOffsetFromUtc(now.offsetFromUtc()).toString(Qt::ISODateWithMs);
        if (o.json)
            out(json({{QStringLiteral("time"), time},
                      {QStringLiteral("pressure"), rounded(device.Get_pressure(), s.pressure_digits())},
                      {QStringLiteral("temperature"), rounded(device.Get_temperature(), s.temperature_digits())},
                      {QStringLiteral("pressure_raw"), device.Get_pressure_U16_raw()},
                      {QStringLiteral("temperature_raw"), device.Get_temperature_U16_raw()}},
                     true));
        else
            out(QStringList{time, device.Get_pressure_as_String(), device.Get_temperature_as_String(),
                            QString::number(device.Get_pressure_U16_raw()),
                            QString::number(device.Get_temperature_U16_raw())}
                    .join(u'\t'));
    }
    return CliSession::Ok;
}

} // namespace cli_commands
