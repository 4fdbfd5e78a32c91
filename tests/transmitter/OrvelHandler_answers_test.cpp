// The adapter's answers as the real library delivers them: late, missing, for another request,
// with lost arbitration; an adapter that stopped answering; threads sharing the bus.
#include "handler_fixture.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int MainAddress = 0x28;
constexpr uint16_t PressureRaw = 0x9000, TemperatureRaw = 0x4000;

// I²C requests of one cycle over the default bus: 128 probes, 7 identity words, 24 memory words
// and the memory status (a command and a read each), the measurement command and its read.
constexpr int RequestsPerCycle = 128 + 2 * 7 + 2 * 25 + 2;

class Answers : public HandlerOnSim
{
protected:
    struct Cycle {
        bool scanned = false, scaled = false, memory = false, measured = false;
        std::vector<int> listed;
    };

    void SetUp() override
    {
        HandlerOnSim::SetUp();
        ASSERT_TRUE(sim.iowsim_set_signal(0, 1, PressureRaw, TemperatureRaw));
    }

    // As the scan worker runs it after a failure: the power-up chain, the scan, then each step
    // only while the ones before it succeeded.
    Cycle cycle()
    {
        Cycle c;
        T_Orvel_Handler &h = *handler;
        if (!(h.detect_dongle() && h.disable_SPI() && h.disable_IIC() && h.switch_OFF() && h.switch_ON() &&
              h.enable_IIC()))
            return c;
        c.scanned = h.get_slave_address();
        for (const T_SlaveAddr &a : h.Get_slave_addr_list())
            c.listed.push_back(a.Get_int_Addr());
        c.scaled = c.scanned && h.get_device_scaling();
        c.memory = c.scaled && h.get_device_memory();
        c.measured = c.memory && h.get_measurement();
        return c;
    }

    // What the program took for true must be the transmitter's own data.
    void expectOnlyTheRealTransmitter(const Cycle &c)
    {
        for (int address : c.listed)
            EXPECT_EQ(address, MainAddress) << "listed a transmitter that is not on the bus";
        const T_OrvelDevice &d = handler->Get_Device();
        if (c.scanned) {
            EXPECT_EQ(d.Get_slave_addr(), MainAddress);
        }
        if (c.scaled) {
            EXPECT_EQ(handler->Get_ProductString(), QStringLiteral("F01234E07P0056"));
            EXPECT_EQ(d.Get_pmax(), 10.0);
        }
        if (c.memory) {
            const iowsim_transmitter_info info = transmitter();
            T_DeviceMemory &image = handler->Get_Device().Get_memory_page();
            for (int w = 0; w < IOWSIM_WORDS_PER_PAGE; ++w)
                EXPECT_EQ(image.at(w).value(), info.pages[info.current_page][w]) << "word " << w;
        }
        if (c.measured) {
            EXPECT_EQ(d.Get_pressure_U16_raw(), PressureRaw);
            EXPECT_EQ(d.Get_temperature_U16_raw(), TemperatureRaw);
            EXPECT_EQ(d.Get_status(), 0x40);
        }
        // Apart from the probes, every request goes to the transmitter on the bus.
        for (const Report &r : written(4)) {
            const bool probe = r.head[0] == 0x03 && r.head[1] == 0x02;
            if (r.pipe == 1 && (r.head[0] == 0x02 || (r.head[0] == 0x03 && !probe))) {
                EXPECT_EQ(r.head[2] >> 1, MainAddress);
            }
        }
    }

    void expectCompleteCycle(const Cycle &c)
    {
        EXPECT_TRUE(c.scanned);
        EXPECT_TRUE(c.scaled);
        EXPECT_TRUE(c.memory);
        EXPECT_TRUE(c.measured);
        EXPECT_EQ(c.listed, std::vector<int>{MainAddress});
    }
};

TEST_F(Answers, CycleHasTheCountedRequests)
{
    const Cycle c = cycle();
    expectCompleteCycle(c);
    int requests = 0;
    for (const Report &r : written(1))
        requests += r.pipe == 1 && (r.head[0] == 0x02 || r.head[0] == 0x03);
    EXPECT_EQ(requests, RequestsPerCycle);
}

TEST_F(Answers, LateAnswerNeverShowsATransmitterThatIsNotThere)
{
    struct Case {
        const char *where;
        unsigned long request; // 1 = the first probe of the cycle
    } const cases[] = {
        {"probe of 0x00", 1},           {"probe of 0x27", 40},          {"probe of 0x28", 41},
        {"probe of 0x29", 42},          {"first identity command", 129}, {"first identity read", 130},
        {"a memory word read", 160},    {"memory status read", 192},    {"measurement command", 193},
        {"measurement read", 194},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.where);
        forget();
        // Longer than any read timeout the handler sets.
        sim.iowsim_delay_answer(c.request, 1200);
        const Cycle late = cycle();
        expectOnlyTheRealTransmitter(late);
        forget();
        const Cycle next = cycle();
        expectCompleteCycle(next);
        expectOnlyTheRealTransmitter(next);
    }
}

TEST_F(Answers, TimedOutReadFailsAndLeavesTheModel)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(handler->get_measurement());
    ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0x1234, 0x2345));
    sim.iowsim_delay_answer(2, 1000); // the read's answer comes after its timeout
    lines.clear();
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_EQ(handler->Get_Device().Get_pressure_U16_raw(), PressureRaw) << "nothing was read";
    EXPECT_EQ(handler->Get_Device().Get_status(), 0x40);
    EXPECT_EQ(lines, (std::vector<LogLine>{
                         {catCommunication, lDebug, QStringLiteral("execute measurement prepare command : OK -> ")},
                         {catCommunication, lError, QStringLiteral("execute measurement read command : NO_ANSWER")},
                     }));
    EXPECT_FALSE(handler->Get_adapter_lost()) << "one request only";
}

TEST_F(Answers, AnswerToAnotherRequestFails)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    // A write request the handler does not know of, answered just after the handler's read request.
    sim.iowsim_delay_answer(1, 50);
    char foreign[64] = {0x02, char(0xC2), char(MainAddress * 2), 0x01};
    ASSERT_EQ(sim.IowKitWrite(sim.IowKitGetDeviceHandle(1), 1, foreign, 64), 64u);
    T_Orvel_Handler::ReadBuffer buffer;
    std::memset(buffer, 0xAA, sizeof buffer);
    EXPECT_EQ(HandlerProbe::read(*handler, MainAddress, 3, buffer), 3) << "ReportID 0x02 answers no read";
    EXPECT_EQ(std::count(std::begin(buffer), std::end(buffer), 0), T_Orvel_Handler::ReadBufferSize);
    lines.clear();
    ASSERT_EQ(HandlerProbe::read(*handler, MainAddress, 3, buffer), 0) << "the read's own answer was stale";
    EXPECT_EQ(buffer[1], 0x40);
    EXPECT_EQ(lines, (std::vector<LogLine>{{catCommunication, lDebug, QStringLiteral("Stale answer reports discarded : 1")}}));
}

TEST_F(Answers, LostArbitrationAloneIsAnError)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_ARBITRATION_LOST, 1));
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_EQ(lines.back(),
              (LogLine{catCommunication, lError, QStringLiteral("execute measurement prepare command : ERROR_ARBLOS")}));
    EXPECT_FALSE(handler->get_slave_address()) << "no address answers while arbitration is lost";
    EXPECT_FALSE(handler->Get_adapter_lost()) << "the adapter answered";
}

TEST_F(Answers, ThreeRequestsWithoutAnswerLoseTheAdapterUntilItIsOpenedAgain)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_DROP_ANSWERS, 1));
    ASSERT_TRUE(handler->detect_dongle()); // the read timeout of a fresh cycle
    const auto start = Clock::now();
    EXPECT_FALSE(handler->get_slave_address());
    const auto waited = Clock::now() - start;
    EXPECT_TRUE(handler->Get_adapter_lost());
    EXPECT_EQ(written().size(), 3u) << "the scan stops after the third probe";
    // The first probe waits the short answer timeout, the next ones the long one, as an
    // answer is owed to the first by then.
    EXPECT_GE(waited, milliseconds(250 + 2 * 1000 - 50));
    EXPECT_LT(waited, milliseconds(3000));
    EXPECT_EQ(lines.back(), (LogLine{catCommunication, lError,
                                     QStringLiteral("No answer from the adapter to 3 requests in a row : adapter lost")}));

    lines.clear();
    T_Orvel_Handler::ReadBuffer buffer;
    EXPECT_EQ(HandlerProbe::read(*handler, MainAddress, 3, buffer), 3);
    EXPECT_FALSE(handler->get_device_scaling());
    EXPECT_FALSE(handler->get_device_memory());
    EXPECT_FALSE(handler->get_measurement());
    EXPECT_FALSE(handler->enable_IIC());
    EXPECT_FALSE(handler->switch_ON());
    EXPECT_TRUE(written().empty()) << "a lost adapter is not asked again";
    EXPECT_TRUE(lines.empty());
    handler->unload();
    EXPECT_TRUE(written().empty()) << "closed without the switch-off it would not take";
    EXPECT_EQ(adapter().open, 0);

    sim.iowsim_clear_faults();
    ASSERT_TRUE(handler->detect_dongle());
    EXPECT_FALSE(handler->Get_adapter_lost());
    ASSERT_TRUE(handler->enable_IIC());
    EXPECT_TRUE(handler->get_slave_address());
    EXPECT_EQ(handler->Get_Device().Get_slave_addr(), MainAddress);
    EXPECT_TRUE(handler->get_measurement());
}

TEST_F(Answers, OnlyRequestsInARowWithoutAnswerCount)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    T_Orvel_Handler::ReadBuffer buffer;
    ASSERT_EQ(HandlerProbe::read(*handler, MainAddress, 3, buffer), 0); // read timeout 250 ms
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        sim.iowsim_delay_answer(1, 600);
        EXPECT_EQ(HandlerProbe::write_cmd(*handler, MainAddress, 0x01), 3);
        EXPECT_EQ(HandlerProbe::read(*handler, MainAddress, 3, buffer), 3) << "queued behind the late answer";
        EXPECT_EQ(HandlerProbe::write_cmd(*handler, MainAddress, 0x01), 0) << "after both earlier answers, its own";
    }
    EXPECT_FALSE(handler->Get_adapter_lost()) << "six requests without answer, never three in a row";
    EXPECT_EQ(HandlerProbe::read(*handler, MainAddress, 3, buffer), 0);
}

TEST_F(Answers, ScanCycleOverASilentAdapterCostsThreeReadTimeouts)
{
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_DROP_ANSWERS, 1));
    const auto start = Clock::now();
    const Cycle c = cycle();
    const auto waited = Clock::now() - start;
    EXPECT_FALSE(c.scanned);
    EXPECT_TRUE(handler->Get_adapter_lost());
    EXPECT_LT(waited, milliseconds(4000));
}

// Two threads on one handler: every request is followed by its own answer on the bus.
TEST_F(Answers, TransactionsOfTwoThreadsDoNotInterleave)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    sim.iowsim_set_latency_ms(1);
    auto work = [this](uint8_t command) {
        int failures = 0;
        for (int i = 0; i < 30; ++i) {
            T_Orvel_Handler::ReadBuffer buffer;
            failures += HandlerProbe::write_cmd(*handler, MainAddress, command) != 0;
            failures += HandlerProbe::read(*handler, MainAddress, 3, buffer) != 0;
        }
        return failures;
    };
    int failuresA = 0, failuresB = 0;
    std::thread a([&] { failuresA = work(0x00); });
    std::thread b([&] { failuresB = work(0x01); });
    a.join();
    b.join();
    EXPECT_EQ(failuresA + failuresB, 0);
    const auto traffic = sim.takeTraffic();
    ASSERT_EQ(traffic.size(), 2u * 2 * 2 * 30);
    for (size_t i = 0; i + 1 < traffic.size(); i += 2) {
        ASSERT_EQ(traffic[i].direction, IOWSIM_TO_ADAPTER) << i;
        ASSERT_EQ(traffic[i + 1].direction, IOWSIM_FROM_ADAPTER) << i;
        EXPECT_EQ(traffic[i + 1].data[0], traffic[i].data[0]) << "answer of the same kind";
    }
}

} // namespace
