// One INI file with the private-profile rules: section and key names match without regard
// to case, the first occurrence wins, every write reaches the file at once and keeps the
// file's other lines in their order, values read are cut at 2047 characters.
// The file is read once, on first use, and kept in memory; lines this object does not write
// keep their bytes. Not thread-safe: use one instance from one thread.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <vector>

class TIniFile
{
public:
    static constexpr int MaxValueLength = 2047;

    explicit TIniFile(QString fileName);

    const QString &FileName() const { return fFileName; }

    // A missing file or key gives `defaultValue`.
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    bool ValueExists(const QString &section, const QString &key) const;
    bool SectionExists(const QString &section) const;

    // Creates the file, the section or the key as needed. The value is kept in memory even when
    // the file cannot be written; then throws EInOutError "Unable to write to <file>", and
    // LastError() tells why.
    void WriteString(const QString &section, const QString &key, const QString &value);
    const QString &LastError() const { return fLastError; }

private:
    struct Line {
        qsizetype start = 0;  // in fBytes
        qsizetype length = 0; // without the line end
    };
    struct Section {
        qsizetype header = -1;
        qsizetype lastEntry = -1;
    };

    void load() const;
    void index(qsizetype line) const;
    QString lineText(qsizetype line) const;
    qsizetype keyLine(const QString &section, const QString &key) const;
    // Rebuilds the bytes with `text` in place of line `replace` or inserted before line `insert`.
    void rebuild(qsizetype replace, qsizetype insert, const QByteArray &text);

    QString fFileName;
    QString fLastError;
    mutable bool fLoaded = false;
    mutable QByteArray fBytes;
    mutable std::vector<Line> fLines;
    mutable QHash<QString, qsizetype> fKeys;       // folded section, LF, folded key -> first line
    mutable QHash<QString, Section> fSections;     // folded section name
};
