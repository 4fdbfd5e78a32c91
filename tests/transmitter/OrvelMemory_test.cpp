#include "transmitter/OrvelDevice.h"
#include "transmitter/OrvelMemory.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> addressesOf(const T_DeviceMemory::RegisterList &list)
{
    std::vector<int> addresses;
    for (const T_32Bit *reg : list)
        addresses.push_back(reg->Get_addr());
    return addresses;
}

std::vector<int> range(int first, int last)
{
    std::vector<int> v;
    for (int a = first; a <= last; ++a)
        v.push_back(a);
    return v;
}

} // namespace

TEST(DeviceMemory, NewImageHasTheRegisterTableInAddressOrderAndAllZero)
{
    const char *expected[] = {"Cust_ID0", "Cust_ID1", "COM_Config", "B_sign",    "T_sign",   "Offset_B",
                              "Gain_B",   "Tcg",      "Tco",        "SOT_tco",   "SOT_tcg",  "SOT_Bridge",
                              "Offset_T", "Gain_T",   "SOT_T",      "T_SETL",    "BM_Config", "AUX",
                              "scaling0", "scaling1", "scaling2",   "scaling3",  "scaling4", "Checksum"};
    T_DeviceMemory memory;
    const auto all = memory.full_image();
    ASSERT_EQ(all.size(), 24u);
    for (int a = 0; a < 24; ++a) {
        SCOPED_TRACE(a);
        EXPECT_EQ(all[size_t(a)]->Get_addr(), a);
        EXPECT_EQ(all[size_t(a)]->Get_name(), QString::fromLatin1(expected[a]));
        EXPECT_EQ(all[size_t(a)]->value(), 0);
    }
    EXPECT_EQ(&memory.Get_checksum(), &memory.at(0x17));
    EXPECT_EQ(&memory.Get_COM_Config(), &memory.at(0x02));
    EXPECT_EQ(&memory.Get_scaling0(), &memory.at(0x12));
    EXPECT_FALSE(memory.Get_complete());
}

TEST(DeviceMemory, PropertiesGiveTheRegisterItselfForInPlaceEdits)
{
    T_DeviceMemory memory;
    memory.Get_COM_Config().Set_hByte(0x00);
    memory.Get_COM_Config().Set_lByte(0x3C);
    EXPECT_EQ(memory.at(2).value(), 0x003C);
    memory.at(7).setValue(0xABCD);
    EXPECT_EQ(memory.Get_Tcg().Get_hByte(), 0xAB);
    EXPECT_EQ(memory.Get_Tcg().Get_lByte(), 0xCD);
}

TEST(DeviceMemory, RegisterGroups)
{
    T_DeviceMemory memory;
    EXPECT_EQ(addressesOf(memory.identity_registers()), (std::vector<int>{0, 1, 0x12, 0x13, 0x14, 0x15, 0x16}));
    EXPECT_EQ(addressesOf(memory.writable_registers()), range(0, 0x16));
    std::vector<int> compared = range(0, 0x16);
    compared.erase(compared.begin() + 2);
    EXPECT_EQ(addressesOf(memory.compared_registers()), compared);
}

TEST(DeviceMemory, AllZeroCheckIgnoresAddressAndChecksum)
{
    T_DeviceMemory memory;
    EXPECT_TRUE(memory.compared_all_zero());
    memory.Get_COM_Config().setValue(0x0028);
    memory.Get_checksum().setValue(0x1234);
    EXPECT_TRUE(memory.compared_all_zero());
    memory.Get_scaling4().Set_lByte(1);
    EXPECT_FALSE(memory.compared_all_zero());
}

TEST(DeviceMemory, CopyIsIndependent)
{
    T_DeviceMemory a;
    a.Get_AUX().setValue(7);
    T_DeviceMemory b = a;
    b.Get_AUX().setValue(9);
    EXPECT_EQ(a.Get_AUX().value(), 7);
    EXPECT_EQ(b.Get_AUX().Get_name(), QStringLiteral("AUX"));
}

struct CalibrationCase {
    uint16_t word;
    int year, month, day, mode;
    const char *text;
};

TEST(WordLayouts, CalibrationDateAndPressureMode)
{
    const CalibrationCase cases[] = {
        {0x4A1D, 2019, 4, 7, 1, "07.04.2019"},
        {0x0000, 2010, 0, 0, 0, "00.00.2010"},
        {0xFFFF, 2041, 15, 31, 3, "31.15.2041"},
        {0x0E7E, 2011, 12, 31, 2, "31.12.2011"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.word);
        const auto d = OrvelWords::decode_scaling0(c.word);
        EXPECT_EQ(d.year, c.year);
        EXPECT_EQ(d.month, c.month);
        EXPECT_EQ(d.day, c.day);
        EXPECT_EQ(d.pressure_mode, c.mode);
        EXPECT_EQ(OrvelWords::calibration_date_text(d), QString::fromLatin1(c.text));
    }
}

TEST(WordLayouts, CustomerIdentity)
{
    struct {
        uint16_t word;
        int equipment, place;
    } cases[] = {{0xFFFF, 63, 1023}, {0x1C38, 7, 56}, {0x0000, 0, 0}, {0x0400, 1, 0}, {0x03FF, 0, 1023}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.word);
        const auto id = OrvelWords::decode_cust_id0(c.word);
        EXPECT_EQ(id.equipment, c.equipment);
        EXPECT_EQ(id.place, c.place);
    }
}

TEST(WordLayouts, RangeLimitFromTwoWords)
{
    struct {
        uint16_t upper, lower;
        float value;
    } cases[] = {{0x4120, 0x0000, 10.0f}, {0xBF80, 0x0000, -1.0f}, {0x0000, 0x0000, 0.0f}, {0x3DCC, 0xCCCD, 0.1f}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.upper);
        EXPECT_EQ(OrvelWords::single_from_words(c.upper, c.lower), c.value);
    }
}

TEST(MemoryStatus, DecodedFromHighByte)
{
    struct {
        uint8_t high;
        bool corrected;
        int page, left;
    } cases[] = {{0xE0, true, 3, 0}, {0x40, false, 2, 1}, {0x9F, true, 0, 3}, {0xA0, true, 1, 2}, {0x00, false, 0, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.high);
        const auto status = T_Memory_Status::from_high_byte(c.high);
        EXPECT_EQ(status.data_corrected, c.corrected);
        EXPECT_EQ(status.current_page, c.page);
        EXPECT_EQ(status.changes_left(), c.left);
    }
}
