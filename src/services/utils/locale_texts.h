// Date and time texts in the user's locale formats.
#pragma once

#include <QDateTime>
#include <QString>

namespace locale_texts {

// Short date, a blank and "hh:mm:ss", as the status-bar clock.
QString clock(const QDateTime &moment);

} // namespace locale_texts
