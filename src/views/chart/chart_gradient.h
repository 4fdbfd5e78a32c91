#pragma once
// The chart background's three-colour gradient: the ten direction codes of the settings file,
// the direction list of the settings panel and the picture itself. Stateless; any thread.
#include "views/instruments/tcolor.h"

#include <QImage>
#include <QSize>
#include <QStringList>

namespace chart_gradient {

enum Direction {
    TopBottom = 0,
    BottomTop = 1,
    LeftRight = 2,
    RightLeft = 3,
    FromCenter = 4,
    FromTopLeft = 5,
    FromBottomLeft = 6,
    Radial = 7,
    DiagonalUp = 8,
    DiagonalDown = 9,
};
constexpr int DirectionCount = 10;

// The panel's list entries, in alphabetical order of their labels.
QStringList entry_labels();
// Each entry stands for the direction its label names; -1 outside the list.
int code_of_entry(int entry);
// The entry for a code; an unknown code selects the entry of top to bottom.
int entry_of_code(int code);

struct Colors {
    TColor start = 0x808080;
    TColor middle = 0xC0C0C0;
    TColor end = 0xFFFFFF;
};
// Where a point lies between the start (0) and end (1) colour; x and y run 0 … 1 from the top left.
double position(int code, double x, double y);
// Start to middle over the first half, middle to end over the second.
QRgb color_at(const Colors &colors, double t);
QImage image(const QSize &size, const Colors &colors, int code);

} // namespace chart_gradient
