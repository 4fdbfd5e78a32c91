// Cuts a strip of square icons side by side into single images. Widget-free; a pure function.
#pragma once

#include <QImage>
#include <QList>

// Images of `size` x `size` from left to right; a last, narrower rest is dropped. A strip
// without alpha channel is keyed on each cell's bottom-left pixel, which becomes transparent.
QList<QImage> cutIconStrip(const QImage &strip, int size);
