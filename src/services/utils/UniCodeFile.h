// Reading and writing a text file as a list of lines, in UTF-16LE or UTF-8.
// Stateless; each call opens, uses and closes its own file.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

enum TCodec { UTF8 = 0, UTF16LE = 1 };

class TUnicodeFile
{
public:
    // The lines decoded as `codec`; no list for an unknown codec value.
    // Throws EInOutError when the file cannot be read.
    static std::optional<QStringList> readLines(const QString &Filename, int codec);
    // UTF-16 when the file starts with FF FE, UTF-8 otherwise.
    static QStringList readLines(const QString &Filename);

    // Creates or replaces the file; does nothing for an unknown codec value.
    // Throws EInOutError when the file cannot be written.
    static void writeLines(const QString &fileName, const QStringList &lines, int codec);
    static void writeLines(const QString &fileName, const QStringList &lines);

private:
    static QStringList readUtf16Lines(const QByteArray &bytes);
    static QStringList readUtf8Lines(const QByteArray &bytes);
    static QByteArray utf16Bytes(const QStringList &lines);
    static QByteArray utf8Bytes(const QStringList &lines);
};
