#pragma once
// Exact box-filter reduction of a supersampled picture.
#include <QImage>
#include <QRect>

// The pixel format of supersampled surfaces: one 32-bit word per pixel, 0xffRRGGBB.
constexpr QImage::Format kSupersampleFormat = QImage::Format_RGB32;

// For every pixel (x, y) of `target` inside `area` (target coordinates), each colour channel
// becomes the sum of that channel over the k x k pixels (k*x … k*x+k-1, k*y … k*y+k-1) of
// `source`, divided by k*k with the remainder dropped. Both images must be kSupersampleFormat,
// `source` at least k times `target`'s size; k is 1 … 16. Returns false and leaves `target`
// untouched otherwise.
bool Downsample(const QImage &source, QImage &target, int k, const QRect &area);
bool Downsample(const QImage &source, QImage &target, int k);
