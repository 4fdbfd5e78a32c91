// Where a window with stored geometry opens: on a screen, never larger than the screens.
// Stateless; callable from any thread.
#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace form_bounds {

// Pixels of a window's top edge that must lie on a screen for the user to grab it.
constexpr int GripWidth = 100;
constexpr int GripHeight = 20;

// The outer rectangle for a window whose stored outer rectangle is `stored`: kept when its top
// edge lies on one of `screens` and it is no larger than they are; otherwise the window comes
// back at its designed size, centred on `home` (the main window's screen).
// Stored values may be anything a file holds, hence taken wide.
QRect placed(qint64 left, qint64 top, qint64 width, qint64 height, const QSize &designed,
             const QList<QRect> &screens, const QRect &home);

} // namespace form_bounds
