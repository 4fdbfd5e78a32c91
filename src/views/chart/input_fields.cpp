#include "views/chart/input_fields.h"

#include "services/utils/ZUtils.h"

#include <QLocale>
#include <cmath>

namespace input_fields {

bool filter_numeric_key(QChar typed, const QString &text, QChar decimal_separator)
{
    if (typed.unicode() > 255)
        return true;
    if (typed == decimal_separator)
        return text.contains(decimal_separator);
    if (typed == u'-')
        return text.contains(u'-');
    return !(typed == u'\b' || (typed >= u'0' && typed <= u'9'));
}

bool read_limit(const QString &text, double &value)
{
    double read = 0.0;
    if (!ZString::TryToFloat(text, read) || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

bool read_increment(const QString &text, double &value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double read = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(read))
        return false;
    value = read;
    return true;
}

} // namespace input_fields
