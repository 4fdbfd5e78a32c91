#include "services/settings/settings_numbers.h"

#include <QLocale>

bool SettingsNumbers::parseInteger(const QString &text, int64_t &value)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(u'$'))
        value = t.mid(1).toLongLong(&ok, 16);
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = t.mid(2).toLongLong(&ok, 16);
    else
        value = t.toLongLong(&ok, 10);
    return ok;
}

QString SettingsNumbers::realText(double value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(value, 'g', 15);
}

bool SettingsNumbers::parseLocaleReal(const QString &text, double &value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double parsed = locale.toDouble(text.trimmed(), &ok);
    if (ok)
        value = parsed;
    return ok;
}
