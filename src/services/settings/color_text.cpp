#include "services/settings/color_text.h"

#include "services/settings/settings_numbers.h"

namespace {

struct NamedColor {
    const char *name;
    uint32_t value;
};

const NamedColor NamedColors[] = {
    {"clBlack", 0x00000000},  {"clMaroon", 0x00000080},     {"clGreen", 0x00008000},   {"clOlive", 0x00008080},
    {"clNavy", 0x00800000},   {"clPurple", 0x00800080},     {"clTeal", 0x00808000},    {"clGray", 0x00808080},
    {"clSilver", 0x00C0C0C0}, {"clRed", 0x000000FF},        {"clLime", 0x0000FF00},    {"clYellow", 0x0000FFFF},
    {"clBlue", 0x00FF0000},   {"clFuchsia", 0x00FF00FF},    {"clAqua", 0x00FFFF00},    {"clWhite", 0x00FFFFFF},
    {"clMoneyGreen", 0x00C0DCC0}, {"clSkyBlue", 0x00F0CAA6}, {"clCream", 0x00F0FBFF},  {"clMedGray", 0x00A4A0A0},
};

} // namespace

QString ColorText::toText(uint32_t color)
{
    for (const auto &named : NamedColors)
        if (named.value == color)
            return QString::fromLatin1(named.name);
    return QStringLiteral("$") + QString::number(color, 16).toUpper().rightJustified(8, u'0');
}

bool ColorText::fromText(const QString &text, uint32_t &color)
{
    const QString trimmed = text.trimmed();
    for (const auto &named : NamedColors) {
        if (trimmed.compare(QLatin1String(named.name), Qt::CaseInsensitive) == 0) {
            color = named.value;
            return true;
        }
    }
    int64_t number = 0;
    if (!SettingsNumbers::parseInteger(trimmed, number) || number < INT32_MIN || number > UINT32_MAX)
        return false;
    color = uint32_t(number);
    return true;
}
