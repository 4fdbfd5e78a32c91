#include "services/utils/ini_file.h"
#include "services/utils/ZUtils.h"
#include "qt_printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class IniFile : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(fDir.isValid()); }
    QString path() const { return fDir.filePath(QStringLiteral("settings.ini")); }
    QByteArray content() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void setContent(const QByteArray &bytes) const
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private:
    QTemporaryDir fDir;
};

} // namespace

TEST_F(IniFile, MissingFileOrKeyGivesTheDefault)
{
    TIniFile ini(path());
    EXPECT_EQ(ini.ReadString(QStringLiteral("gui"), QStringLiteral("style"), QStringLiteral("3")), QStringLiteral("3"));
    EXPECT_FALSE(ini.ValueExists(QStringLiteral("gui"), QStringLiteral("style")));
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniFile, SectionsAndKeysMatchWithoutRegardToCase)
{
    TIniFile ini(path());
    ini.WriteString(QStringLiteral("GUI"), QStringLiteral("Left"), QStringLiteral("10"));
    ini.WriteString(QStringLiteral("gui"), QStringLiteral("left"), QStringLiteral("20"));
    ini.WriteString(QStringLiteral("Gui"), QStringLiteral("top"), QStringLiteral("30"));
    EXPECT_EQ(content(), QByteArray("[GUI]\nLeft=20\ntop=30\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("gUI"), QStringLiteral("LEFT"), {}), QStringLiteral("20"));
}

TEST_F(IniFile, WritesKeepTheOtherLinesInTheirOrder)
{
    setContent("; settings\r\n[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n");
    TIniFile ini(path());
    ini.WriteString(QStringLiteral("a"), QStringLiteral("z"), QStringLiteral("3"));
    ini.WriteString(QStringLiteral("b"), QStringLiteral("y"), QStringLiteral("4"));
    ini.WriteString(QStringLiteral("c"), QStringLiteral("w"), QStringLiteral("5"));
    EXPECT_EQ(content(), QByteArray("; settings\n[a]\nx=1\nz=3\n\n[b]\ny=4\n\n[c]\nw=5\n"));
}

TEST_F(IniFile, ReadingRules)
{
    setContent("[s]\n k = spaced \nquoted=\"a b\"\ndup=first\ndup=second\nempty=\n;hidden=1\n[s]\nlate=yes\n"
               "long=" + QByteArray(3000, 'x') + "\n");
    TIniFile ini(path());
    struct {
        const char *key;
        QString value;
    } cases[] = {
        {"k", QStringLiteral("spaced")},     {"quoted", QStringLiteral("a b")}, {"dup", QStringLiteral("first")},
        {"empty", QString()},                 {"hidden", QStringLiteral("-")},   {"late", QStringLiteral("yes")},
        {"long", QString(2047, u'x')},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ini.ReadString(QStringLiteral("s"), QString::fromLatin1(c.key), QStringLiteral("-")), c.value) << c.key;
    EXPECT_TRUE(ini.ValueExists(QStringLiteral("S"), QStringLiteral("EMPTY")));
}

TEST_F(IniFile, RefusedWriteRaisesUnableToWrite)
{
    TIniFile ini(path() + QStringLiteral("/below/a/file.ini"));
    setContent("x");
    try {
        ini.WriteString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
        FAIL() << "no error raised";
    } catch (const EInOutError &e) {
        EXPECT_EQ(QString::fromStdString(e.what()), QStringLiteral("Unable to write to ") + ini.FileName());
    }
}
