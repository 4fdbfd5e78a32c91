#include "services/utils/ZUtils.h"
#include "locale_guard.h"
#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <future>
#include <thread>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

TEST(Bits, ReadAndWriteBits)
{
    struct {
        uint8_t b;
        int pos;
        bool set;
    } reads[] = {{0x80, 7, true}, {0x80, 8, false}, {0x80, 6, false}, {0x01, 0, true}, {0xFF, -1, false}};
    for (const auto &c : reads)
        EXPECT_EQ(ZByte::readBit(c.b, c.pos), c.set) << int(c.b) << " bit " << c.pos;

    struct {
        uint8_t b;
        int pos;
        bool bit;
        uint8_t result;
    } writes[] = {{0x00, 3, true, 0x08}, {0x00, 9, true, 0x00}, {0xFF, 7, false, 0x7F}, {0x08, 3, true, 0x08},
                  {0x5A, -1, false, 0x5A}};
    for (const auto &c : writes)
        EXPECT_EQ(ZByte::writeBit(c.b, c.pos, c.bit), c.result) << int(c.b) << " bit " << c.pos;

    EXPECT_EQ(ZWord::writeBit(0xFFFF, 15, false), 0x7FFF);
    EXPECT_EQ(ZWord::writeBit(0x0000, 8, true), 0x0100);
    EXPECT_EQ(ZWord::writeBit(0x1234, 16, true), 0x1234);
}

class LenientNumbers : public ::testing::TestWithParam<QLocale>
{
};

TEST_P(LenientNumbers, AnyOtherCharacterIsTheSeparator)
{
    LocaleGuard guard(GetParam());
    struct {
        const char *text;
        double value;
    } cases[] = {{"2.5", 2.5}, {"2,5", 2.5}, {"2;5", 2.5}, {"-1.5", -1.5}, {"1e3", 1.3},
                 {"+3", 3.0},  {"42", 42.0}, {"0", 0.0},   {"-0,25", -0.25}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_DOUBLE_EQ(ZString::ToFloat(QString::fromLatin1(c.text)), c.value);
    }
}

TEST_P(LenientNumbers, TextsThatStayNoNumberRaise)
{
    LocaleGuard guard(GetParam());
    for (const char *text : {"", "1.2.3", "abc", "--1", "1,5 bar", "+"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW(ZString::ToFloat(QString::fromLatin1(text)), EConvertError);
        double untouched = 7;
        EXPECT_FALSE(ZString::TryToFloat(QString::fromLatin1(text), untouched));
        EXPECT_EQ(untouched, 7);
    }
}

INSTANTIATE_TEST_SUITE_P(PointAndComma, LenientNumbers,
                         ::testing::Values(LocaleGuard::pointLocale(), LocaleGuard::commaLocale()));

QString bytes(std::initializer_list<int> values)
{
    QString s;
    for (int v : values)
        s.append(QChar(char16_t(v)));
    return s;
}

TEST(Utf8Bytes, EncodeAndDecode)
{
    struct {
        QString text;
        QString encoded;
    } cases[] = {
        {QStringLiteral("abc"), QStringLiteral("abc")},
        {QString(QChar(0x00E4)), bytes({0xC3, 0xA4})},
        {QString(QChar(0x20AC)), bytes({0xE2, 0x82, 0xAC})},
        {QString(QChar(0x07FF)), bytes({0xDF, 0xBF})},
        {QStringLiteral("T [°C]"), bytes({'T', ' ', '[', 0xC2, 0xB0, 'C', ']'})},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(ZString::Utf8ToStr(c.text), c.encoded);
        EXPECT_EQ(ZString::ToUtf8(c.encoded), c.text);
    }
}

TEST(Utf8Bytes, SurrogatesAreEncodedOneByOne)
{
    const QString smiley = QString::fromUcs4(U"\U0001F600");
    ASSERT_EQ(smiley.size(), 2);
    EXPECT_EQ(ZString::Utf8ToStr(smiley), bytes({0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}));
}

TEST(Utf8Bytes, DecodingOddSequences)
{
    struct {
        QString encoded;
        QString text;
    } cases[] = {
        {bytes({'a', 0xF0, 0x9F, 0x98, 0x80, 'b'}), QStringLiteral("a\uFFFDb")}, // four-byte sequence
        {bytes({0xF8, 0x88, 0x80, 0x80, 0x80, 'z'}), QStringLiteral("\uFFFDz")},  // five-byte sequence
        {bytes({'a', 0x80, 'b', 0xFF, 0xFE}), QStringLiteral("ab")},               // stray bytes skipped
        {bytes({'a', 0xC3}), QStringLiteral("a\uFFFD")},                           // cut off at the end
        {bytes({0xE2, 0x82}), QStringLiteral("\uFFFD")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZString::ToUtf8(c.encoded), c.text);
}

TEST(Utf8Bytes, OverlongAndSurrogateFormsAreNoCharacters)
{
    struct {
        QString encoded;
        QString text;
    } cases[] = {
        {bytes({'a', 0xC0, 0x8A, 'b'}), QStringLiteral("a\uFFFDb")},           // a line feed in two bytes
        {bytes({0xC1, 0xBF}), QStringLiteral("\uFFFD")},                       // DEL in two bytes
        {bytes({0xE0, 0x80, 0x8A}), QStringLiteral("\uFFFD")},                 // a line feed in three bytes
        {bytes({0xE0, 0x9F, 0xBF}), QStringLiteral("\uFFFD")},                 // U+07FF in three bytes
        {bytes({0xED, 0xA0, 0x80}), QStringLiteral("\uFFFD")},                 // high surrogate
        {bytes({0xED, 0xBF, 0xBF}), QStringLiteral("\uFFFD")},                 // low surrogate
        {bytes({0xED, 0x9F, 0xBF}), QString(QChar(0xD7FF))},                   // just below the surrogates
        {bytes({0xEE, 0x80, 0x80}), QString(QChar(0xE000))},                   // just above them
        {bytes({0xE0, 0xA0, 0x80}), QString(QChar(0x0800))},                   // shortest three-byte form
        {bytes({0xC2, 0x80}), QString(QChar(0x0080))},                         // shortest two-byte form
        {bytes({0xC3, 'A', 'b'}), QStringLiteral("\uFFFDAb")},                 // no continuation byte
        {bytes({0xE2, 0x82, 'x'}), QStringLiteral("\uFFFDx")},                 // cut short by a plain byte
    };
    for (const auto &c : cases) {
        EXPECT_EQ(ZString::ToUtf8(c.encoded), c.text);
        EXPECT_FALSE(ZString::ToUtf8(c.encoded).contains(u'\n'));
    }
}

TEST(WinVersion, TableAndThisPlatform)
{
    struct {
        unsigned platform, major, minor;
        const char *service;
        TWinVersion version;
    } cases[] = {
        {1, 4, 0, "", wvWin95},        {1, 4, 10, " B", wvWin98},   {1, 4, 10, " A", wvWin98SE},
        {1, 4, 90, "", wvWinME},       {2, 4, 0, "", wvWinNT},      {2, 3, 51, "", wvWinNT},
        {2, 5, 0, "", wvWin2000},      {2, 5, 1, "", wvWinXP},      {2, 6, 0, "", wvWinVista},
        {2, 6, 1, "", wvWin7},         {2, 6, 2, "", wvUnknown},    {2, 10, 0, "", wvUnknown},
        {1, 5, 0, "", wvUnknown},      {0, 6, 1, "", wvUnknown},
    };
    for (const auto &c : cases)
        EXPECT_EQ(ZOS::MapWinVersion(c.platform, c.major, c.minor, QString::fromLatin1(c.service)), c.version)
            << c.platform << " " << c.major << "." << c.minor;
#ifndef _WIN32
    EXPECT_EQ(ZOS::GetWinVersion(), wvUnknown);
#endif
}

TEST(UserName, LoginFormatAndUnknownFormat)
{
    const passwd *account = getpwuid(geteuid());
    ASSERT_NE(account, nullptr);
    QString name = QStringLiteral("unchanged");
    ASSERT_EQ(ZUser::GetLoggedOnUserNameEx(ZUser::NameSamCompatible, name), 0);
    EXPECT_TRUE(name.endsWith(u'\\' + QString::fromLocal8Bit(account->pw_name))) << name.toStdString();
    EXPECT_GT(name.indexOf(u'\\'), 0);

    QString untouched = QStringLiteral("unchanged");
    EXPECT_NE(ZUser::GetLoggedOnUserNameEx(7, untouched), 0);
    EXPECT_EQ(untouched, QStringLiteral("unchanged"));

    QString fullName = QStringLiteral("unchanged");
    const int result = ZUser::GetLoggedOnUserNameEx(ZUser::NameFullyQualifiedDN, fullName);
    const QString gecos = QString::fromLocal8Bit(account->pw_gecos ? account->pw_gecos : "").section(u',', 0, 0);
    if (gecos.isEmpty()) {
        EXPECT_NE(result, 0);
        EXPECT_EQ(fullName, QStringLiteral("unchanged"));
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(fullName, gecos);
    }
}

TEST(OneShotThread, RunsTheMethodOnAnotherThread)
{
    std::promise<std::thread::id> ran;
    auto done = ran.get_future();
    ZThread::runProcedure([&ran] { ran.set_value(std::this_thread::get_id()); });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(done.get() != std::this_thread::get_id());
}

TEST(FileSize, ExistingAndMissingFiles)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("five.txt"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("12345");
    file.close();
    EXPECT_EQ(ZFile::getFileSize(path), 5);
    EXPECT_EQ(ZFile::getFileSize(dir.filePath(QStringLiteral("missing.txt"))), -1);
}
