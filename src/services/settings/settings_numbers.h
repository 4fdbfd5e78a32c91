// Number texts of the settings file.
#pragma once

#include <QString>
#include <cstdint>

namespace SettingsNumbers {

// Decimal (with sign), or hexadecimal after "0x" or "$".
bool parseInteger(const QString &text, int64_t &value);
// Shortest decimal form with up to 15 significant digits and the locale's separator.
QString realText(double value);
// The locale's separator only, no group separators; false for empty or unparsable text.
bool parseLocaleReal(const QString &text, double &value);

} // namespace SettingsNumbers
