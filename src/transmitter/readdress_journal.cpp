#include "transmitter/readdress_journal.h"

#include "transmitter/OrvelHandler.h"
#include "services/utils/ZUtils.h"
#include "services/utils/file_commit.h"
#include "transmitter/memory_image_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSysInfo>
#include <algorithm>
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
    case Refusal::NotOnBus: return "NotOnBus";
    case Refusal::TwoMatch: return "TwoMatch";
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

QString time_text(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODateWithMs);
}

QString image_name(const Attempt &attempt, const char *which)
{
    const QString stamp = attempt.time.toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz"));
    return QStringLiteral("images/") + attempt.product_code + u'_' + stamp + u'_' + QLatin1String(which) +
           QStringLiteral(".txt");
}

// The line of the attempt; what the end adds comes as the later fields.
QStringList fields(const Attempt &attempt, int page_after, const QString &outcome, const QString &failed_step,
                   const QString &before, const QString &after)
{
    return {time_text(attempt.time),
            attempt.user,
            attempt.host,
            attempt.adapter_serial,
            attempt.product_code,
            address_text(attempt.old_address),
            address_text(attempt.new_address),
            number_text(attempt.page_before),
            number_text(page_after),
            outcome,
            failed_step,
            procedure_text(attempt.procedure),
            before,
            after};
}

// The images' folder, made when missing; false when it cannot be had.
bool images_folder(const QDir &dir, QStringList &errors)
{
    if (dir.mkpath(QStringLiteral("images")))
        return true;
    errors << QStringLiteral("cannot create ") + dir.filePath(QStringLiteral("images"));
    return false;
}

// Saves the image under `name` with its folder entry on the disk; the name, or empty when it
// could not be saved.
QString save_image(const QDir &dir, const QString &name, const T_DeviceMemory &image, QStringList &errors)
{
    const QString path = dir.filePath(name);
    QString why = memory_image_file::save(path, image);
    if (why.isEmpty())
        why = file_commit::sync(path);
    if (why.isEmpty())
        why = file_commit::sync(QFileInfo(path).path());
    if (!why.isEmpty())
        errors << why;
    return why.isEmpty() ? name : QString();
}

// Appends the lines, the header first into a new journal, and has them on the disk.
QString append(const QString &folder, const QList<QStringList> &lines)
{
    const QString file = journal_file(folder);
    const bool fresh = !QFile::exists(file) || QFile(file).size() == 0;
    QByteArray bytes;
    if (fresh)
        bytes += csv_line(columns()).toUtf8() + '\n';
    for (const QStringList &line : lines)
        bytes += csv_line(line).toUtf8() + '\n';
    QString why = file_commit::append_lines(file, bytes);
    if (why.isEmpty())
        why = file_commit::sync(file);
    if (why.isEmpty() && fresh)
        why = file_commit::sync(folder);
    return why;
}

QString key(const QStringList &line)
{
    return line.value(Time) + u'\x1f' + line.value(AdapterSerial) + u'\x1f' + line.value(OldAddress);
}

// Every attempt once, in the order they began, with the fields of its last line.
QList<QStringList> attempts(const QString &folder, QString *error)
{
    QList<QStringList> rows;
    QFile file(journal_file(folder));
    if (!file.exists())
        return rows;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.fileName() + QStringLiteral(": ") + file.errorString();
        return rows;
    }
    QHash<QString, qsizetype> at;
    // A field never holds a line break: every line of the file is one attempt or its end.
    bool header = true;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty())
            continue;
        if (std::exchange(header, false) && line.startsWith(columns().first() + u','))
            continue;
        QStringList row = csv_fields(line);
        const auto found = at.constFind(key(row));
        if (found != at.constEnd()) {
            rows[*found] = std::move(row);
        } else {
            at.insert(key(row), rows.size());
            rows.append(std::move(row));
        }
    }
    return rows;
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

QString procedure_text(Procedure procedure)
{
    return procedure == Procedure::Restore ? QStringLiteral("restore") : QStringLiteral("readdress");
}

QString failed_step_text(const readdress::Outcome &outcome)
{
    QString text = QString::fromLatin1(step_name(outcome.failed));
    if (outcome.refusal != readdress::Refusal::None)
        text += QStringLiteral(": ") + QString::fromLatin1(refusal_name(outcome.refusal));
    return text;
}

QString start(const QString &folder, Attempt &attempt)
{
    QStringList errors;
    const QDir dir(folder);
    if (images_folder(dir, errors)) {
        attempt.before_image = save_image(dir, image_name(attempt, "before"), attempt.before, errors);
        if (const QString why = file_commit::sync(folder); !why.isEmpty())
            errors << why; // the images' folder itself may be new
    }
    const QString why = append(folder, {fields(attempt, -1, Started, QString(), attempt.before_image, QString())});
    if (why.isEmpty())
        attempt.started = true;
    else
        errors << why;
    return errors.join(QStringLiteral("; "));
}

QString record(const QString &folder, const Attempt &attempt, const readdress::Outcome &outcome, T_Orvel_Handler &h)
{
    QStringList errors;
    const QDir dir(folder);
    // Without the folder the line tells that no image was written.
    const bool images = images_folder(dir, errors);
    auto save = [&](const char *which, const T_DeviceMemory &image) {
        return images ? save_image(dir, image_name(attempt, which), image, errors) : QString();
    };

    T_OrvelDevice &device = h.Get_Device();
    const QString before = attempt.before_image.isEmpty() ? save("before", attempt.before) : attempt.before_image;
    QString after;
    int page_after = -1;
    if (!outcome.written) {
        after = save("after", attempt.before);
        page_after = attempt.page_before;
    } else if (read_back_after_write(h, outcome)) {
        after = save("after", device.Get_verify_memory_page());
        page_after = device.Get_memory_status().current_page;
    }

    if (const QString why = append(folder, {fields(attempt, page_after, outcome_text(outcome),
                                                   failed_step_text(outcome), before, after)});
        !why.isEmpty())
        errors << why;
    errors.removeDuplicates();
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
    QList<QStringList> rows = attempts(folder, error);
    std::reverse(rows.begin(), rows.end());
    for (QStringList &row : rows)
        if (row.value(Outcome) == Started && row.size() > Outcome)
            row[Outcome] = Interrupted;
    return rows;
}

QList<QStringList> unannounced(const QString &folder, QString *error)
{
    QList<QStringList> found;
    for (const QStringList &row : attempts(folder, error))
        if (row.value(Outcome) == Started)
            found << row;
    return found;
}

QString mark_announced(const QString &folder, const QList<QStringList> &attempts)
{
    if (attempts.isEmpty())
        return {};
    QList<QStringList> lines = attempts;
    for (QStringList &line : lines) {
        while (line.size() < ColumnCount)
            line << QString();
        line[Outcome] = Interrupted;
    }
    return append(folder, lines);
}

QString file_path(const QString &folder, const QString &name)
{
    return name.isEmpty() ? QString() : QDir(folder).filePath(name);
}

} // namespace readdress_journal
