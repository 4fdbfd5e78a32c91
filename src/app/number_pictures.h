// The pictures of the re-addressing group's `numbers` list: how many address changes are left.
#pragma once

#include <QColor>
#include <QImage>

namespace number_pictures {

constexpr int Count = 5;
constexpr int Size = 24;
constexpr int Unknown = 4; // no transmitter, or not calibrated

struct Look {
    QColor field;
    QColor glyph;
    char text;
};
// 0 … 3: "3", "2", "1", "0" changes left; 4: "?".
Look look(int index);
QImage picture(int index);

} // namespace number_pictures
