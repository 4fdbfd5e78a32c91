// The version and build texts, without any window.
#include "app/product_info.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

class BuildStamp : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fDir.isValid());
        fFile = fDir.filePath(QStringLiteral("program"));
        QFile file(fFile);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.setFileTime(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)), QFileDevice::FileModificationTime));
    }
    QTemporaryDir fDir;
    QString fFile;
};

TEST_F(BuildStamp, ShortDateAndLongTimeOfTheLocaleWithoutTimeZone)
{
    const struct {
        const char *locale;
        const char *stamp;
    } cases[] = {
        {"de_DE", "05.03.24 14:07:09"},
        {"en_US", "3/5/24 2:07:09 PM"},
        {"en_GB", "05/03/2024 14:07:09"},
    };
    for (const auto &c : cases) {
        const QString stamp = product_info::buildStamp(fFile, QLocale(QString::fromLatin1(c.locale)));
        EXPECT_EQ(stamp, QString::fromUtf8(c.stamp)) << c.locale;
    }
}

TEST_F(BuildStamp, MissingFileGivesNoStamp)
{
    EXPECT_TRUE(product_info::buildStamp(fDir.filePath(QStringLiteral("absent")), QLocale::c()).isEmpty());
}

TEST(ProductInfo, LongTimeFormatLosesOnlyTheTimeZone)
{
    EXPECT_EQ(product_info::Version, QStringLiteral("1.3"));
    const struct {
        const char *locale;
        const char *format;
    } cases[] = {{"de_DE", "HH:mm:ss"}, {"en_US", "h:mm:ss AP"}, {"C", "HH:mm:ss"}};
    for (const auto &c : cases)
        EXPECT_EQ(product_info::longTimeFormat(QLocale(QString::fromLatin1(c.locale))), QString::fromUtf8(c.format))
            << c.locale;
}

} // namespace
