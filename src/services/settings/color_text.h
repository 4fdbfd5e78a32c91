// Colour texts of the settings file: a standard colour name such as "clSilver", or "$" and
// eight hexadecimal digits 00BBGGRR.
#pragma once

#include <QString>
#include <cstdint>

namespace ColorText {

// The name when the colour has one, else "$" + eight upper-case hexadecimal digits.
QString toText(uint32_t color);
// A name, or a number in decimal, "$" or "0x" hexadecimal; false when it is neither.
bool fromText(const QString &text, uint32_t &color);

} // namespace ColorText
