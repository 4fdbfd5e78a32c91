// Texts of the memory map grid.
#include "transmitter/OrvelMemory.h"
#include "transmitter/memory_map_text.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

QStringList default_names()
{
    T_DeviceMemory image;
    QStringList names;
    for (int address = 0; address < T_DeviceMemory::RegisterCount; ++address)
        names.append(image.at(address).Get_name());
    return names;
}

} // namespace

TEST(MemoryMapText, FormatWordIsFourUpperCaseHexDigitsOfHighAndLowByte)
{
    struct {
        uint8_t high;
        uint8_t low;
        const char *text;
    } cases[] = {{0x00, 0x00, "0x0000"}, {0x00, 0xA3, "0x00A3"}, {0x1C, 0x38, "0x1C38"},
                 {0xA3, 0x00, "0xA300"}, {0xFF, 0xFF, "0xFFFF"}, {0x00, 0x0b, "0x000B"}};
    for (const auto &c : cases) {
        T_32Bit reg;
        reg.Set_hByte(c.high);
        reg.Set_lByte(c.low);
        EXPECT_EQ(memory_map_text::format_word(reg), QString::fromLatin1(c.text)) << int(c.high) << "/" << int(c.low);
    }
}

TEST(MemoryMapText, AddressHasAtLeastTwoUpperCaseHexDigits)
{
    struct {
        int address;
        const char *text;
    } cases[] = {{0, "0x00"}, {10, "0x0A"}, {23, "0x17"}, {0xFF, "0xFF"}, {0x1AB, "0x1AB"}};
    for (const auto &c : cases)
        EXPECT_EQ(memory_map_text::format_address(c.address), QString::fromLatin1(c.text)) << c.address;
}

TEST(MemoryMapText, RegisterRowTakesNameAddressAndValueFromTheRegister)
{
    T_DeviceMemory image;
    image.Get_checksum().setValue(0xBEEF);
    const memory_map_text::RegisterRow last = memory_map_text::register_row(image.Get_checksum());
    EXPECT_EQ(last.name, QStringLiteral("Checksum"));
    EXPECT_EQ(last.address, QStringLiteral("0x17"));
    EXPECT_EQ(last.value, QStringLiteral("0xBEEF"));
    const memory_map_text::RegisterRow first = memory_map_text::register_row(image.Get_Cust_ID0());
    EXPECT_EQ(first.name, QStringLiteral("Cust_ID0"));
    EXPECT_EQ(first.address, QStringLiteral("0x00"));
    EXPECT_EQ(first.value, QStringLiteral("0x0000"));
}

TEST(MemoryMapText, RowLabelsAndHeaders)
{
    EXPECT_EQ(memory_map_text::row_label(1), QStringLiteral("#1"));
    EXPECT_EQ(memory_map_text::row_label(24), QStringLiteral("#24"));
    const char *headers[] = {"", "Name", "Address", "Value", "", "Verify"};
    for (int column = 0; column < memory_map_text::ColumnCount; ++column)
        EXPECT_EQ(memory_map_text::header_text(column), QString::fromLatin1(headers[column])) << column;
}

TEST(MemoryMapText, NameColumnIsEightPixelsPerCharacterOfTheLongestName)
{
    struct {
        QStringList names;
        int width;
    } cases[] = {{default_names(), 80}, // SOT_Bridge and COM_Config, 10 characters
                 {{}, 0},
                 {{"AUX", "Tcg"}, 24},
                 {{"Cust_ID0", "A_longer_name"}, 104}};
    for (const auto &c : cases)
        EXPECT_EQ(memory_map_text::name_column_width(c.names), c.width) << c.names.join(u',').toStdString();
}

TEST(MemoryMapText, ClipboardLeavesOutTheRowNumberAndEndsEveryLineWithCrLf)
{
    const QList<QStringList> rows = {{"", "Name", "Address", "Value", "", "Verify"},
                                     {"#1", "Cust_ID0", "0x00", "0x04D2", "", ""},
                                     {"#2", "Cust_ID1", "0x01", "0x1C38", "", "0x1C38"}};
    EXPECT_EQ(memory_map_text::clipboard_text(rows), QStringLiteral("Name\tAddress\tValue\t\tVerify\r\n"
                                                               "Cust_ID0\t0x00\t0x04D2\t\t\r\n"
                                                               "Cust_ID1\t0x01\t0x1C38\t\t0x1C38\r\n"));
}

TEST(MemoryMapText, EmptyGridCopiesFourTabsPerRow)
{
    QList<QStringList> rows;
    for (int row = 0; row < memory_map_text::RowCount; ++row)
        rows.append({row ? memory_map_text::row_label(row) : QString(), "", "", "", "", ""});
    QString expected;
    for (int row = 0; row < memory_map_text::RowCount; ++row)
        expected += QStringLiteral("\t\t\t\t\r\n");
    EXPECT_EQ(memory_map_text::clipboard_text(rows), expected);
    // A row handed in short still yields all five fields.
    EXPECT_EQ(memory_map_text::clipboard_text({{"#1", "AUX"}}), QStringLiteral("AUX\t\t\t\t\r\n"));
    EXPECT_EQ(memory_map_text::clipboard_text({}), QString());
}
