#pragma once
// Pixel heights of fonts, counted at 96 dots per inch so that pictures do not depend on the screen.
#include <QFont>

// Character height in pixels of a font of the given point size (8 pt -> 11 px).
int PointsToPixels(int points);

// Character height in pixels of a font, whether it was given in pixels or in points.
int FontPixelHeight(const QFont &font);

// The font with the given character height in pixels; heights are kept within 1 … 4096.
QFont WithPixelHeight(QFont font, int pixels);
