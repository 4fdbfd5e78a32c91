#include "handler_fixture.h"

#include <cstring>

TEST(HandlerResults, FlagByteToResultCodeAndItsWord)
{
    struct {
        uint8_t flags;
        int result;
        const char *word;
    } cases[] = {{0x00, 0, "OK"}, {0x03, 0, "OK"}, {0x3F, 0, "OK"}, {0x80, 1, "ERROR_ACK"},
                 {0x82, 1, "ERROR_ACK"}, {0x40, 2, "ERROR_ARBLOS"}, {0x42, 2, "ERROR_ARBLOS"},
                 {0xC0, 2, "ERROR_ARBLOS"}, {0xC5, 2, "ERROR_ARBLOS"}};
    for (const auto &c : cases) {
        EXPECT_EQ(T_Orvel_Handler::result_of_flags(c.flags), c.result) << int(c.flags);
        EXPECT_EQ(T_Orvel_Handler::result_text(c.result), QString::fromLatin1(c.word));
    }
    EXPECT_EQ(T_Orvel_Handler::result_text(-1), QStringLiteral("IO Handle=NIL"));
    EXPECT_EQ(T_Orvel_Handler::result_text(3), QStringLiteral("NO_ANSWER"));
}

using Link = HandlerOnSim;

TEST_F(Link, NothingIsSentBeforeDetection)
{
    EXPECT_FALSE(handler->enable_IIC());
    EXPECT_FALSE(handler->disable_IIC());
    EXPECT_FALSE(handler->switch_ON());
    EXPECT_FALSE(handler->switch_OFF());
    EXPECT_FALSE(handler->disable_SPI());
    EXPECT_FALSE(handler->get_slave_address());
    EXPECT_FALSE(handler->get_device_scaling());
    EXPECT_FALSE(handler->get_device_memory());
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_FALSE(handler->set_device_memory());
    EXPECT_FALSE(handler->compare_memory());
    EXPECT_FALSE(handler->generate_checksum());
    EXPECT_FALSE(handler->switch_command_mode());
    T_Orvel_Handler::ReadBuffer buffer;
    std::memset(buffer, 0xAA, sizeof buffer);
    EXPECT_EQ(HandlerProbe::write_cmd(*handler, 0x28, 0xAC), -1);
    EXPECT_EQ(HandlerProbe::read(*handler, 0x28, 5, buffer), -1);
    EXPECT_EQ(std::count(std::begin(buffer), std::end(buffer), 0), T_Orvel_Handler::ReadBufferSize);
    EXPECT_TRUE(written().empty());
    EXPECT_TRUE(lines.empty());
}

TEST_F(Link, DetectionReadsTheAdapterAndSetsTimeouts)
{
    ASSERT_TRUE(handler->detect_dongle());
    EXPECT_EQ(handler->Get_Product_ID(), 0x1503u);
    EXPECT_EQ(handler->Get_numDevs(), 1u);
    EXPECT_EQ(handler->Get_serial_no().size(), 8);
    EXPECT_EQ(adapter().open, 1);
    EXPECT_EQ(adapter().read_timeout_ms, 1000u);
    EXPECT_EQ(adapter().write_timeout_ms, 1000u);
    EXPECT_TRUE(lines.empty());
}

TEST_F(Link, ReportBytesOfTheAdapterOperations)
{
    ASSERT_TRUE(handler->detect_dongle());
    forget();
    struct {
        const char *name;
        std::function<bool()> operation;
        unsigned long pipe, length;
        Bytes head;
    } cases[] = {
        {"enable_IIC", [&] { return handler->enable_IIC(); }, 1, 64, {0x01, 0x01, 0x81, 0x00}},
        {"disable_IIC", [&] { return handler->disable_IIC(); }, 1, 64, {0x01, 0x00, 0x81, 0x00}},
        {"disable_SPI", [&] { return handler->disable_SPI(); }, 1, 64, {0x08, 0x00, 0x00, 0x00}},
        {"switch_ON", [&] { return handler->switch_ON(); }, 0, 8, {0x00, 0xFF, 0xA0, 0xFF, 0xFF, 0xFF, 0x08, 0xFF}},
        {"switch_OFF", [&] { return handler->switch_OFF(); }, 0, 8, Bytes(8, 0x00)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.operation());
        const auto reports = written(c.head.size());
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0].pipe, c.pipe);
        EXPECT_EQ(reports[0].length, c.length);
        EXPECT_EQ(reports[0].head, c.head);
    }
    ASSERT_TRUE(handler->disable_SPI());
    const Bytes fullSpi = written(64).at(0).head;
    EXPECT_EQ(std::count(fullSpi.begin() + 1, fullSpi.end(), 0), 63) << "63 zero bytes follow 0x08";
}

TEST_F(Link, UnloadSwitchesI2cOffClosesAndForgetsOnce)
{
    ASSERT_TRUE(handler->detect_dongle());
    forget();
    handler->unload();
    EXPECT_EQ(writtenHeads(4), (std::vector<Bytes>{{0x01, 0x00, 0x00, 0x00}}));
    EXPECT_EQ(adapter().open, 0);
    handler->unload();
    EXPECT_TRUE(written().empty()) << "the second unload sends nothing";
    EXPECT_FALSE(handler->enable_IIC());
}

TEST_F(Link, AddressBytesOfWriteAndReadRequests)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    for (uint8_t address : {uint8_t(0x7F), uint8_t(0x00), uint8_t(0x28)}) {
        SCOPED_TRACE(int(address));
        T_Orvel_Handler::ReadBuffer buffer;
        HandlerProbe::write_cmd(*handler, address, 0xAC);
        HandlerProbe::read(*handler, address, 5, buffer);
        const auto heads = writtenHeads(4);
        ASSERT_EQ(heads.size(), 2u);
        EXPECT_EQ(heads[0], (Bytes{0x02, 0xC2, uint8_t(address * 2), 0xAC}));
        EXPECT_EQ(heads[1], (Bytes{0x03, 0x05, uint8_t(address * 2 + 1), 0x00}));
    }
}

TEST_F(Link, ReadTimeoutShortensAfterTheFirstReadUntilTheNextDetection)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    EXPECT_EQ(adapter().read_timeout_ms, 250u) << "a probe's answer comes within milliseconds";
    ASSERT_TRUE(handler->detect_dongle());
    EXPECT_EQ(adapter().read_timeout_ms, 1000u);
    ASSERT_TRUE(handler->get_device_scaling());
    EXPECT_EQ(adapter().read_timeout_ms, 250u);
    ASSERT_TRUE(handler->detect_dongle());
    EXPECT_EQ(adapter().read_timeout_ms, 1000u);
    ASSERT_TRUE(handler->get_measurement());
    EXPECT_EQ(adapter().read_timeout_ms, 250u);
    ASSERT_TRUE(handler->detect_dongle());
    EXPECT_EQ(adapter().read_timeout_ms, 1000u);
}

TEST_F(Link, TransactionResultsAndTheReadBufferOnErrors)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    struct {
        const char *name;
        iowsim_fault fault;
        int writeResult, readResult;
    } cases[] = {
        {"no acknowledge", IOWSIM_FAULT_NACK_ALL, 1, 1},
        {"arbitration lost", IOWSIM_FAULT_ARBITRATION_LOST, 2, 2},
        {"answers lost", IOWSIM_FAULT_DROP_ANSWERS, 3, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        sim.iowsim_clear_faults();
        ASSERT_TRUE(sim.iowsim_set_fault(0, c.fault, 1));
        T_Orvel_Handler::ReadBuffer buffer;
        std::memset(buffer, 0xAA, sizeof buffer);
        EXPECT_EQ(HandlerProbe::write_cmd(*handler, 0x28, 0x01), c.writeResult);
        EXPECT_EQ(HandlerProbe::read(*handler, 0x28, 3, buffer), c.readResult);
        EXPECT_EQ(std::count(std::begin(buffer), std::end(buffer), 0), T_Orvel_Handler::ReadBufferSize);
    }
    sim.iowsim_clear_faults();
    ASSERT_TRUE(handler->detect_dongle()) << "an adapter that did not answer is opened again";
    EXPECT_EQ(HandlerProbe::write_cmd(*handler, 0x28, 0x01), 3)
        << "its answer is taken for one of the two that never came; then the count starts afresh";
    T_Orvel_Handler::ReadBuffer buffer;
    EXPECT_EQ(HandlerProbe::write_cmd(*handler, 0x28, 0x01), 0);
    ASSERT_EQ(HandlerProbe::read(*handler, 0x28, 3, buffer), 0);
    EXPECT_EQ(buffer[1], 0x40) << "status byte";
    EXPECT_EQ((Bytes{buffer[2], buffer[3]}), (Bytes{0x04, 0xD2})) << "Cust_ID1";
}

TEST_F(Link, AnotherAdapterModelIsOpenedButNeverUsed)
{
    sim.iowsim_set_product_id(0x1500);
    ASSERT_TRUE(handler->detect_dongle());
    EXPECT_EQ(handler->Get_Product_ID(), 0x1500u);
    forget();
    EXPECT_FALSE(handler->enable_IIC());
    EXPECT_FALSE(handler->switch_ON());
    EXPECT_FALSE(handler->get_slave_address());
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_FALSE(handler->get_device_scaling());
    T_Orvel_Handler::ReadBuffer buffer;
    EXPECT_EQ(HandlerProbe::write_cmd(*handler, 0x28, 0xAC), -1);
    EXPECT_EQ(HandlerProbe::read(*handler, 0x28, 5, buffer), -1);
    handler->unload();
    EXPECT_TRUE(written().empty());
    EXPECT_TRUE(lines.empty());
}

TEST_F(Link, NoAdapterAttached)
{
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 1));
    EXPECT_FALSE(handler->detect_dongle());
    EXPECT_FALSE(handler->enable_IIC());
    EXPECT_TRUE(lines.empty()) << "no adapter is not an error of the library";
    EXPECT_TRUE(written().empty());
}
