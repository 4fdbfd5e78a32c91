// Fixed-point number texts of ZString.
#include "services/utils/ZUtils.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kMaxPrecision = 17;
constexpr int kMaxDigits = 18;

// Decimal digits of |value| as 0.d1d2d3... x 10^exponent (exponent = digits before the point).
struct DecimalDigits
{
    std::string digits;
    int exponent = 0;
};

DecimalDigits ExpandDecimal(double magnitude)
{
    DecimalDigits result;
    if (magnitude == 0.0)
        return result;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.16e", magnitude);
    const std::string text(buffer);
    const std::size_t ePos = text.find('e');
    result.digits = text.substr(0, 1) + text.substr(2, ePos - 2);
    result.exponent = std::atoi(text.c_str() + ePos + 1) + 1;
    return result;
}

// Keeps `keep` leading digits, rounding half away from zero on the next one.
void RoundToDigits(DecimalDigits &number, int keep)
{
    if (number.digits.empty())
        return;
    if (keep < 0) {
        number.digits.clear();
        return;
    }
    if (keep >= static_cast<int>(number.digits.size()))
        return;
    const bool roundUp = number.digits[static_cast<std::size_t>(keep)] >= '5';
    number.digits.resize(static_cast<std::size_t>(keep));
    if (!roundUp)
        return;
    int i = keep - 1;
    while (i >= 0 && number.digits[static_cast<std::size_t>(i)] == '9') {
        number.digits[static_cast<std::size_t>(i)] = '0';
        --i;
    }
    if (i >= 0) {
        ++number.digits[static_cast<std::size_t>(i)];
    } else {
        number.digits.insert(number.digits.begin(), '1');
        ++number.exponent;
    }
}

bool AllZero(const std::string &digits)
{
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0'; });
}

char DigitAt(const DecimalDigits &number, int index)
{
    if (index < 0 || index >= static_cast<int>(number.digits.size()))
        return '0';
    return number.digits[static_cast<std::size_t>(index)];
}

QString Scientific(const DecimalDigits &number, QChar separator)
{
    std::string mantissa = number.digits;
    while (mantissa.size() > 1 && mantissa.back() == '0')
        mantissa.pop_back();
    QString text = QString(QLatin1Char(mantissa[0]));
    if (mantissa.size() > 1) {
        text += separator;
        text += QString::fromLatin1(mantissa.c_str() + 1);
    }
    return text + QLatin1Char('E') + QString::number(number.exponent - 1);
}

} // namespace

QString ZString::FormatFixed(double value, int digits, int precision, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");

    precision = std::clamp(precision, 1, kMaxPrecision);
    digits = std::clamp(digits, 0, kMaxDigits);

    DecimalDigits number = ExpandDecimal(std::fabs(value));
    RoundToDigits(number, std::min(precision, number.exponent + digits));
    const bool zero = AllZero(number.digits);
    const QString sign = (value < 0 && !zero) ? QStringLiteral("-") : QString();

    if (!zero && number.exponent > precision)
        return sign + Scientific(number, decimalSeparator);

    QString text = sign;
    if (zero || number.exponent <= 0) {
        text += QLatin1Char('0');
    } else {
        for (int i = 0; i < number.exponent; ++i)
            text += QLatin1Char(DigitAt(number, i));
    }
    if (digits > 0) {
        text += decimalSeparator;
        for (int i = 0; i < digits; ++i)
            text += QLatin1Char(zero ? '0' : DigitAt(number, number.exponent + i));
    }
    return text;
}

QChar ZString::LocaleDecimalSeparator()
{
    const QString separator = QLocale().decimalPoint();
    return separator.isEmpty() ? QLatin1Char('.') : separator.at(0);
}

QString ZString::FormatFixed(double value, int digits, int precision)
{
    return FormatFixed(value, digits, precision, LocaleDecimalSeparator());
}
