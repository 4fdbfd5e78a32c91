// One INI file with the private-profile rules: section and key names match without regard
// to case, the first occurrence wins, every write reaches the file at once and keeps the
// file's other lines in their order, values read are cut at 2047 characters.
// Not thread-safe: use one instance from one thread.
#pragma once

#include <QString>
#include <QStringList>

class TIniFile
{
public:
    static constexpr int MaxValueLength = 2047;

    explicit TIniFile(QString fileName);

    const QString &FileName() const { return fFileName; }

    // Reads the file afresh on every call; a missing file or key gives `defaultValue`.
    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    bool ValueExists(const QString &section, const QString &key) const;

    // Creates the file, the section or the key as needed.
    // Throws EInOutError "Unable to write to <file>" when the file cannot be written.
    void WriteString(const QString &section, const QString &key, const QString &value);

private:
    QStringList readLines() const;
    QString fFileName;
};
