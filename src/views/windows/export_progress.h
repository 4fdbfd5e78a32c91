#pragma once
// The progress of a long table export: a dialog with a Cancel button that shows only once the
// table is large, so that small exports go by without it. User-interface thread only.
#include <QtGlobal>
#include <functional>

class QWidget;

namespace export_progress {

// Rows from which the dialog shows.
constexpr qint64 LargeTable = 100000;

// Called before each chunk and at the end (done == total); false once the user cancelled.
std::function<bool(qint64 done, qint64 total)> dialog(QWidget *parent);

} // namespace export_progress
