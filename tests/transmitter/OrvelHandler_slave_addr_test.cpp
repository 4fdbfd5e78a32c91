#include "transmitter/OrvelHandler.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

TEST(SlaveAddr, HexTextFollowsTheNumber)
{
    struct {
        int32_t addr;
        const char *text;
    } cases[] = {{5, "0x05"}, {127, "0x7F"}, {0, "0x00"}, {60, "0x3C"}, {0x28, "0x28"}};
    for (const auto &c : cases) {
        T_SlaveAddr entry;
        entry.Set_int_Addr(c.addr);
        EXPECT_EQ(entry.Get_hex_addr(), QString::fromLatin1(c.text));
        EXPECT_EQ(entry.Get_int_Addr(), c.addr);
    }
}

TEST(SlaveAddr, NewEntryIsEmptyAndTextAloneLeavesTheNumber)
{
    T_SlaveAddr entry;
    EXPECT_EQ(entry.Get_int_Addr(), 0);
    EXPECT_TRUE(entry.Get_hex_addr().isEmpty());
    entry.Set_int_Addr(9);
    entry.Set_hex_addr(QStringLiteral("nine"));
    EXPECT_EQ(entry.Get_int_Addr(), 9);
    EXPECT_EQ(entry.Get_hex_addr(), QStringLiteral("nine"));
}
