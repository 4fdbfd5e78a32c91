// The product's version and build texts shown by the splash window and the about box.
// Widget-free; pure functions.
#pragma once

#include <QLocale>
#include <QString>

namespace product_info {

inline const QString Version = QStringLiteral("1.3");

// The locale's long time format without its time-zone part (clock time as the user reads it).
QString longTimeFormat(const QLocale &locale);
// The file's modification date and time: the locale's short date, a blank, the long time.
// Empty when the file does not exist.
QString buildStamp(const QString &fileName, const QLocale &locale = QLocale());
// The same for the running program file.
QString programBuildStamp();

} // namespace product_info
