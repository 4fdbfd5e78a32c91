#pragma once
// Colours as the settings and the widgets keep them: 32-bit $00BBGGRR, red in the low byte.
#include <QColor>
#include <QRgb>
#include <cstdint>

using TColor = std::uint32_t;

constexpr QRgb TColorToRgb(TColor colour)
{
    return qRgb(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

inline QColor TColorToQColor(TColor colour) { return QColor(TColorToRgb(colour)); }

constexpr TColor RgbToTColor(QRgb rgb)
{
    return static_cast<TColor>(qRed(rgb)) | (static_cast<TColor>(qGreen(rgb)) << 8) |
           (static_cast<TColor>(qBlue(rgb)) << 16);
}
