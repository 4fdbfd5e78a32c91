#include "services/utils/UniCodeFile.h"

#include "services/utils/ZUtils.h"
#include "services/utils/file_commit.h"

#include <QFile>

namespace {

constexpr char16_t CR = 0x000D;
constexpr char16_t LF = 0x000A;
constexpr char16_t ByteOrderMark = 0xFEFF;

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()).toStdString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EInOutError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, file.errorString()).toStdString());
    return bytes;
}

void writeAll(const QString &fileName, const QByteArray &bytes)
{
    const QString error = file_commit::replace(fileName, bytes);
    if (!error.isEmpty())
        throw EInOutError(QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, error).toStdString());
}

} // namespace

QStringList TUnicodeFile::readUtf16Lines(const QByteArray &bytes)
{
    QStringList lines;
    QString line;
    bool sawCR = false;
    // A lone last byte of an odd-length file is no character and is ignored.
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t ch = char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8));
        if (ch == CR) {
            sawCR = true;
        } else if (ch == LF && sawCR) {
            lines.append(line);
            line.clear();
            sawCR = false;
        } else if (ch == ByteOrderMark && line.isEmpty()) {
            // dropped at the start of a line only
        } else {
            line.append(QChar(ch));
        }
    }
    lines.append(line);
    return lines;
}

QStringList TUnicodeFile::readUtf8Lines(const QByteArray &bytes)
{
    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        else if (end > start && bytes[end - 1] == '\r')
            --end;
        QByteArray raw = bytes.mid(start, end - start);
        if (start == 0 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        lines.append(ZString::ToUtf8(QString::fromLatin1(raw)));
        start = next;
    }
    return lines;
}

QByteArray TUnicodeFile::utf16Bytes(const QStringList &lines)
{
    QByteArray bytes("\xFF\xFE", 2);
    for (qsizetype n = 0; n < lines.size(); ++n) {
        for (const QChar ch : lines[n]) {
            bytes.append(char(ch.unicode() & 0xFF));
            bytes.append(char(ch.unicode() >> 8));
        }
        if (n + 1 < lines.size())
            bytes.append("\x0D\x00\x0A\x00", 4);
    }
    return bytes;
}

QByteArray TUnicodeFile::utf8Bytes(const QStringList &lines)
{
    QByteArray bytes;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        if (n == 0)
            bytes.append("\xEF\xBB\xBF");
        bytes.append(ZString::Utf8ToStr(lines[n]).toLatin1());
        bytes.append("\r\n");
    }
    return bytes;
}

std::optional<QStringList> TUnicodeFile::readLines(const QString &Filename, int codec)
{
    if (codec != UTF8 && codec != UTF16LE)
        return std::nullopt;
    const QByteArray bytes = readAll(Filename);
    return codec == UTF16LE ? readUtf16Lines(bytes) : readUtf8Lines(bytes);
}

QStringList TUnicodeFile::readLines(const QString &Filename)
{
    const QByteArray bytes = readAll(Filename);
    return bytes.startsWith("\xFF\xFE") ? readUtf16Lines(bytes) : readUtf8Lines(bytes);
}

void TUnicodeFile::writeLines(const QString &fileName, const QStringList &lines, int codec)
{
    if (codec == UTF16LE)
        writeAll(fileName, utf16Bytes(lines));
    else if (codec == UTF8)
        writeAll(fileName, utf8Bytes(lines));
}

void TUnicodeFile::writeLines(const QString &fileName, const QStringList &lines)
{
    writeLines(fileName, lines, UTF8);
}
