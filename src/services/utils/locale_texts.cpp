#include "services/utils/locale_texts.h"

#include <QLocale>

namespace locale_texts {

QString clock(const QDateTime &moment)
{
    const QLocale locale;
    return locale.toString(moment.date(), QLocale::ShortFormat) + u' ' + moment.toString(QStringLiteral("hh:mm:ss"));
}

} // namespace locale_texts
