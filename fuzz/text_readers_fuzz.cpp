// The UTF-8 and UTF-16 readers on any bytes: a UTF-8 line never holds a line end or a surrogate
// half, the decoder makes no plain character that was not in the bytes, and UTF-16 lines read
// back as written.
#include "services/utils/UniCodeFile.h"
#include "services/utils/ZUtils.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString decoded = ZString::ToUtf8(QString::fromLatin1(bytes));
    for (int ascii = 0; ascii < 0x80; ++ascii)
        FUZZ_CHECK(decoded.count(QChar(char16_t(ascii))) <= bytes.count(char(ascii)));
    for (const QChar ch : decoded)
        FUZZ_CHECK(!ch.isSurrogate());

    const QString path = fuzz_file("lines.txt", data, size);
    const QStringList utf8 = TUnicodeFile::readLines(path, UTF8).value();
    for (const QString &line : utf8)
        FUZZ_CHECK(!line.contains(u'\n'));

    const QStringList utf16 = TUnicodeFile::readLines(path, UTF16LE).value();
    for (const QString &line : utf16)
        FUZZ_CHECK(!line.contains(u'\r') && !line.startsWith(QChar(0xFEFF)));
    TUnicodeFile::writeLines(path, utf16, UTF16LE);
    FUZZ_CHECK(TUnicodeFile::readLines(path, UTF16LE).value() == utf16);
    TUnicodeFile::readLines(path);
    return 0;
}
