#pragma once
// Straightforward per-pixel box filter, to check the fast one against.
#include <QImage>

inline QImage ReferenceDownsample(const QImage &source, QSize targetSize, int k)
{
    QImage target(targetSize, QImage::Format_RGB32);
    for (int y = 0; y < targetSize.height(); ++y) {
        for (int x = 0; x < targetSize.width(); ++x) {
            int red = 0;
            int green = 0;
            int blue = 0;
            for (int dy = 0; dy < k; ++dy) {
                for (int dx = 0; dx < k; ++dx) {
                    const QRgb pixel = source.pixel(k * x + dx, k * y + dy);
                    red += qRed(pixel);
                    green += qGreen(pixel);
                    blue += qBlue(pixel);
                }
            }
            target.setPixel(x, y, qRgb(red / (k * k), green / (k * k), blue / (k * k)));
        }
    }
    return target;
}
