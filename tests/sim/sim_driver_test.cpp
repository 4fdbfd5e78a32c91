// What the maker's library and the kernel driver do beyond single requests: unread answers kept
// across closing and opening, late answers, the read timeout before one is set, no cancelling,
// and descriptor 0 closed with the adapter.
#include "sim_bus.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <thread>

namespace zorbit_test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

using SimDriver = SimBusTest;

constexpr std::uint8_t kNobody = 0x29;

// Writes a read request without reading its answer.
void sendRead(SimBusTest &t, std::uint8_t address, std::uint8_t count) {
    ASSERT_EQ(t.writeReport(1, {0x03, count, static_cast<std::uint8_t>(address * 2 + 1)}), 64UL);
}

Bytes readNow(SimBusTest &t) {
    char report[64] = {};
    const unsigned long length = t.sim.IowKitReadNonBlocking(t.handle, 1, report, 64);
    return Bytes(report, report + length);
}

bool descriptorZeroOpen() {
    return fcntl(0, F_GETFD) != -1;
}

TEST_F(SimDriver, UnreadAnswersSurviveClosingAndOpeningAgain) {
    sendRead(*this, kMainAddress, 2);
    sim.IowKitCloseDevice(handle);
    handle = sim.IowKitOpenDevice();
    ASSERT_NE(handle, nullptr);
    sendRead(*this, kNobody, 2);
    ASSERT_NE(sim.IowKitOpenDevice(), nullptr) << "opening an open adapter closes it first";
    const Bytes first = readNow(*this);
    ASSERT_EQ(first.size(), 64U);
    EXPECT_EQ((Bytes{first[0], first[1]}), (Bytes{0x03, 0x02})) << "the answer from before the close";
    const Bytes second = readNow(*this);
    ASSERT_EQ(second.size(), 64U);
    EXPECT_EQ(second[1], 0x80);
    EXPECT_TRUE(readNow(*this).empty());
}

TEST_F(SimDriver, KernelKeepsSixteenAnswersAndDropsTheOldest) {
    for (std::uint8_t count = 1; count <= 20; ++count) sendRead(*this, kMainAddress, count);
    Bytes flags;
    for (Bytes answer = readNow(*this); !answer.empty(); answer = readNow(*this)) flags.push_back(answer[1]);
    Bytes expected;
    for (std::uint8_t count = 5; count <= 20; ++count) expected.push_back(count);
    EXPECT_EQ(flags, expected);
}

TEST_F(SimDriver, ReadWaitsForEverUntilATimeoutIsSet) {
    sim.IowKitCloseDevice(handle);
    handle = sim.IowKitOpenDevice();
    ASSERT_NE(handle, nullptr);
    iowsim_adapter_info info{};
    sim.iowsim_get_adapter(&info);
    EXPECT_EQ(info.read_timeout_ms, IOWSIM_TIMEOUT_INFINITE);
    auto reader = std::async(std::launch::async, [this] { return readReport(1).size(); });
    EXPECT_EQ(reader.wait_for(milliseconds(1300)), std::future_status::timeout)
        << "still waiting after more than any timeout the program sets";
    sim.IowKitCloseDevice(handle);
    EXPECT_EQ(reader.get(), 0U);
    handle = sim.IowKitOpenDevice();
    sim.IowKitSetTimeout(handle, 120);
    sim.iowsim_get_adapter(&info);
    EXPECT_EQ(info.read_timeout_ms, 120UL);
}

TEST_F(SimDriver, LateAnswerComesAfterItsDelayAndLaterAnswersQueueBehindIt) {
    struct Case {
        const char *name;
        const char *scenario;  // empty: the control call
    } const cases[] = {{"control call", ""}, {"scenario", "[adapter]\nlate_answer = 2 250\n[transmitter.t]\n"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(restart(c.scenario));
        if (std::string(c.scenario).empty()) sim.iowsim_delay_answer(2, 250);
        sim.IowKitSetTimeout(handle, 60);
        EXPECT_EQ(i2cRead(kMainAddress, 2).at(0), 0x02) << "the first answer is in time";
        const auto asked = Clock::now();
        EXPECT_TRUE(i2cRead(kMainAddress, 3).empty()) << "the second misses its read";
        sendRead(*this, kNobody, 2);
        sim.IowKitSetTimeout(handle, 1000);
        const Bytes late = readReport(1);
        ASSERT_EQ(late.size(), 64U);
        EXPECT_EQ(late[1], 0x03) << "the late answer comes before the answer to the next request";
        EXPECT_GE(Clock::now() - asked, milliseconds(240));
        EXPECT_EQ(readReport(1).at(1), 0x80);
        EXPECT_EQ(i2cRead(kMainAddress, 2).at(0), 0x02) << "one answer only is late";
    }
}

TEST_F(SimDriver, CloseDescriptorZeroAsTheLibraryDoes) {
    struct Case {
        const char *name;
        bool closes;
        const char *scenario;
        int control;  // -1: leave the setting alone
    } const cases[] = {
        {"default", true, "", -1},
        {"switched off by control call", false, "", 0},
        {"switched off by scenario", false, "[adapter]\nclose_descriptor_zero = false\n[transmitter.t]\n", -1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(restart(c.scenario));
        if (c.control >= 0) sim.iowsim_set_close_descriptor_zero(c.control);
        reopenDescriptorZero();
        sim.IowKitCloseDevice(handle);
        EXPECT_EQ(descriptorZeroOpen(), !c.closes) << "closing";
        reopenDescriptorZero();
        handle = sim.IowKitOpenDevice();
        EXPECT_TRUE(descriptorZeroOpen()) << "opening a closed adapter closes nothing";
        handle = sim.IowKitOpenDevice();
        EXPECT_EQ(descriptorZeroOpen(), !c.closes) << "opening an open adapter closes it first";
    }
}

}  // namespace
}  // namespace zorbit_test
