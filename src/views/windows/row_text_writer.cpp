#include "views/windows/row_text_writer.h"

#include "services/utils/ZUtils.h"

#include <QDateTime>
#include <QString>
#include <charconv>
#include <cmath>
#include <cstdlib>

namespace {

constexpr std::int64_t MillisecondsPerDay = 86400000;
// Time zones change their offset only at quarter hours.
constexpr std::int64_t OffsetBucket = 15 * 60 * 1000;
constexpr int Precision = 12;

std::int64_t floor_div(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

void append_number(QByteArray &out, long long value)
{
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    out.append(buffer, int(end - buffer));
}

void append_two(char *&p, int v)
{
    *p++ = char('0' + v / 10);
    *p++ = char('0' + v % 10);
}

} // namespace

TRowTextWriter::TRowTextWriter(QChar decimal_separator)
    : fSeparator(decimal_separator), fSeparatorBytes(QString(decimal_separator).toLocal8Bit())
{
}

std::int64_t TRowTextWriter::local_msecs(std::int64_t msecs)
{
    const std::int64_t bucket = floor_div(msecs, OffsetBucket);
    if (bucket != fOffsetBucket) {
        fOffsetBucket = bucket;
        fOffset = std::int64_t(QDateTime::fromMSecsSinceEpoch(bucket * OffsetBucket).offsetFromUtc()) * 1000;
    }
    return msecs + fOffset;
}

void TRowTextWriter::append_clock(QByteArray &out, std::int64_t ms)
{
    char buffer[12];
    char *p = buffer;
    append_two(p, int(ms / 3600000));
    *p++ = ':';
    append_two(p, int(ms / 60000 % 60));
    *p++ = ':';
    append_two(p, int(ms / 1000 % 60));
    *p++ = '.';
    const int z = int(ms % 1000);
    *p++ = char('0' + z / 100);
    append_two(p, z % 100);
    out.append(buffer, int(p - buffer));
}

// The digits and rounding of the utility library's fixed-point text: 17 significant digits
// first, then rounded half away from zero to `digits` decimals and 12 significant digits.
void TRowTextWriter::append_fixed(QByteArray &out, double value, int digits)
{
    digits = std::clamp(digits, 0, 18);
    char sci[40];
    const auto res = std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, 16);
    if (!std::isfinite(value) || res.ec != std::errc()) {
        out.append(ZString::FormatFixed(value, digits, Precision, fSeparator).toLocal8Bit());
        return;
    }
    char mantissa[20];
    int count = 0;
    mantissa[count++] = sci[0];
    for (int i = 2; i < 18; ++i)
        mantissa[count++] = sci[i];
    int exponent = std::atoi(sci + 19) + 1;
    if (value == 0.0) {
        count = 0;
        exponent = 0;
    }
    int keep = std::min(Precision, exponent + digits);
    if (keep < 0) {
        count = 0;
    } else if (keep < count) {
        const bool up = mantissa[keep] >= '5';
        count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && mantissa[i] == '9')
                mantissa[i--] = '0';
            if (i >= 0) {
                ++mantissa[i];
            } else {
                for (int j = count; j > 0; --j)
                    mantissa[j] = mantissa[j - 1];
                mantissa[0] = '1';
                ++count;
                ++exponent;
            }
        }
    }
    bool zero = true;
    for (int i = 0; i < count; ++i)
        zero = zero && mantissa[i] == '0';
    if (!zero && exponent > Precision) {
        out.append(ZString::FormatFixed(value, digits, Precision, fSeparator).toLocal8Bit());
        return;
    }
    const auto digit = [&](int i) { return i >= 0 && i < count ? mantissa[i] : '0'; };
    if (value < 0 && !zero)
        out.append('-');
    if (zero || exponent <= 0) {
        out.append('0');
    } else {
        for (int i = 0; i < exponent; ++i)
            out.append(digit(i));
    }
    if (digits > 0) {
        out.append(fSeparatorBytes);
        for (int i = 0; i < digits; ++i)
            out.append(zero ? '0' : digit(exponent + i));
    }
}

void TRowTextWriter::append(QByteArray &out, const Row &row)
{
    const std::int64_t local = local_msecs(row.msecs);
    const std::int64_t day = floor_div(local, MillisecondsPerDay);
    if (day != fDay) {
        fDay = day;
        fDateText = QDate(1970, 1, 1).addDays(day).toString(QStringLiteral("dd.MM.yyyy")).toLocal8Bit();
    }
    out.append(fDateText);
    out.append('\t');
    if (row.relative)
        append_clock(out, std::llabs(row.msecs - row.start_msecs) % MillisecondsPerDay);
    else
        append_clock(out, local - day * MillisecondsPerDay);
    out.append('\t');
    append_number(out, row.pu16);
    out.append('\t');
    append_fixed(out, row.pbar, row.pressure_digits);
    out.append('\t');
    append_number(out, row.tu16);
    out.append('\t');
    append_fixed(out, row.tcels, row.temperature_digits);
    out.append("\r\n", 2);
}
