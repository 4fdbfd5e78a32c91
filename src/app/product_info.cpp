#include "app/product_info.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>

namespace product_info {

QString longTimeFormat(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue; // time-zone letters
        kept += c;
    }
    // "HH:mm:ss t" leaves a blank behind.
    while (kept.contains(QStringLiteral("  ")))
        kept.replace(QStringLiteral("  "), QStringLiteral(" "));
    return kept.trimmed();
}

QString buildStamp(const QString &fileName, const QLocale &locale)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    const QDateTime modified = info.lastModified();
    return locale.toString(modified.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(modified.time(), longTimeFormat(locale));
}

QString programBuildStamp() { return buildStamp(QCoreApplication::applicationFilePath()); }

} // namespace product_info
