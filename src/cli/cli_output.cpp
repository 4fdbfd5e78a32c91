#include "cli/cli_output.h"

#include "services/utils/ZUtils.h"
#include "transmitter/OrvelHandler.h"
#include "transmitter/readdress_journal.h"

#include <QDate>

#include <QJsonDocument>
#include <QRegularExpression>
#include <atomic>
#include <cstdio>

namespace cli_output {

void out(const QString &text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), stdout);
    std::fflush(stdout);
}

void err(const QString &text)
{
    std::fputs((text + u'\n').toLocal8Bit().constData(), stderr);
    std::fflush(stderr);
}

namespace {

std::atomic<bool> json_on{false};

} // namespace

const char *kind_name(Kind kind)
{
    switch (kind) {
    case Kind::Usage: return "usage";
    case Kind::Image: return "image";
    case Kind::Busy: return "busy";
    case Kind::NoAdapter: return "no_adapter";
    case Kind::AdapterSilent: return "adapter_silent";
    case Kind::BusHeld: return "bus_held";
    case Kind::NoTransmitter: return "no_transmitter";
    case Kind::Incomplete: return "incomplete";
    case Kind::Measurement: return "measurement";
    case Kind::Refused: return "refused";
    case Kind::Cancelled: return "cancelled";
    case Kind::Failed: return "failed";
    case Kind::Journal: return "journal";
    case Kind::Interrupted: return "interrupted";
    case Kind::Recording: return "recording";
    case Kind::NoRun: return "no_run";
    case Kind::Export: return "export";
    }
    return "failed";
}

void set_json(bool on)
{
    json_on = on;
}

bool json_mode()
{
    return json_on;
}

void error(Kind kind, const QString &text, int exit)
{
    if (!json_on) {
        err(text);
        return;
    }
    err(json({{QStringLiteral("error"), text},
              {QStringLiteral("kind"), QLatin1String(kind_name(kind))},
              {QStringLiteral("exit"), exit}}));
}

void notice(Kind kind, const QString &text)
{
    if (!json_on) {
        err(text);
        return;
    }
    err(json({{QStringLiteral("notice"), text}, {QStringLiteral("kind"), QLatin1String(kind_name(kind))}}));
}

QString table(const QStringList &header, const QList<QStringList> &rows)
{
    QList<qsizetype> widths;
    for (const QString &cell : header)
        widths.append(cell.size());
    for (const QStringList &row : rows)
        for (qsizetype c = 0; c < row.size() && c < widths.size(); ++c)
            widths[c] = std::max(widths[c], row[c].size());
    auto line = [&](const QStringList &cells) {
        QString text;
        for (qsizetype c = 0; c < cells.size(); ++c)
            text += c + 1 < cells.size() ? cells[c].leftJustified(widths[c] + 2) : cells[c];
        return text;
    };
    QStringList lines{line(header)};
    for (const QStringList &row : rows)
        lines.append(line(row));
    return lines.join(u'\n');
}

QString json(const QJsonObject &object)
{
    QJsonObject versioned = object;
    versioned.remove(QStringLiteral("schema"));
    const QByteArray fields = QJsonDocument(versioned).toJson(QJsonDocument::Compact);
    // QJsonObject sorts its keys; the version leads, so a reader meets it first.
    const QByteArray head = "{\"schema\":" + QByteArray::number(SchemaVersion);
    return QString::fromUtf8(fields == "{}" ? head + '}' : head + ',' + fields.mid(1));
}

double rounded(double value, int digits)
{
    return QString::number(value, 'f', digits).toDouble();
}

QString number_text(double value, int digits)
{
    return ZString::FormatFixed(value, digits, 12, u'.');
}

QString iso_date(const QString &calibration_date)
{
    const QDate date = QDate::fromString(calibration_date, QStringLiteral("dd.MM.yyyy"));
    return date.isValid() ? date.toString(Qt::ISODate) : QString();
}

QStringList info_header()
{
    return {QStringLiteral("Address"), QStringLiteral("Range"),  QStringLiteral("Calibration date"),
            QStringLiteral("Product"), QStringLiteral("Status"), QStringLiteral("Changes left")};
}

namespace {

QString changes_text(const session::Transmitter &info)
{
    if (!info.calibrated)
        return QStringLiteral("not calibrated");
    return info.changes_left() >= 0 ? QString::number(info.changes_left()) : QStringLiteral("unknown");
}

} // namespace

namespace {

// The device panel's scaling text, with a point: empty for an unknown pressure mode.
QString range_text(const session::Transmitter &info, int digits)
{
    const QString mode = T_OrvelDevice::pressure_mode_text(info.pressure_mode);
    if (mode.isEmpty())
        return {};
    return number_text(info.pmin, digits) + QStringLiteral("...") + number_text(info.pmax, digits) + u' ' + mode;
}

QJsonValue or_null(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

} // namespace

QStringList info_row(const session::Transmitter &info, int digits)
{
    return {T_SlaveAddr::hex_text(info.address), range_text(info, digits), info.calibration_date, info.product_code,
            T_OrvelDevice::status_text(info.status), changes_text(info)};
}

QJsonObject info_json(const session::Transmitter &info, int digits)
{
    // The identity words the range, date and product code are decoded from.
    QJsonValue words(QJsonValue::Null);
    if (info.image_complete) {
        T_DeviceMemory image = info.memory;
        QJsonObject identity;
        for (const T_32Bit *reg : image.identity_registers())
            identity.insert(reg->Get_name(), reg->value());
        words = identity;
    }
    const bool known = !T_OrvelDevice::pressure_mode_text(info.pressure_mode).isEmpty();
    return {{QStringLiteral("address"), T_SlaveAddr::hex_text(info.address)},
            {QStringLiteral("address_number"), info.address},
            {QStringLiteral("range"), range_text(info, digits)},
            {QStringLiteral("range_low"), known ? QJsonValue(rounded(info.pmin, digits)) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("range_high"), known ? QJsonValue(rounded(info.pmax, digits)) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("unit"), QStringLiteral("bar")},
            {QStringLiteral("mode"), or_null(T_OrvelDevice::pressure_mode_text(info.pressure_mode))},
            {QStringLiteral("mode_number"), info.pressure_mode},
            {QStringLiteral("calibration_date"), or_null(iso_date(info.calibration_date))},
            {QStringLiteral("product_code"), info.product_code},
            {QStringLiteral("status"), T_OrvelDevice::status_text(info.status)},
            {QStringLiteral("status_byte"), info.status},
            {QStringLiteral("calibrated"), info.calibrated},
            {QStringLiteral("changes_left"),
             info.changes_left() >= 0 ? QJsonValue(info.changes_left()) : QJsonValue(QJsonValue::Null)},
            {QStringLiteral("identity_words"), words},
            {QStringLiteral("identity_read"), info.identity_read},
            {QStringLiteral("image_complete"), info.image_complete}};
}

QString refusal_text(readdress::Refusal why, int new_address)
{
    using readdress::Refusal;
    const QString nothing = QStringLiteral(" Nothing was written.");
    switch (why) {
    case Refusal::AddressInUse:
        return QStringLiteral("Refused: the address ") + T_SlaveAddr::hex_text(new_address) +
               QStringLiteral(" is in use on the bus.") + nothing;
    case Refusal::Incomplete:
        return QStringLiteral("Refused: the memory image was not read completely.") + nothing;
    case Refusal::NotCalibrated:
        return QStringLiteral("Refused: Device NOT calibrated! Change of address not possible.") + nothing;
    case Refusal::NoChangeLeft:
        return QStringLiteral("Refused: no change of address left.") + nothing;
    case Refusal::MemoryError:
        return QStringLiteral("Refused: the transmitter reports a memory error; restore a saved memory image instead.") +
               nothing;
    case Refusal::OtherImage:
        return QStringLiteral("Refused: the transmitter no longer holds the memory image that was read.") + nothing;
    case Refusal::OtherProduct:
        return QStringLiteral("Refused: the saved memory image belongs to another product code.") + nothing;
    case Refusal::NotOnBus:
        return QStringLiteral("Refused: no transmitter on the bus carries the saved memory image's identity.") + nothing;
    case Refusal::TwoMatch:
        return QStringLiteral("Refused: more than one transmitter on the bus carries the saved memory image's identity.") +
               nothing;
    case Refusal::None: break;
    }
    return QStringLiteral("Refused.") + nothing;
}

QString failure_text(const readdress::Outcome &outcome, const QString &what)
{
    QString where = QStringLiteral("the transmitter does not answer on the bus");
    if (outcome.answers_at >= 0)
        where = QStringLiteral("the transmitter now answers at ") + T_SlaveAddr::hex_text(outcome.answers_at);
    else if (outcome.answers_at == readdress::AnswersUnknown)
        where = QStringLiteral("the adapter could not look for the transmitter");
    return what + QStringLiteral(" failed at step ") +
           QString::fromLatin1([&] {
               using readdress::Step;
               switch (outcome.failed) {
               case Step::DisableSpi: return "SPI off";
               case Step::SwitchOff: return "supply off";
               case Step::SwitchOn: return "supply on";
               case Step::EnableI2c: return "I2C on";
               case Step::CommandMode: return "command mode";
               case Step::Write: return "write";
               case Step::Verify: return "verify";
               case Step::Checksum: return "checksum";
               case Step::SwitchOffAfter: return "supply off after writing";
               case Step::SwitchOnAfter: return "supply on after writing";
               case Step::NewAddress: return "answer at the new address";
               default: return "power-up";
               }
           }()) +
           QStringLiteral("; ") + where + (outcome.written ? QStringLiteral("; the memory was written") : QString());
}

QStringList journal_header()
{
    return {QStringLiteral("Time"),        QStringLiteral("Procedure"),  QStringLiteral("Adapter"),
            QStringLiteral("Product"),     QStringLiteral("Old"),        QStringLiteral("New"),
            QStringLiteral("Page before"), QStringLiteral("Page after"), QStringLiteral("Outcome"),
            QStringLiteral("Failed step"), QStringLiteral("Image before")};
}

QStringList journal_row(const QString &folder, const QStringList &attempt)
{
    using namespace readdress_journal;
    return {attempt.value(Time),       attempt.value(ProcedureColumn), attempt.value(AdapterSerial),
            attempt.value(ProductCode), attempt.value(OldAddress),     attempt.value(NewAddress),
            attempt.value(PageBefore), attempt.value(PageAfter),       attempt.value(Outcome),
            attempt.value(FailedStep), file_path(folder, attempt.value(BeforeImage))};
}

QJsonObject journal_json(const QString &folder, const QStringList &attempt)
{
    using namespace readdress_journal;
    QJsonObject object;
    for (int column = 0; column < ColumnCount; ++column) {
        const QString value = attempt.value(column);
        QJsonValue json = value;
        if (column == PageBefore || column == PageAfter) {
            bool ok = false;
            const int page = value.toInt(&ok);
            json = ok ? QJsonValue(page) : QJsonValue(QJsonValue::Null);
        } else if (column == BeforeImage || column == AfterImage) {
            json = value.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(file_path(folder, value));
        }
        object.insert(columns().at(column), json);
    }
    return object;
}

QString interrupted_notice(const QString &folder, const QStringList &attempt)
{
    using namespace readdress_journal;
    const bool restore = attempt.value(ProcedureColumn) == QLatin1String("restore");
    const QString image = file_path(folder, attempt.value(BeforeImage));
    return QStringLiteral("Interrupted: the ") + (restore ? QStringLiteral("restore") : QStringLiteral("re-addressing")) +
           QStringLiteral(" of ") + attempt.value(OldAddress) + QStringLiteral(" to ") + attempt.value(NewAddress) +
           QStringLiteral(" begun ") + attempt.value(Time) +
           QStringLiteral(" was cut off while it wrote the transmitter; journal: ") + journal_file(folder) +
           (image.isEmpty() ? QStringLiteral("; no before-image was saved")
                            : QStringLiteral("; before-image: ") + image +
                                  QStringLiteral(" (orvel-zorbit-cli restore --image writes it back)"));
}

int parse_address(const QString &text)
{
    static const QRegularExpression hex(QStringLiteral("^0[xX]([0-9A-Fa-f]{1,2})$"));
    const QRegularExpressionMatch m = hex.match(text);
    if (!m.hasMatch())
        return -1;
    const int value = m.captured(1).toInt(nullptr, 16);
    return value <= 0x7F ? value : -1;
}

QString address_error(const QString &option, const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    static const QRegularExpression hex(QStringLiteral("^0[xX][0-9A-Fa-f]{1,2}$"));
    const QString quoted = u'"' + text + u'"';
    if (digits.match(text).hasMatch())
        return option + QStringLiteral(" takes a hexadecimal address such as 0x28; ") + quoted +
               QStringLiteral(" would be read as decimal");
    if (hex.match(text).hasMatch())
        return option + QStringLiteral(" takes 0x00 to 0x7F, not ") + quoted;
    return option + QStringLiteral(" takes a hexadecimal address such as 0x28, not ") + quoted;
}

} // namespace cli_output
