#include "IniFile.h"

#include "ZUtils.h"

#include <QFile>
#include <QSaveFile>
#include <optional>

namespace {

#ifdef _WIN32
const char *const LineEnd = "\r\n";
#else
const char *const LineEnd = "\n";
#endif

std::optional<QString> sectionName(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.startsWith(u'[') && trimmed.endsWith(u']'))
        return trimmed.mid(1, trimmed.size() - 2).trimmed();
    return std::nullopt;
}

struct Entry {
    QString key;
    QString value;
};

std::optional<Entry> entryOf(const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';'))
        return std::nullopt;
    const qsizetype eq = trimmed.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    QString value = trimmed.mid(eq + 1).trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return Entry{trimmed.left(eq).trimmed(), value};
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the key's line in the section, the section's header, and the section's last entry.
struct Location {
    qsizetype header = -1;
    qsizetype lastEntry = -1;
    qsizetype keyLine = -1;
    QString key; // as the file spells it
    QString value;
};

Location locate(const QStringList &lines, const QString &section, const QString &key)
{
    Location where;
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i])) {
            // A repeated section header continues the first one.
            inSection = sameName(*name, section);
            if (inSection && where.header < 0)
                where.header = where.lastEntry = i;
            continue;
        }
        if (!inSection)
            continue;
        if (const auto entry = entryOf(lines[i])) {
            where.lastEntry = i;
            if (where.keyLine < 0 && sameName(entry->key, key)) {
                where.keyLine = i;
                where.key = entry->key;
                where.value = entry->value;
            }
        }
    }
    return where;
}

} // namespace

TIniFile::TIniFile(QString fileName) : fFileName(std::move(fileName)) {}

QStringList TIniFile::readLines() const
{
    QFile file(fFileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromLocal8Bit(file.readAll());
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Location where = locate(readLines(), section, key);
    if (where.keyLine < 0)
        return defaultValue;
    return where.value.left(MaxValueLength);
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return locate(readLines(), section, key).keyLine >= 0;
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    QStringList lines = readLines();
    const Location where = locate(lines, section, key);
    const QString line = key + u'=' + value;
    if (where.keyLine >= 0) {
        lines[where.keyLine] = where.key + u'=' + value;
    } else if (where.header >= 0) {
        lines.insert(where.lastEntry + 1, line);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(QString());
        lines.append(u'[' + section + u']');
        lines.append(line);
    }

    QSaveFile file(fFileName);
    bool ok = file.open(QIODevice::WriteOnly);
    if (ok) {
        for (const QString &l : lines) {
            file.write(l.toLocal8Bit());
            file.write(LineEnd);
        }
        ok = file.commit();
    }
    if (!ok)
        throw EInOutError(QStringLiteral("Unable to write to %1").arg(fFileName).toStdString());
}
