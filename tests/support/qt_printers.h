// Readable gtest failure messages for Qt values.
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", \"" : "\"") << list[i].toStdString() << '"';
    *os << ']';
}
inline void PrintTo(const QSize &size, std::ostream *os)
{
    *os << size.width() << " x " << size.height();
}
QT_END_NAMESPACE
