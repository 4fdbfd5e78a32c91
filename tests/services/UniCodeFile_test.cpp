#include "services/utils/UniCodeFile.h"
#include "services/utils/ZUtils.h"
#include "qt_printers.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class TextFiles : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(fDir.isValid()); }
    QString path(const char *name = "file.txt") const { return fDir.filePath(QString::fromLatin1(name)); }

    QByteArray bytesOf(const QString &file) const
    {
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    void writeBytes(const QString &file, const QByteArray &bytes) const
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private:
    QTemporaryDir fDir;
};

QByteArray raw(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b.append(char(v));
    return b;
}

} // namespace

TEST_F(TextFiles, Utf16ByteLayout)
{
    TUnicodeFile::writeLines(path(), {QStringLiteral("ab"), QString(QChar(0x20AC))}, UTF16LE);
    EXPECT_EQ(bytesOf(path()), raw({0xFF, 0xFE, 'a', 0, 'b', 0, 0x0D, 0, 0x0A, 0, 0xAC, 0x20}));
}

TEST_F(TextFiles, Utf8ByteLayout)
{
    TUnicodeFile::writeLines(path(), {QStringLiteral("a"), QString(QChar(0x00E4))});
    EXPECT_EQ(bytesOf(path()), raw({0xEF, 0xBB, 0xBF, 'a', 0x0D, 0x0A, 0xC3, 0xA4, 0x0D, 0x0A}));
    TUnicodeFile::writeLines(path(), {}, UTF8);
    EXPECT_TRUE(bytesOf(path()).isEmpty());
}

TEST_F(TextFiles, RoundTripsInBothCodecs)
{
    const QStringList cases[] = {
        {QStringLiteral("languageName=Deutsch"), QStringLiteral("key=Größe [°C]"), QStringLiteral("€")},
        {QStringLiteral("last line empty"), QString()},
        {QString()},
        {QStringLiteral(" blanks kept "), QStringLiteral("x=y=z")},
    };
    for (int codec : {UTF16LE, UTF8}) {
        for (const auto &lines : cases) {
            SCOPED_TRACE(codec);
            TUnicodeFile::writeLines(path(), lines, codec);
            EXPECT_EQ(TUnicodeFile::readLines(path(), codec), lines);
            EXPECT_EQ(TUnicodeFile::readLines(path()), lines) << "detected codec";
        }
    }
}

TEST_F(TextFiles, Utf16ReadingRules)
{
    struct {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"no byte-order mark", raw({'a', 0, 0x0D, 0, 0x0A, 0, 'b', 0}), {"a", "b"}},
        {"ends with CR LF", raw({0xFF, 0xFE, 'a', 0, 0x0D, 0, 0x0A, 0}), {"a", ""}},
        {"LF alone is a character", raw({0xFF, 0xFE, 'a', 0, 0x0A, 0, 'b', 0}), {QStringLiteral("a\nb")}},
        {"CR holds until the LF", raw({0xFF, 0xFE, 'a', 0, 0x0D, 0, 'b', 0, 0x0A, 0, 'c', 0}), {"ab", "c"}},
        {"mark inside a line is kept", raw({0xFF, 0xFE, 'a', 0, 0xFF, 0xFE}), {QStringLiteral("a\uFEFF")}},
        {"mark at a line start is dropped", raw({'a', 0, 0x0D, 0, 0x0A, 0, 0xFF, 0xFE, 'b', 0}), {"a", "b"}},
        {"odd last byte ignored", raw({0xFF, 0xFE, 'a', 0, 'b'}), {"a"}},
        {"empty file", QByteArray(), {""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path(), c.bytes);
        EXPECT_EQ(TUnicodeFile::readLines(path(), UTF16LE), c.lines);
    }
}

TEST_F(TextFiles, Utf8ReadingRules)
{
    struct {
        const char *name;
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {"LF or CR LF end a line", QByteArray("a\nb\r\nc"), {"a", "b", "c"}},
        {"mark dropped from the first line", raw({0xEF, 0xBB, 0xBF, 'h', 'i', '\r', '\n'}), {"hi"}},
        {"short first line kept", QByteArray("ab\r\ncd\r\n"), {"ab", "cd"}},
        {"mark alone", raw({0xEF, 0xBB, 0xBF}), {""}},
        {"empty lines kept", QByteArray("\r\n\r\nx"), {"", "", "x"}},
        {"empty file", QByteArray(), {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(path(), c.bytes);
        EXPECT_EQ(TUnicodeFile::readLines(path(), UTF8), c.lines);
    }
}

TEST_F(TextFiles, CodecDetectedFromTheFirstBytes)
{
    writeBytes(path(), raw({0xFF, 0xFE, 'x', 0}));
    EXPECT_EQ(TUnicodeFile::readLines(path()), QStringList{QStringLiteral("x")});
    writeBytes(path(), raw({0xEF, 0xBB, 0xBF, 0xC3, 0xA4}));
    EXPECT_EQ(TUnicodeFile::readLines(path()), QStringList{QString(QChar(0x00E4))});
    writeBytes(path(), QByteArray("plain"));
    EXPECT_EQ(TUnicodeFile::readLines(path()), QStringList{QStringLiteral("plain")});
    writeBytes(path(), QByteArray("\xFF"));
    EXPECT_EQ(TUnicodeFile::readLines(path()), QStringList{QString()});
}

TEST_F(TextFiles, UnknownCodecAndFileErrors)
{
    writeBytes(path(), QByteArray("keep"));
    EXPECT_FALSE(TUnicodeFile::readLines(path(), 2).has_value());
    TUnicodeFile::writeLines(path(), {QStringLiteral("other")}, 5);
    EXPECT_EQ(bytesOf(path()), QByteArray("keep"));

    EXPECT_THROW(TUnicodeFile::readLines(path("missing.lang")), EInOutError);
    EXPECT_THROW(TUnicodeFile::readLines(path("missing.lang"), UTF16LE), EInOutError);
    EXPECT_THROW(TUnicodeFile::writeLines(path("no/such/folder.txt"), {QStringLiteral("x")}), EInOutError);
}
