#include "views/instruments/font_size.h"

#include <algorithm>
#include <cmath>

int PointsToPixels(int points)
{
    // Half away from zero, as the platform's MulDiv rounds.
    return static_cast<int>(std::lround(std::clamp(points, -100000, 100000) * 96.0 / 72.0));
}

int FontPixelHeight(const QFont &font)
{
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
}

QFont WithPixelHeight(QFont font, int pixels)
{
    font.setPixelSize(std::clamp(pixels, 1, 4096));
    return font;
}
