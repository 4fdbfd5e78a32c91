#pragma once
// The three 16 × 16 pictures of the axis-mode icon: 0 a grey open padlock with a yellow spark
// (automatic), 1 a grey open padlock (manual), 2 a red closed padlock (locked). Any thread.
#include <QImage>

namespace lock_pictures {

constexpr int Size = 16;
constexpr int Count = 3;
// A transparent picture for a mode outside 0 … 2.
QImage picture(int mode);

} // namespace lock_pictures
