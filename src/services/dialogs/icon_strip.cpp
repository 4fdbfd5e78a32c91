#include "services/dialogs/icon_strip.h"

namespace {

// Bitmaps without alpha mark their background with the colour of the bottom-left pixel.
QImage keyedOnCorner(const QImage &cell)
{
    QImage keyed = cell.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = keyed.pixel(0, keyed.height() - 1) | 0xFF000000u;
    for (int y = 0; y < keyed.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x)
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
    }
    return keyed;
}

} // namespace

QList<QImage> cutIconStrip(const QImage &strip, int size)
{
    QList<QImage> icons;
    if (strip.isNull() || size <= 0 || strip.height() < size)
        return icons;
    const bool hasAlpha = strip.hasAlphaChannel();
    for (int left = 0; left + size <= strip.width(); left += size) {
        const QImage cell = strip.copy(left, 0, size, size);
        icons.append(hasAlpha ? cell.convertToFormat(QImage::Format_ARGB32) : keyedOnCorner(cell));
    }
    return icons;
}
