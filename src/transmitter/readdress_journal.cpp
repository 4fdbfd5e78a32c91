#include "transmitter/readdress_journal.h"

#include "transmitter/OrvelHandler.h"
#include "services/utils/ZUtils.h"
#include "services/utils/file_commit.h"
#include "transmitter/memory_image_file.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <utility>

namespace readdress_journal {

namespace {

const char *step_name(readdress::Step step)
{
    using readdress::Step;
    switch (step) {
    case Step::None: return "";
    case Step::DetectDongle: return "DetectDongle";
    case Step::DisableI2c: return "DisableI2c";
    case Step::DisableSpi: return "DisableSpi";
    case Step::SwitchOff: return "SwitchOff";
    case Step::SwitchOn: return "SwitchOn";
    case Step::EnableI2c: return "EnableI2c";
    case Step::CommandMode: return "CommandMode";
    case Step::Check: return "Check";
    case Step::Confirm: return "Confirm";
    case Step::Write: return "Write";
    case Step::Verify: return "Verify";
    case Step::Checksum: return "Checksum";
    case Step::SwitchOffAfter: return "SwitchOffAfter";
    case Step::SwitchOnAfter: return "SwitchOnAfter";
    case Step::NewAddress: return "NewAddress";
    }
    return "";
}

const char *refusal_name(readdress::Refusal why)
{
    using readdress::Refusal;
    switch (why) {
    case Refusal::None: return "";
    case Refusal::AddressInUse: return "AddressInUse";
    case Refusal::Incomplete: return "Incomplete";
    case Refusal::NotCalibrated: return "NotCalibrated";
    case Refusal::NoChangeLeft: return "NoChangeLeft";
    case Refusal::MemoryError: return "MemoryError";
    case Refusal::OtherImage: return "OtherImage";
    case Refusal::OtherProduct: return "OtherProduct";
    }
    return "";
}

QString address_text(int address)
{
    return address >= 0 ? T_SlaveAddr::hex_text(address) : QString();
}

QString number_text(int n)
{
    return n >= 0 ? QString::number(n) : QString();
}

QString user_name()
{
    QString user = qEnvironmentVariable("USER", qEnvironmentVariable("USERNAME"));
    if (user.isEmpty() && ZUser::GetLoggedOnUserNameEx(ZUser::NameSamCompatible, user) == 0)
        user = user.section(u'\\', -1); // domain or host, a backslash, the login
    return user;
}

// After a write, only a complete read-back tells what the transmitter holds.
bool read_back_after_write(T_Orvel_Handler &h, const readdress::Outcome &outcome)
{
    return outcome.written && outcome.failed != readdress::Step::Write &&
           h.Get_Device().Get_verify_memory_page().Get_complete();
}

} // namespace

Attempt begin(T_Orvel_Handler &h, int new_address, Procedure procedure)
{
    T_OrvelDevice &device = h.Get_Device();
    Attempt a;
    a.procedure = procedure;
    a.time = QDateTime::currentDateTime();
    a.user = user_name();
    a.host = QSysInfo::machineHostName();
    a.adapter_serial = h.Get_serial_no();
    a.product_code = h.Get_ProductString();
    a.old_address = device.Get_slave_addr();
    a.new_address = new_address;
    a.page_before = device.Get_memory_page().Get_complete() ? device.Get_memory_status().current_page : -1;
    a.before = device.Get_memory_page();
    return a;
}

const QStringList &columns()
{
    static const QStringList names = {
        QStringLiteral("time"),        QStringLiteral("user"),        QStringLiteral("host"),
        QStringLiteral("adapter_serial"), QStringLiteral("product_code"), QStringLiteral("old_address"),
        QStringLiteral("new_address"), QStringLiteral("page_before"), QStringLiteral("page_after"),
        QStringLiteral("outcome"),     QStringLiteral("failed_step"), QStringLiteral("procedure"),
        QStringLiteral("before_image"), QStringLiteral("after_image")};
    return names;
}

QString default_folder()
{
    return ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit"));
}

QString journal_file(const QString &folder)
{
    return QDir(folder).filePath(QStringLiteral("readdress_journal.csv"));
}

QString outcome_text(const readdress::Outcome &outcome)
{
    using readdress::Step;
    if (outcome.succeeded())
        return QStringLiteral("success");
    if (outcome.failed == Step::Confirm)
        return QStringLiteral("cancel");
    if (outcome.failed == Step::Check && outcome.refusal != readdress::Refusal::None)
        return QStringLiteral("refused");
    return QStringLiteral("failure");
}

QString failed_step_text(const readdress::Outcome &outcome)
{
    QString text = QString::fromLatin1(step_name(outcome.failed));
    if (outcome.refusal != readdress::Refusal::None)
        text += QStringLiteral(": ") + QString::fromLatin1(refusal_name(outcome.refusal));
    return text;
}

QString record(const QString &folder, const Attempt &attempt, const readdress::Outcome &outcome, T_Orvel_Handler &h)
{
    QStringList errors;
    const QDir dir(folder);
    const bool images_folder = dir.mkpath(QStringLiteral("images"));
    if (!images_folder)
        errors << QStringLiteral("cannot create ") + dir.filePath(QStringLiteral("images"));

    const QString stamp = attempt.time.toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz"));
    auto image_name = [&](const char *which) {
        return QStringLiteral("images/") + attempt.product_code + u'_' + stamp + u'_' + QLatin1String(which) +
               QStringLiteral(".txt");
    };
    auto save = [&](const QString &name, const T_DeviceMemory &image) {
        if (!images_folder)
            return QString(); // the line tells that no image was written
        const QString why = memory_image_file::save(dir.filePath(name), image);
        if (!why.isEmpty())
            errors << why;
        return why.isEmpty() ? name : QString();
    };

    T_OrvelDevice &device = h.Get_Device();
    const QString before = save(image_name("before"), attempt.before);
    QString after;
    int page_after = -1;
    if (!outcome.written) {
        after = save(image_name("after"), attempt.before);
        page_after = attempt.page_before;
    } else if (read_back_after_write(h, outcome)) {
        after = save(image_name("after"), device.Get_verify_memory_page());
        page_after = device.Get_memory_status().current_page;
    }

    const QStringList fields = {
        attempt.time.toOffsetFromUtc(attempt.time.offsetFromUtc()).toString(Qt::ISODateWithMs),
        attempt.user,
        attempt.host,
        attempt.adapter_serial,
        attempt.product_code,
        address_text(attempt.old_address),
        address_text(attempt.new_address),
        number_text(attempt.page_before),
        number_text(page_after),
        outcome_text(outcome),
        failed_step_text(outcome),
        attempt.procedure == Procedure::Restore ? QStringLiteral("restore") : QStringLiteral("readdress"),
        before,
        after};
    const QString file = journal_file(folder);
    QByteArray bytes;
    if (!QFile::exists(file) || QFile(file).size() == 0)
        bytes += csv_line(columns()).toUtf8() + '\n';
    bytes += csv_line(fields).toUtf8() + '\n';
    if (const QString why = file_commit::append_lines(file, bytes); !why.isEmpty())
        errors << why;
    return errors.join(QStringLiteral("; "));
}

QString csv_line(const QStringList &fields)
{
    QStringList out;
    for (QString field : fields) {
        // One attempt, one line.
        field.replace(u'\n', u' ').replace(u'\r', u' ');
        if (field.contains(u',') || field.contains(u'"')) {
            field.replace(QStringLiteral("\""), QStringLiteral("\"\""));
            field = u'"' + field + u'"';
        }
        out << field;
    }
    return out.join(u',');
}

QStringList csv_fields(const QString &line)
{
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted) {
            if (c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else if (c != u'\r') {
            field += c;
        }
    }
    fields << field;
    return fields;
}

QList<QStringList> read(const QString &folder, QString *error)
{
    QList<QStringList> lines;
    QFile file(journal_file(folder));
    if (!file.exists())
        return lines;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.fileName() + QStringLiteral(": ") + file.errorString();
        return lines;
    }
    // A field never holds a line break: every line of the file is one attempt.
    bool header = true;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty())
            continue;
        if (std::exchange(header, false) && line.startsWith(columns().first() + u','))
            continue;
        lines.prepend(csv_fields(line));
    }
    return lines;
}

} // namespace readdress_journal
