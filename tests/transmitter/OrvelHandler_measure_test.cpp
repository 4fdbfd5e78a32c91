#include "handler_fixture.h"

using Measurement = HandlerOnSim;

TEST_F(Measurement, StoresRawAndConvertedValues)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(handler->get_device_scaling());
    ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0x8000, 0x4000));
    lines.clear();
    sim.takeTraffic();
    ASSERT_TRUE(handler->get_measurement());
    const T_OrvelDevice &d = handler->Get_Device();
    EXPECT_EQ(d.Get_pressure_U16_raw(), 0x8000);
    EXPECT_DOUBLE_EQ(d.Get_pressure(), 5.0);
    EXPECT_DOUBLE_EQ(d.Get_temperature(), 0.0);
    EXPECT_EQ(d.Get_status(), 0x40);
    EXPECT_EQ(lines, (std::vector<LogLine>{
                         {catCommunication, lDebug, QStringLiteral("execute measurement prepare command : OK -> ")},
                         {catCommunication, lDebug, QStringLiteral("execute measurement read command : OK -> ")},
                     }));
}

TEST_F(Measurement, BusyAnswerIsStoredAndRefused)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(handler->get_device_scaling());
    ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0xC000, 0x4010));
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_HOLD_BUSY, 1));
    lines.clear();
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_DOUBLE_EQ(handler->Get_Device().Get_pressure(), 10.0);
    EXPECT_EQ(lines.back(),
              (LogLine{catCommunication, lError, QStringLiteral("ERROR execute measurement read command : STATUS=0x60")}));
}

TEST_F(Measurement, CommandModeAnswerIsAccepted)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(handler->switch_OFF());
    ASSERT_TRUE(handler->switch_ON());
    ASSERT_TRUE(handler->switch_command_mode());
    EXPECT_TRUE(handler->get_measurement());
    EXPECT_EQ(handler->Get_Device().Get_status(), 0x48);
}

TEST_F(Measurement, ARefusedMeasureCommandIsAFailedMeasurement)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0x9000, 0x4000));
    ASSERT_TRUE(handler->get_measurement());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_COMMAND, 0xAC));
    ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0x1000, 0x2000));
    forget();
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_EQ(lines, (std::vector<LogLine>{{catCommunication, lError,
                                            QStringLiteral("execute measurement prepare command : ERROR_ACK")}}));
    EXPECT_EQ(writtenHeads(1), (std::vector<Bytes>{{0x02}})) << "nothing measured, nothing to read";
    EXPECT_EQ(handler->Get_Device().Get_pressure_U16_raw(), 0x9000) << "the last delivered value stays";
}

TEST_F(Measurement, LostTransmitterKeepsTheLastValues)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0x9000, 0x4000));
    ASSERT_TRUE(handler->get_measurement());
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_REMOVED, 1));
    lines.clear();
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_EQ(handler->Get_Device().Get_pressure_U16_raw(), 0x9000);
    EXPECT_EQ(lines.back(), (LogLine{catCommunication, lError, QStringLiteral("execute measurement prepare command : ERROR_ACK")}));
}
