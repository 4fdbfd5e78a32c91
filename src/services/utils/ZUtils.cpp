#include "services/utils/ZUtils.h"

#include <QLocale>
#include <algorithm>

bool ZByte::readBit(uint8_t b, int pos)
{
    if (pos < 0 || pos > 7)
        return false;
    return (b >> pos) & 1u;
}

uint8_t ZByte::writeBit(uint8_t b, int pos, bool bit)
{
    if (pos < 0 || pos > 7)
        return b;
    const uint8_t mask = uint8_t(1u << pos);
    return bit ? uint8_t(b | mask) : uint8_t(b & ~mask);
}

uint16_t ZWord::writeBit(uint16_t b, int pos, bool bit)
{
    if (pos < 0 || pos > 15)
        return b;
    const uint16_t mask = uint16_t(1u << pos);
    return bit ? uint16_t(b | mask) : uint16_t(b & ~mask);
}

bool ZString::TryToFloat(const QString &str, double &value)
{
    const QLocale locale = QLocale();
    const QString separator = locale.decimalPoint();
    QString normalized;
    normalized.reserve(str.size());
    for (const QChar ch : str) {
        if (ch.isDigit() || ch == u'+' || ch == u'-')
            normalized.append(ch);
        else
            normalized.append(separator);
    }
    bool ok = false;
    const double result = locale.toDouble(normalized, &ok);
    if (ok)
        value = result;
    return ok;
}

double ZString::ToFloat(const QString &str)
{
    double value = 0;
    if (!TryToFloat(str, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(str).toStdString());
    return value;
}

QString ZString::ToUtf8(const QString &str)
{
    QString result;
    result.reserve(str.size());
    const qsizetype n = str.size();
    auto byteAt = [&](qsizetype i) { return uint32_t(str.at(i).unicode()); };
    auto continuation = [&](qsizetype i) { return byteAt(i) & 0x3Fu; };

    qsizetype i = 0;
    while (i < n) {
        const uint32_t c0 = byteAt(i);
        qsizetype length = 0;
        if (c0 < 0x80 || c0 > 0xFF) {
            result.append(QChar(char16_t(c0)));
            ++i;
            continue;
        }
        if (c0 >= 0xC0 && c0 <= 0xDF)
            length = 2;
        else if (c0 >= 0xE0 && c0 <= 0xEF)
            length = 3;
        else if (c0 >= 0xF0 && c0 <= 0xF7)
            length = 4;
        else if (c0 >= 0xF8 && c0 <= 0xFB)
            length = 5;
        else if (c0 >= 0xFC && c0 <= 0xFD)
            length = 6;
        else {
            ++i; // stray continuation byte, 0xFE or 0xFF
            continue;
        }
        bool wellFormed = true;
        for (qsizetype k = 1; k < length && i + k < n; ++k)
            wellFormed = wellFormed && (byteAt(i + k) & 0xC0u) == 0x80u;
        if (wellFormed && i + length > n) {
            result.append(QChar::ReplacementCharacter); // cut-off sequence at the end
            break;
        }
        if (!wellFormed) {
            // Not a sequence: the lead byte alone is replaced, the next byte read afresh.
            result.append(QChar::ReplacementCharacter);
            ++i;
            continue;
        }
        uint32_t code = 0xFFFD;
        if (length == 2)
            code = ((c0 - 0xC0) << 6) | continuation(i + 1);
        else if (length == 3)
            code = ((c0 - 0xE0) << 12) | (continuation(i + 1) << 6) | continuation(i + 2);
        // Overlong forms (a line feed hidden as C0 8A) and surrogate halves are no characters;
        // longer sequences go beyond what one 16-bit character holds.
        const bool overlong = (length == 2 && code < 0x80) || (length == 3 && code < 0x800);
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        result.append(length > 3 || overlong || surrogate ? QChar::ReplacementCharacter : QChar(char16_t(code)));
        i += length;
    }
    return result;
}

QString ZString::Utf8ToStr(const QString &wstr)
{
    QString result;
    result.reserve(wstr.size() * 3);
    for (const QChar qc : wstr) {
        const char16_t ch = qc.unicode();
        if (ch < 0x80) {
            result.append(QChar(ch));
        } else if (ch < 0x800) {
            result.append(QChar(char16_t(0xC0 | (ch >> 6))));
            result.append(QChar(char16_t(0x80 | (ch & 0x3F))));
        } else {
            result.append(QChar(char16_t(0xE0 | (ch >> 12))));
            result.append(QChar(char16_t(0x80 | ((ch >> 6) & 0x3F))));
            result.append(QChar(char16_t(0x80 | (ch & 0x3F))));
        }
    }
    return result;
}
