#include "handler_fixture.h"

#include <thread>

namespace {

void wait_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

class Rewrite : public HandlerOnSim
{
protected:
    // The re-addressing chain up to command mode, as the workflow runs it.
    bool enterCommandMode()
    {
        for (auto step : {&T_Orvel_Handler::disable_IIC, &T_Orvel_Handler::disable_SPI, &T_Orvel_Handler::switch_OFF,
                          &T_Orvel_Handler::switch_ON, &T_Orvel_Handler::enable_IIC}) {
            if (!(handler.get()->*step)())
                return false;
            wait_ms(10);
        }
        return handler->switch_command_mode();
    }
    void powerCycle()
    {
        ASSERT_TRUE(handler->switch_OFF());
        wait_ms(50);
        ASSERT_TRUE(handler->switch_ON());
    }
    void readImage()
    {
        ASSERT_NO_FATAL_FAILURE(connect());
        ASSERT_TRUE(handler->get_device_memory());
        forget();
    }
    T_DeviceMemory &image() { return handler->Get_Device().Get_memory_page(); }
};

} // namespace

TEST_F(Rewrite, NewAddressAfterWriteVerifyChecksumAndPowerCycle)
{
    ASSERT_NO_FATAL_FAILURE(readImage());
    ASSERT_TRUE(enterCommandMode());
    image().Get_COM_Config().Set_hByte(0x00);
    image().Get_COM_Config().Set_lByte(0x29);
    sim.takeTraffic();
    lines.clear();

    ASSERT_TRUE(handler->set_device_memory());
    const auto writes = writtenHeads(7);
    ASSERT_EQ(writes.size(), 24u) << "0x5E and 23 words";
    EXPECT_EQ(writes[0], (Bytes{0x02, 0xC2, 0x50, 0x5E, 0, 0, 0}));
    for (int a = 0; a <= 0x16; ++a) {
        const T_32Bit &reg = image().at(a);
        EXPECT_EQ(writes[size_t(a) + 1], (Bytes{0x02, 0xC4, 0x50, uint8_t(0x40 + a), reg.Get_hByte(), reg.Get_lByte(), 0}))
            << a;
    }
    EXPECT_EQ(lines[0], (LogLine{catCommunication, lDebug, QStringLiteral("write 0x5E : OK")}));
    EXPECT_EQ(lines[3], (LogLine{catCommunication, lDebug, QStringLiteral("Write Command COM_Config=>0x0029 : OK")}));
    EXPECT_EQ(lines.size(), 24u);

    EXPECT_TRUE(handler->compare_memory());
    lines.clear();
    EXPECT_TRUE(handler->generate_checksum());
    EXPECT_EQ(lines, (std::vector<LogLine>{{catCommunication, lDebug, QStringLiteral("write 0xAA : OK")}}));
    ASSERT_NO_FATAL_FAILURE(powerCycle());

    const iowsim_transmitter_info chip = transmitter();
    EXPECT_EQ(chip.address, 0x29);
    EXPECT_EQ(chip.current_page, 1);
    EXPECT_EQ(chip.memory_error, 0) << "the chip's checksum matches";
    ASSERT_TRUE(handler->get_slave_address());
    EXPECT_EQ(handler->Get_Device().Get_slave_addr(), 0x29);
    ASSERT_TRUE(handler->get_device_memory());
    EXPECT_EQ(handler->Get_Device().Get_memory_status().changes_left(), 2);
}

TEST_F(Rewrite, AWordThatDidNotArriveIsCaughtByTheComparison)
{
    ASSERT_NO_FATAL_FAILURE(readImage());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_IGNORE_WRITE, 0x07));
    ASSERT_TRUE(enterCommandMode());
    EXPECT_TRUE(handler->set_device_memory()) << "the chip acknowledged every word";
    EXPECT_FALSE(handler->compare_memory());
    EXPECT_EQ(handler->Get_Device().Get_verify_memory_page().Get_Tcg().value(), 0);
}

TEST_F(Rewrite, ComparisonCoversTheAddressWordButNotTheChecksum)
{
    ASSERT_NO_FATAL_FAILURE(readImage());
    image().Get_checksum().setValue(0x1234);
    EXPECT_TRUE(handler->compare_memory());
    image().Get_COM_Config().setValue(0x0077);
    EXPECT_FALSE(handler->compare_memory()) << "the address word is what re-addressing writes";
    image().Get_COM_Config().setValue(0x0028);
    image().Get_scaling4().Set_lByte(1);
    EXPECT_FALSE(handler->compare_memory());
}

TEST_F(Rewrite, AReadBackWordThatFailedFailsTheComparison)
{
    ASSERT_NO_FATAL_FAILURE(readImage());
    ASSERT_TRUE(handler->compare_memory());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_READ_AFTER, 0x13));
    EXPECT_FALSE(handler->compare_memory()) << "its old value in the read-back image proves nothing";
}

TEST_F(Rewrite, ARefusedWordOrPageFailsTheWrite)
{
    struct {
        int command;
        size_t words; // word writes sent
    } cases[] = {{0x5E, 0}, {0x42, 23}, {0x56, 23}};
    for (const auto &c : cases) {
        ASSERT_NO_FATAL_FAILURE(readImage());
        ASSERT_TRUE(enterCommandMode());
        ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_COMMAND, c.command));
        forget();
        EXPECT_FALSE(handler->set_device_memory()) << std::hex << c.command;
        size_t words = 0;
        for (const Bytes &head : writtenHeads(4))
            words += head[0] == 0x02 && head[3] >= 0x40 && head[3] <= 0x56;
        EXPECT_EQ(words, c.words) << std::hex << c.command;
        sim.iowsim_clear_faults();
        powerCycle();
    }
}

TEST_F(Rewrite, NotCalibratedMeansAllComparedWordsZero)
{
    EXPECT_TRUE(handler->check_memory_is_zero());
    image().Get_COM_Config().setValue(0x28);
    image().Get_checksum().setValue(0xFFFF);
    EXPECT_TRUE(handler->check_memory_is_zero());
    image().Get_B_sign().Set_hByte(1);
    EXPECT_FALSE(handler->check_memory_is_zero());
    EXPECT_TRUE(written().empty()) << "works on the image alone";
}

TEST_F(Rewrite, ChecksumWithoutAnAdapter)
{
    EXPECT_FALSE(handler->generate_checksum());
    EXPECT_TRUE(lines.empty());
}

namespace {

struct CommandModeCase {
    const char *name;
    const char *scenario;
    std::function<void(zorbit_test::SimControl &)> fault;
    bool accepted;
    QString lastLine;
};

class CommandMode : public Rewrite, public ::testing::WithParamInterface<CommandModeCase>
{
protected:
    std::string scenario() override { return scenarioFile(GetParam().scenario); }
};

} // namespace

TEST_P(CommandMode, DecidedByTheStatusOfTheTestRead)
{
    const CommandModeCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(connect());
    if (c.fault)
        c.fault(sim);
    EXPECT_EQ(enterCommandMode(), c.accepted);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, c.lastLine);
    EXPECT_EQ(lines.back().mode, c.accepted ? lDebug : lError);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, CommandMode,
    ::testing::Values(
        CommandModeCase{"command mode", "", nullptr, true,
                        QStringLiteral("Debug -> Answer Test measurement hexadecimal   0x03 0x48 0x04 0xD2")},
        CommandModeCase{"command mode with memory error", "[transmitter.t]\naddress = 0x28\nchecksum = bad\n", nullptr, true,
                        QStringLiteral("Debug -> Answer Test measurement hexadecimal   0x03 0x4C 0x04 0xD2")},
        CommandModeCase{"window missed", "[transmitter.t]\naddress = 0x28\ncommand_window_ms = 0\n", nullptr, false,
                        QStringLiteral("ERROR execute read after 0xA9 command : STATUS=0x40")},
        CommandModeCase{"busy", "",
                        [](zorbit_test::SimControl &s) { s.iowsim_set_fault(0, IOWSIM_FAULT_HOLD_BUSY, 1); }, false,
                        QStringLiteral("ERROR execute read after 0xA9 command : STATUS=0x68")}),
    [](const auto &info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

TEST_F(Rewrite, SilentBusGivesThreeErrorLines)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_REMOVED, 1));
    EXPECT_FALSE(handler->switch_command_mode());
    EXPECT_EQ(lines, (std::vector<LogLine>{
                         {catCommunication, lError, QStringLiteral("execute 0xA9 command : ERROR_ACK")},
                         {catCommunication, lError, QStringLiteral("execute Test  prepare command : ERROR_ACK")},
                         {catCommunication, lError, QStringLiteral("execute read after 0xA9 command : ERROR_ACK")},
                     }));
}
