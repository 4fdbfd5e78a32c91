// Memory images as text: the memory map window's copy layout, read back word for word.
#include "transmitter/OrvelMemory.h"
#include "transmitter/memory_image_file.h"
#include "qt_printers.h"

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
    const T_DeviceMemory written = sample();
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
