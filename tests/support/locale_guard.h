// Sets the default locale for one test and restores the previous one afterwards.
#pragma once

#include <QLocale>

class LocaleGuard
{
public:
    explicit LocaleGuard(const QLocale &locale) : fPrevious(QLocale()) { QLocale::setDefault(locale); }
    ~LocaleGuard() { QLocale::setDefault(fPrevious); }
    LocaleGuard(const LocaleGuard &) = delete;
    LocaleGuard &operator=(const LocaleGuard &) = delete;

    static QLocale pointLocale() { return QLocale(QLocale::English, QLocale::UnitedStates); }
    static QLocale commaLocale() { return QLocale(QLocale::German, QLocale::Germany); }

private:
    QLocale fPrevious;
};
