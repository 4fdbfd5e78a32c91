#include "views/chart/chart_gradient.h"

#include <algorithm>
#include <cmath>

namespace chart_gradient {

namespace {

struct Entry {
    const char *label;
    Direction code;
};
constexpr Entry Entries[DirectionCount] = {
    {"Bottom Top", BottomTop},     {"Diagonal Down", DiagonalDown}, {"Diagonal Up", DiagonalUp},
    {"From Bottom Left", FromBottomLeft}, {"From Center", FromCenter},   {"From Top Left", FromTopLeft},
    {"Left Right", LeftRight},     {"Radial", Radial},               {"Right Left", RightLeft},
    {"Top Bottom", TopBottom},
};

int mix(int a, int b, double t)
{
    return int(std::lround(a + (b - a) * t));
}

QRgb blend(TColor from, TColor to, double t)
{
    const QRgb a = TColorToRgb(from), b = TColorToRgb(to);
    return qRgb(mix(qRed(a), qRed(b), t), mix(qGreen(a), qGreen(b), t), mix(qBlue(a), qBlue(b), t));
}

} // namespace

QStringList entry_labels()
{
    QStringList labels;
    for (const Entry &entry : Entries)
        labels.append(QString::fromLatin1(entry.label));
    return labels;
}

int code_of_entry(int entry)
{
    return entry >= 0 && entry < DirectionCount ? int(Entries[entry].code) : -1;
}

int entry_of_code(int code)
{
    for (int entry = 0; entry < DirectionCount; ++entry) {
        if (Entries[entry].code == code)
            return entry;
    }
    return entry_of_code(TopBottom);
}

double position(int code, double x, double y)
{
    constexpr double Sqrt2 = 1.4142135623730951;
    double t = y;
    switch (code) {
    case BottomTop: t = 1.0 - y; break;
    case LeftRight: t = x; break;
    case RightLeft: t = 1.0 - x; break;
    case FromCenter: t = std::max(std::fabs(2 * x - 1), std::fabs(2 * y - 1)); break;
    case FromTopLeft: t = std::hypot(x, y) / Sqrt2; break;
    case FromBottomLeft: t = std::hypot(x, 1.0 - y) / Sqrt2; break;
    case Radial: t = std::hypot(2 * x - 1, 2 * y - 1) / Sqrt2; break;
    case DiagonalUp: t = (x + 1.0 - y) / 2; break;
    case DiagonalDown: t = (x + y) / 2; break;
    default: break;
    }
    return std::clamp(t, 0.0, 1.0);
}

QRgb color_at(const Colors &colors, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t <= 0.5 ? blend(colors.start, colors.middle, t * 2) : blend(colors.middle, colors.end, t * 2 - 1);
}

QImage image(const QSize &size, const Colors &colors, int code)
{
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    const double w = std::max(size.width() - 1, 1), h = std::max(size.height() - 1, 1);
    for (int row = 0; row < size.height(); ++row) {
        auto *line = reinterpret_cast<QRgb *>(picture.scanLine(row));
        for (int column = 0; column < size.width(); ++column)
            line[column] = color_at(colors, position(code, column / w, row / h));
    }
    return picture;
}

} // namespace chart_gradient
