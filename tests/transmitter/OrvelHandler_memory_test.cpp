#include "handler_fixture.h"
#include "locale_guard.h"

using Memory = HandlerOnSim;

TEST_F(Memory, IdentityOfTheDefaultTransmitter)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(handler->get_device_scaling());
    T_OrvelDevice &d = handler->Get_Device();
    EXPECT_EQ(d.Get_equipment(), 7);
    EXPECT_EQ(d.Get_place(), 56);
    EXPECT_EQ(d.Get_file(), 1234);
    EXPECT_EQ(d.Get_UniqueProductID(), 80878648);
    EXPECT_EQ(d.Get_Calib_Date(), QStringLiteral("07.04.2019"));
    EXPECT_EQ(d.Get_P_Mode(), 1);
    EXPECT_EQ(d.Get_pmin(), 0.0);
    EXPECT_EQ(d.Get_pmax(), 10.0);
    EXPECT_EQ(handler->Get_ProductString(), QStringLiteral("F01234E07P0056"));
    LocaleGuard point(LocaleGuard::pointLocale());
    handler->set_pressure_digits(2);
    EXPECT_EQ(handler->Get_PressureScalingString(), QStringLiteral("0.00...10.00 PA"));
    d.Set_P_Mode(3);
    EXPECT_EQ(handler->Get_PressureScalingString(), QString());

    // command bytes in order, with the read requests between them
    std::vector<uint8_t> commands;
    for (const Bytes &head : writtenHeads(4))
        if (head[0] == 0x02)
            commands.push_back(head[3]);
    EXPECT_EQ(commands, (std::vector<uint8_t>{0x00, 0x01, 0x12, 0x13, 0x14, 0x15, 0x16}));

    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[2], (LogLine{catCommunication, lDebug, QStringLiteral("read Cust_ID1 prepare command : OK")}));
    EXPECT_EQ(lines[3], (LogLine{catCommunication, lDebug, QStringLiteral("read Cust_ID1 execute read : OK ->  3 64 4 210")}));
}

TEST_F(Memory, ProductCodesAreZeroPadded)
{
    struct {
        int file, equipment, place;
        const char *text;
    } cases[] = {{65535, 63, 1023, "F65535E63P1023"}, {0, 0, 0, "F00000E00P0000"}, {1234, 7, 56, "F01234E07P0056"},
                 {123456, 100, 10000, "F123456E100P10000"}};
    for (const auto &c : cases) {
        handler->Get_Device().Set_file(c.file);
        handler->Get_Device().Set_equipment(c.equipment);
        handler->Get_Device().Set_place(c.place);
        EXPECT_EQ(handler->Get_ProductString(), QString::fromLatin1(c.text));
    }
}

TEST_F(Memory, FailedFirstIdentityReadLeavesItsFieldsAndAZeroLowHalf)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_READ_AFTER, 0x00));
    ASSERT_TRUE(handler->get_device_scaling());
    EXPECT_EQ(handler->Get_Device().Get_UniqueProductID(), 1234 * 65536);
    EXPECT_EQ(handler->Get_Device().Get_equipment(), 0);
    EXPECT_EQ(lines[1], (LogLine{catCommunication, lError, QStringLiteral("read Cust_ID0 execute read : ERROR_ACK")}));
}

TEST_F(Memory, FullImageWithMemoryStatus)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_DATA_CORRECTED, 1));
    ASSERT_TRUE(handler->get_device_memory());
    T_DeviceMemory &image = handler->Get_Device().Get_memory_page();
    const iowsim_transmitter_info chip = transmitter();
    for (int a = 0; a < 24; ++a)
        EXPECT_EQ(image.at(a).value(), chip.pages[0][a]) << a;
    EXPECT_TRUE(image.Get_complete());
    EXPECT_TRUE(handler->Get_Device().Get_memory_status().data_corrected);
    EXPECT_EQ(handler->Get_Device().Get_memory_status().current_page, 0);
    EXPECT_EQ(writtenHeads(4).size(), 50u) << "25 commands and 25 reads";
    EXPECT_EQ(lines.size(), 25u) << "prepare lines only";
    EXPECT_EQ(lines.back(), (LogLine{catCommunication, lDebug, QStringLiteral("read Memory Status : OK")}));
}

TEST_F(Memory, AnEarlierRefusedWordDoesNotMakeTheReadFalseButTheImageIncomplete)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_BUSY_ANSWERS, 1));
    EXPECT_TRUE(handler->get_device_memory());
    EXPECT_FALSE(handler->Get_Device().Get_memory_page().Get_complete());
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        LogLine{catCommunication, lError, QStringLiteral("ERROR execute read Cust_ID0 : STATUS=0x60")}),
              lines.end());
}

TEST_F(Memory, AGoneTransmitterKeepsTheImage)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(handler->get_device_memory());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_REMOVED, 1));
    lines.clear();
    EXPECT_FALSE(handler->get_device_memory());
    EXPECT_EQ(handler->Get_Device().Get_memory_page().Get_Cust_ID1().value(), 1234);
    EXPECT_FALSE(handler->Get_Device().Get_memory_page().Get_complete());
    EXPECT_EQ(lines.size(), 50u) << "a prepare and an execute error line for every word";
    EXPECT_EQ(lines[1], (LogLine{catCommunication, lError, QStringLiteral("Cust_ID0 execute read : ERROR_ACK")}));
    EXPECT_FALSE(handler->get_device_scaling());
}

TEST_F(Memory, VerifyReadFillsOnlyTheReadBackImage)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    T_OrvelDevice &d = handler->Get_Device();
    d.Get_memory_page().Get_AUX().setValue(0xBEEF);
    d.Set_memory_status({true, 3});
    ASSERT_TRUE(handler->get_verify_device_memory());
    EXPECT_EQ(d.Get_memory_page().Get_AUX().value(), 0xBEEF);
    EXPECT_EQ(d.Get_verify_memory_page().Get_Cust_ID1().value(), 1234);
    EXPECT_EQ(d.Get_memory_status().current_page, 0);
    EXPECT_FALSE(d.Get_memory_status().data_corrected);
}
