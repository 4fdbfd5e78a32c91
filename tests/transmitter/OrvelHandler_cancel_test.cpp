// Cancelling the handler for shutdown in the middle of an operation: the operation fails at
// once, sends nothing more and files no error line, as nothing went wrong on the bus.
#include "handler_fixture.h"

#include <functional>
#include <ostream>
#include <string>

namespace {

struct CancelCase {
    const char *name;
    std::function<bool(T_Orvel_Handler &h)> operation;
};

std::ostream &operator<<(std::ostream &os, const CancelCase &c)
{
    return os << c.name;
}

const CancelCase CancelCases[] = {
    {"Identity", [](T_Orvel_Handler &h) { return h.get_device_scaling(); }},
    {"MemoryImage", [](T_Orvel_Handler &h) { return h.get_device_memory(); }},
    {"Measurement", [](T_Orvel_Handler &h) { return h.get_measurement(); }},
    {"CommandMode", [](T_Orvel_Handler &h) { return h.switch_command_mode(); }},
    {"Write", [](T_Orvel_Handler &h) { return h.set_device_memory(); }},
};

class Cancelled : public HandlerOnSim, public ::testing::WithParamInterface<CancelCase>
{
protected:
    void SetUp() override
    {
        HandlerOnSim::SetUp();
        // The library is the process's: the fixture's handler goes before this one loads it.
        handler.reset();
        handler = std::make_unique<T_Orvel_Handler>([this](TCategory c, TMode m, const QString &text) {
            lines.push_back({c, m, text});
            // The first transaction went through: the shutdown comes now.
            if (armed && m == lDebug && !cancelled) {
                cancelled = true;
                handler->cancel();
                sim.iowsim_clear_traffic();
            }
        });
    }

    bool armed = false;
    bool cancelled = false;
};

} // namespace

TEST_P(Cancelled, OperationStopsWithoutAnErrorLine)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_EQ(handler->Get_Device().Get_slave_addr(), 0x28);
    armed = true;
    EXPECT_FALSE(GetParam().operation(*handler));
    ASSERT_TRUE(cancelled) << "one transaction ran before the cancel";
    EXPECT_TRUE(written().empty()) << "nothing sent after the cancel";
    for (const LogLine &line : lines)
        EXPECT_NE(line.mode, lError) << line.text.toStdString();
    EXPECT_FALSE(handler->Get_adapter_lost());
    // Closing still works.
    handler->unload();
    EXPECT_EQ(adapter().open, 0);
}

INSTANTIATE_TEST_SUITE_P(Operations, Cancelled, ::testing::ValuesIn(CancelCases),
                         [](const ::testing::TestParamInfo<CancelCase> &info) { return std::string(info.param.name); });
