#include "services/utils/ini_file.h"

#include "services/utils/ZUtils.h"
#include "services/utils/file_commit.h"

#include <QFile>
#include <QList>
#include <optional>

namespace {

#ifdef _WIN32
const QByteArray LineEnd = QByteArrayLiteral("\r\n");
#else
const QByteArray LineEnd = QByteArrayLiteral("\n");
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

QString folded(const QString &name)
{
    return name.toCaseFolded();
}

QString keyId(const QString &foldedSection, const QString &key)
{
    return foldedSection + u'\n' + folded(key);
}

} // namespace

TIniFile::TIniFile(QString fileName) : fFileName(std::move(fileName)) {}

void TIniFile::load() const
{
    if (fLoaded)
        return;
    fLoaded = true;
    QFile file(fFileName);
    if (file.open(QIODevice::ReadOnly))
        fBytes = file.readAll();
    // Lines end at LF; a CR before it belongs to the line end.
    for (qsizetype start = 0; start < fBytes.size();) {
        qsizetype end = fBytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? fBytes.size() : end + 1;
        if (end < 0)
            end = fBytes.size();
        else if (end > start && fBytes[end - 1] == '\r')
            --end;
        fLines.push_back({start, end - start});
        start = next;
    }
    QString current;
    bool inSection = false;
    for (qsizetype i = 0; i < qsizetype(fLines.size()); ++i) {
        const QString text = lineText(i);
        if (const auto name = sectionName(text)) {
            // A repeated section header continues the first one.
            current = folded(*name);
            inSection = true;
            Section &s = fSections[current];
            if (s.header < 0)
                s.header = s.lastEntry = i;
            continue;
        }
        if (!inSection)
            continue;
        if (const auto entry = entryOf(text)) {
            fSections[current].lastEntry = i;
            // The first occurrence wins.
            const QString id = keyId(current, entry->key);
            if (!fKeys.contains(id))
                fKeys.insert(id, i);
        }
    }
}

QString TIniFile::lineText(qsizetype line) const
{
    const Line &l = fLines[size_t(line)];
    return QString::fromLocal8Bit(fBytes.constData() + l.start, l.length);
}

qsizetype TIniFile::keyLine(const QString &section, const QString &key) const
{
    load();
    return fKeys.value(keyId(folded(section), key), -1);
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const qsizetype line = keyLine(section, key);
    if (line < 0)
        return defaultValue;
    return entryOf(lineText(line))->value.left(MaxValueLength);
}

bool TIniFile::ValueExists(const QString &section, const QString &key) const
{
    return keyLine(section, key) >= 0;
}

bool TIniFile::SectionExists(const QString &section) const
{
    load();
    return fSections.contains(folded(section));
}

void TIniFile::rebuild(qsizetype replace, qsizetype insert, const QByteArray &text)
{
    // Every line is written with this platform's line end; only the line written is re-encoded.
    const QList<QByteArray> added = text.split('\n');
    QByteArray bytes;
    bytes.reserve(fBytes.size() + text.size() + LineEnd.size() * (fLines.size() + added.size()));
    std::vector<Line> lines;
    lines.reserve(fLines.size() + size_t(added.size()));
    const auto put = [&](const char *data, qsizetype length) {
        lines.push_back({bytes.size(), length});
        bytes.append(data, length);
        bytes.append(LineEnd);
    };
    const auto putAdded = [&] {
        for (const QByteArray &a : added)
            put(a.constData(), a.size());
    };
    for (qsizetype i = 0; i < qsizetype(fLines.size()); ++i) {
        if (i == insert)
            putAdded();
        if (i == replace)
            put(text.constData(), text.size());
        else
            put(fBytes.constData() + fLines[size_t(i)].start, fLines[size_t(i)].length);
    }
    if (insert == qsizetype(fLines.size()))
        putAdded();
    if (insert >= 0) {
        const qsizetype shift = added.size();
        for (qsizetype &line : fKeys)
            if (line >= insert)
                line += shift;
        for (Section &s : fSections) {
            if (s.header >= insert)
                s.header += shift;
            if (s.lastEntry >= insert)
                s.lastEntry += shift;
        }
    }
    fBytes = std::move(bytes);
    fLines = std::move(lines);
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &rawValue)
{
    load();
    // A line break in a value would start lines of its own, even a section.
    QString value = rawValue;
    value.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString sectionId = folded(section);
    const qsizetype line = fKeys.value(keyId(sectionId, key), -1);
    if (line >= 0) {
        const auto entry = entryOf(lineText(line));
        rebuild(line, -1, (entry->key + u'=' + value).toLocal8Bit());
    } else if (fSections.contains(sectionId)) {
        const qsizetype at = fSections[sectionId].lastEntry + 1;
        rebuild(-1, at, (key + u'=' + value).toLocal8Bit());
        fKeys.insert(keyId(sectionId, key), at);
        fSections[sectionId].lastEntry = at;
    } else {
        QByteArray added;
        if (!fLines.empty() && !lineText(qsizetype(fLines.size()) - 1).trimmed().isEmpty())
            added.append('\n');
        added.append((u'[' + section + u']').toLocal8Bit());
        added.append('\n');
        added.append((key + u'=' + value).toLocal8Bit());
        rebuild(-1, qsizetype(fLines.size()), added);
        const qsizetype at = qsizetype(fLines.size()) - 1;
        fSections.insert(sectionId, {at - 1, at});
        fKeys.insert(keyId(sectionId, key), at);
    }

    fLastError = file_commit::replace(fFileName, fBytes);
    if (!fLastError.isEmpty())
        throw EInOutError(QStringLiteral("Unable to write to %1").arg(fFileName).toStdString());
}
