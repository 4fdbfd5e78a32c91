// Memory images as text: the memory map window's copy layout, read back word for word, and a
// saved image taken for a write only whole and with the checksum the chip keeps.
#include "transmitter/OrvelMemory.h"
#include "transmitter/memory_image_file.h"
#include "qt_printers.h"
#include "sim_control.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

T_DeviceMemory sample()
{
    T_DeviceMemory image;
    for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a)
        image.at(a).setValue(uint16_t(0x1111 * (a % 15) + a));
    image.Set_complete(true);
    return image;
}

// The sample with the checksum as the simulated chip computes it.
T_DeviceMemory valid()
{
    T_DeviceMemory image = sample();
    zorbit_test::SimControl sim;
    EXPECT_TRUE(sim.loaded()) << sim.error();
    unsigned short words[T_DeviceMemory::RegisterCount] = {};
    for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a)
        words[a] = image.at(a).value();
    if (sim.loaded())
        image.at(OrvelWords::Checksum).setValue(sim.iowsim_checksum(words));
    return image;
}

} // namespace

TEST(MemoryImageFile, TextIsTheMemoryMapCopyLayout)
{
    const QStringList lines = memory_image_file::text(sample()).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 26); // header, 24 words, nothing after the last CR LF
    EXPECT_EQ(lines[0], QStringLiteral("Name\tAddress\tValue\t\tVerify"));
    EXPECT_EQ(lines[1], QStringLiteral("Cust_ID0\t0x00\t0x0000\t\t"));
    EXPECT_EQ(lines[24], QStringLiteral("Checksum\t0x17\t0x889F\t\t"));
    EXPECT_EQ(lines[25], QString());
}

TEST(MemoryImageFile, SavedImageReadsBackCompleteAndEqual)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("image.txt"));
    const T_DeviceMemory written = valid();
    ASSERT_EQ(memory_image_file::save(file, written), QString());
    T_DeviceMemory read;
    ASSERT_EQ(memory_image_file::load(file, read), QString());
    EXPECT_TRUE(read.Get_complete());
    for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a)
        EXPECT_EQ(read.at(a).value(), written.at(a).value()) << a;
}

namespace {

struct ParseCase {
    const char *name;
    int drop;       // line of a word left out, -1 none
    int twice;      // line of a word given twice, -1 none
    bool complete;
};

class ParseImage : public ::testing::TestWithParam<ParseCase>
{
};

const ParseCase ParseCases[] = {
    {"Whole", -1, -1, true},
    {"WithoutTheChecksum", 24, -1, true}, // the chip computes it
    {"WithoutTcg", 8, -1, false},
    {"ComConfigTwice", -1, 3, false},
};

} // namespace

TEST_P(ParseImage, CompleteOnlyWithEveryWritableWordOnce)
{
    QStringList lines = memory_image_file::text(sample()).split(QStringLiteral("\r\n"));
    if (GetParam().twice >= 0)
        lines.insert(GetParam().twice, lines[GetParam().twice]);
    if (GetParam().drop >= 0)
        lines.removeAt(GetParam().drop);
    T_DeviceMemory image;
    EXPECT_EQ(memory_image_file::parse(lines.join(u'\n'), image), QString());
    EXPECT_EQ(image.Get_complete(), GetParam().complete);
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseImage, ::testing::ValuesIn(ParseCases),
                         [](const ::testing::TestParamInfo<ParseCase> &info) { return std::string(info.param.name); });

TEST(MemoryImageFile, TextWithoutWordsIsNoImage)
{
    T_DeviceMemory image;
    for (const char *text : {"", "Name\tAddress\tValue\t\tVerify", "Tcg\t0x07", "Tcg\t0x08\t0x1234\t\t",
                             "Tcg\t0x07\tabc\t\t"}) {
        EXPECT_NE(memory_image_file::parse(QString::fromLatin1(text), image), QString()) << text;
        EXPECT_FALSE(image.Get_complete());
    }
    EXPECT_NE(memory_image_file::load(QStringLiteral("/nonexistent/image.txt"), image), QString());
}

TEST(MemoryImageFile, ChecksumIsTheChips)
{
    zorbit_test::SimControl sim;
    ASSERT_TRUE(sim.loaded()) << sim.error();
    T_DeviceMemory image;
    for (uint16_t seed : {0x0000, 0x0001, 0x8000, 0xFFFF, 0x1C38}) {
        unsigned short words[T_DeviceMemory::RegisterCount] = {};
        for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a) {
            words[a] = uint16_t(seed * (a + 1) + a * 0x0101);
            image.at(a).setValue(words[a]);
        }
        EXPECT_EQ(memory_image_file::chip_checksum(image), sim.iowsim_checksum(words)) << seed;
    }
}

namespace {

struct ReadCase {
    const char *name;
    // Changes the text of a valid image.
    QString (*edit)(QString text);
    const char *why; // empty: taken
};

QString unchanged(QString text) { return text; }
QString withoutChecksum(QString text) { return text.remove(QRegularExpression(QStringLiteral("Checksum\t[^\r]*\r\n"))); }
QString wrongChecksum(QString text) { return text.replace(QStringLiteral("0xC0F3"), QStringLiteral("0xC0F4")); }
QString alteredWord(QString text) { return text.replace(QStringLiteral("Tcg\t0x07\t0x777E"), QStringLiteral("Tcg\t0x07\t0x777F")); }
QString truncated(QString text) { return text.left(text.indexOf(QStringLiteral("scaling2"))); }
QString cutInAWord(QString text) { return text.left(text.indexOf(QStringLiteral("Checksum")) + 14); }
QString wordTwice(QString text) { return text + QStringLiteral("AUX\t0x11\t0x0000\t\t\r\n"); }
QString garbage(QString) { return QStringLiteral("\x01\x7f{\"not\": \"an image\"}\n\t\t\n0x17"); }
QString empty(QString) { return {}; }
QString lfOnly(QString text) { return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

const ReadCase ReadCases[] = {
    {"Good", unchanged, ""},
    {"GoodWithLineFeedsOnly", lfOnly, ""},
    {"NoChecksumLine", withoutChecksum, "it has no Checksum line"},
    {"WrongChecksum", wrongChecksum, "its Checksum 0xC0F4 does not match its words (0xC0F3)"},
    {"AWordAltered", alteredWord, "its Checksum 0xC0F3 does not match its words"},
    {"Truncated", truncated, "the word scaling2 is missing"},
    {"CutInTheChecksumLine", cutInAWord, "it has no Checksum line"},
    {"AWordTwice", wordTwice, "the word AUX is in it twice"},
    {"Garbage", garbage, "no memory words in it"},
    {"Empty", empty, "no memory words in it"},
};

class ReadImage : public ::testing::TestWithParam<ReadCase>
{
};

} // namespace

TEST_P(ReadImage, TakenOnlyWholeWithItsChecksum)
{
    const T_DeviceMemory good = valid();
    ASSERT_EQ(memory_image_file::text(good).count(QStringLiteral("0xC0F3")), 1) << "the sample's checksum";
    const QString text = GetParam().edit(memory_image_file::text(good));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("image.txt"));
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.toUtf8());
    }
    T_DeviceMemory image;
    const QString why = memory_image_file::load(file, image);
    if (!*GetParam().why) {
        EXPECT_EQ(why, QString());
        EXPECT_TRUE(image.Get_complete());
        for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a)
            EXPECT_EQ(image.at(a).value(), good.at(a).value()) << a;
        return;
    }
    EXPECT_TRUE(why.startsWith(file + QStringLiteral(": ") + QLatin1String(GetParam().why))) << why.toStdString();
    EXPECT_FALSE(why.contains(u'\n'));
    EXPECT_FALSE(image.Get_complete()) << "never written back";
}

INSTANTIATE_TEST_SUITE_P(Files, ReadImage, ::testing::ValuesIn(ReadCases),
                         [](const ::testing::TestParamInfo<ReadCase> &info) { return std::string(info.param.name); });

TEST(MemoryImageFile, AFileTooLargeForAnImageIsRefused)
{
    QByteArray bytes = memory_image_file::text(valid()).toUtf8();
    T_DeviceMemory image;
    EXPECT_EQ(memory_image_file::read(bytes, image), QString());
    bytes += QByteArray(memory_image_file::MaxFileSize, '\n');
    EXPECT_EQ(memory_image_file::read(bytes, image), QStringLiteral("too large for a memory image"));
    EXPECT_FALSE(image.Get_complete());
}
