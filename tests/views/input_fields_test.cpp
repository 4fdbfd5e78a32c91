// The number-entry key filter and number reading of the chart settings panel.
#include "views/chart/input_fields.h"
#include "locale_guard.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

TEST(InputFields, KeyFilter)
{
    const struct {
        QChar typed;
        const char *text;
        QChar separator;
        bool swallowed;
    } cases[] = {{u'.', "1.5", u'.', true},    {u'-', "1.5", u'.', false},  {u'a', "1.5", u'.', true},
                 {u'7', "1.5", u'.', false},   {u'\b', "1.5", u'.', false}, {u'-', "-1.5", u'.', true},
                 {u'-', "1-", u'.', true},     {u'.', "15", u'.', false},   {u',', "15", u'.', true},
                 {u',', "15", u',', false},    {u',', "1,5", u',', true},   {u'.', "1,5", u',', true},
                 {u'+', "", u'.', true},       {u' ', "", u'.', true},      {QChar(0x00B2), "", u'.', true},
                 {QChar(0x0663), "", u'.', true}, {QChar(0x2212), "", u'.', true}, {QChar(13), "1", u'.', true}};
    for (const auto &c : cases)
        EXPECT_EQ(input_fields::filter_numeric_key(c.typed, QString::fromLatin1(c.text), c.separator), c.swallowed)
            << "typed U+" << std::hex << c.typed.unicode() << " into \"" << c.text << "\"";
}

TEST(InputFields, LimitsReadLenientlyIncrementsStrictly)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    double value = -7.0;
    EXPECT_TRUE(input_fields::read_limit(QStringLiteral("2,5"), value));
    EXPECT_DOUBLE_EQ(value, 2.5);
    EXPECT_TRUE(input_fields::read_limit(QStringLiteral("-0.75"), value));
    EXPECT_DOUBLE_EQ(value, -0.75);
    value = 4.0;
    for (const char *bad : {"-", "", "1.2.3"}) {
        EXPECT_FALSE(input_fields::read_limit(QString::fromLatin1(bad), value)) << bad;
        EXPECT_DOUBLE_EQ(value, 4.0) << "unchanged";
    }
    EXPECT_TRUE(input_fields::read_increment(QStringLiteral("0.002"), value));
    EXPECT_DOUBLE_EQ(value, 0.002);
    EXPECT_TRUE(input_fields::read_increment(QStringLiteral("0"), value));
    EXPECT_DOUBLE_EQ(value, 0.0);
    for (const char *bad : {"0,002", "-", "", "1,000.5"})
        EXPECT_FALSE(input_fields::read_increment(QString::fromLatin1(bad), value)) << bad;
    LocaleGuard comma(LocaleGuard::commaLocale());
    EXPECT_TRUE(input_fields::read_increment(QStringLiteral("0,002"), value));
    EXPECT_DOUBLE_EQ(value, 0.002);
}
