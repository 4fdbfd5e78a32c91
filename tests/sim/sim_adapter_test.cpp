// The simulated adapter as the program sees it: identity, report sizes,
// blocking reads, the I2C function, the probe and the supply pins.
#include "sim_bus.h"

#include <chrono>
#include <cstring>
#include <future>
#include <thread>

namespace zorbit_test {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

long elapsedMs(Clock::time_point since) {
    return static_cast<long>(std::chrono::duration_cast<milliseconds>(Clock::now() - since).count());
}

TEST(SimLibrary, LoaderFindsEveryEntryPointByName) {
    SimControl sim;
    EXPECT_TRUE(sim.loaded()) << sim.error();
}

TEST(SimLibrary, MissingLibraryIsReported) {
    SimControl sim("libiowkit-absent.so.1");
    EXPECT_FALSE(sim.loaded());
    EXPECT_EQ(sim.IowKitOpenDevice, nullptr);
}

using SimAdapter = SimBusTest;

TEST_F(SimAdapter, OpenAdapterReportsItsIdentity) {
    EXPECT_EQ(sim.IowKitGetProductId(handle), 0x1503UL);
    EXPECT_EQ(sim.IowKitGetNumDevs(), 1UL);
    EXPECT_EQ(sim.IowKitGetDeviceHandle(1), handle);
    EXPECT_NE(sim.IowKitGetRevision(handle), 0UL);
    ASSERT_NE(sim.IowKitVersion(), nullptr);

    unsigned short serial[IOWKIT_SERIAL_NUMBER_UNITS];
    std::fill(std::begin(serial), std::end(serial), 0xAAAA);
    ASSERT_TRUE(sim.IowKitGetSerialNumber(handle, serial));
    const std::u16string expected = u"0000C0DE";
    EXPECT_EQ(std::u16string(serial, serial + 8), expected);
    EXPECT_EQ(serial[8], 0);
}

TEST_F(SimAdapter, ClosedOrForeignHandleIsRefused) {
    char report[64] = {0x01, 0x01};
    int foreign = 0;
    for (IOWKIT_HANDLE bad : {static_cast<IOWKIT_HANDLE>(nullptr), static_cast<IOWKIT_HANDLE>(&foreign)}) {
        EXPECT_EQ(sim.IowKitWrite(bad, 1, report, 64), 0UL);
        EXPECT_EQ(sim.IowKitRead(bad, 1, report, 64), 0UL);
        EXPECT_EQ(sim.IowKitGetProductId(bad), 0UL);
        EXPECT_FALSE(sim.IowKitSetTimeout(bad, 10));
    }
    sim.IowKitCloseDevice(handle);
    EXPECT_EQ(sim.IowKitWrite(handle, 1, report, 64), 0UL);
    EXPECT_EQ(sim.IowKitGetNumDevs(), 0UL);
    EXPECT_EQ(sim.IowKitOpenDevice(), handle) << "reopening gives the adapter back";
}

TEST_F(SimAdapter, WritesTakeWholeReportsOnly) {
    struct Case {
        unsigned long pipe, length, taken;
    } const cases[] = {{1, 64, 64}, {0, 8, 8}, {1, 63, 0}, {0, 7, 0}, {1, 128, 128}, {2, 64, 0}};
    for (const Case &c : cases) {
        char buffer[128] = {};
        buffer[0] = c.pipe == 1 ? 0x08 : 0x00;  // SPI off, or all pins low
        buffer[64] = 0x08;
        EXPECT_EQ(sim.IowKitWrite(handle, c.pipe, buffer, c.length), c.taken) << c.pipe << "/" << c.length;
    }
}

TEST_F(SimAdapter, ReadWithoutAnswerWaitsForTheTimeoutAndLeavesTheBuffer) {
    sim.IowKitSetTimeout(handle, 80);
    char buffer[64];
    std::memset(buffer, 0x5A, sizeof buffer);
    const auto start = Clock::now();
    EXPECT_EQ(sim.IowKitRead(handle, 1, buffer, 64), 0UL);
    const long waited = elapsedMs(start);
    EXPECT_GE(waited, 75);
    EXPECT_LT(waited, 1000);
    for (char c : buffer) ASSERT_EQ(c, 0x5A);
}

TEST_F(SimAdapter, PendingAnswerWakesABlockedReadAtOnce) {
    sim.iowsim_set_latency_ms(40);
    sim.IowKitSetTimeout(handle, 3000);
    auto reader = std::async(std::launch::async, [this] {
        const Bytes answer = readReport(1);
        return std::make_pair(answer, Clock::now());
    });
    std::this_thread::sleep_for(milliseconds(20));
    char probe[64] = {0x03, 0x02, kMainAddress * 2 + 1};
    const auto start = Clock::now();
    ASSERT_EQ(sim.IowKitWrite(handle, 1, probe, 64), 64UL);
    const auto written = Clock::now();
    EXPECT_GE(written - start, milliseconds(38)) << "the write itself takes one latency";
    const auto [answer, answered] = reader.get();
    ASSERT_EQ(answer.size(), 64U);
    EXPECT_EQ(answer[1], 0x02);
    EXPECT_GE(answered - written, milliseconds(35)) << "the answer takes one more latency";
    EXPECT_LT(answered - written, milliseconds(1000)) << "woken by the answer, not by the timeout";
}

TEST_F(SimAdapter, ZeroLatencyAnswerIsThereImmediately) {
    char probe[64] = {0x03, 0x02, kMainAddress * 2 + 1};
    ASSERT_EQ(sim.IowKitWrite(handle, 1, probe, 64), 64UL);
    char answer[64] = {};
    EXPECT_EQ(sim.IowKitReadNonBlocking(handle, 1, answer, 64), 64UL);
    EXPECT_EQ(answer[0], 0x03);
    EXPECT_EQ(sim.IowKitReadNonBlocking(handle, 1, answer, 64), 0UL);
}

TEST_F(SimAdapter, AnswerWaitsForTheLatency) {
    sim.iowsim_set_latency_ms(30);
    char probe[64] = {0x03, 0x02, kMainAddress * 2 + 1};
    ASSERT_EQ(sim.IowKitWrite(handle, 1, probe, 64), 64UL);
    char answer[64] = {};
    EXPECT_EQ(sim.IowKitReadNonBlocking(handle, 1, answer, 64), 0UL);
    std::this_thread::sleep_for(milliseconds(40));
    EXPECT_EQ(sim.IowKitReadNonBlocking(handle, 1, answer, 64), 64UL);
}

TEST_F(SimAdapter, CloseEndsAWaitingReadButCancelIsNotSupported) {
    for (bool close : {false, true}) {
        SCOPED_TRACE(close ? "close" : "cancel");
        sim.IowKitSetTimeout(handle, close ? 5000 : 300);
        auto reader = std::async(std::launch::async, [this] {
            const auto start = Clock::now();
            const std::size_t length = readReport(1).size();
            return std::make_pair(length, elapsedMs(start));
        });
        std::this_thread::sleep_for(milliseconds(50));
        if (close)
            sim.IowKitCloseDevice(handle);
        else
            EXPECT_FALSE(sim.IowKitCancelIo(handle, 1)) << "the library on Linux cannot cancel";
        const auto [length, waited] = reader.get();
        EXPECT_EQ(length, 0U);
        if (close)
            EXPECT_LT(waited, 2000);
        else
            EXPECT_GE(waited, 290) << "the read ran to its timeout";
    }
}

TEST_F(SimAdapter, I2cRequestsNeedTheI2cFunction) {
    sim.IowKitSetTimeout(handle, 30);
    setI2c(false);
    EXPECT_EQ(i2cWrite(kMainAddress, {0x00}), kNoAnswer);
    EXPECT_TRUE(i2cRead(kMainAddress, 2).empty());
    setI2c(true);
    EXPECT_EQ(i2cWrite(kMainAddress, {0x00}), 0x00);
    EXPECT_EQ(i2cRead(kMainAddress, 2).at(0), 0x02);

    iowsim_adapter_info info{};
    writeReport(1, {0x08, 0x01});
    sim.iowsim_get_adapter(&info);
    EXPECT_TRUE(info.spi_enabled);
    writeReport(1, {0x08, 0x00});
    sim.iowsim_get_adapter(&info);
    EXPECT_FALSE(info.spi_enabled);
    EXPECT_TRUE(info.i2c_enabled);
    EXPECT_TRUE(readReport(1).empty()) << "function switches are not answered";
}

TEST_F(SimAdapter, ProbeFindsOnlyTheTransmitterAddress) {
    EXPECT_EQ(scan(), std::vector<int>{kMainAddress});
    const Bytes nobody = i2cRead(0x29, 2);
    ASSERT_FALSE(nobody.empty());
    EXPECT_EQ(nobody[0], 0x80);
    EXPECT_EQ(i2cWrite(0x29, {0x00}), 0x80);
}

TEST_F(SimAdapter, ReadAnswerCarriesTheByteCount) {
    for (std::uint8_t count : {1, 3, 5, 62}) {
        const Bytes answer = i2cRead(kMainAddress, count);
        ASSERT_FALSE(answer.empty());
        EXPECT_EQ(answer[0], count);
    }
    EXPECT_EQ(i2cRead(kMainAddress, 0).at(0), 0x80);
    EXPECT_EQ(i2cRead(kMainAddress, 63).at(0), 0x80);
}

TEST_F(SimAdapter, SupplyFollowsTheSwitchedPins) {
    setSupply(false);
    EXPECT_FALSE(transmitter(0).powered);
    EXPECT_EQ(i2cRead(kMainAddress, 2).at(0), 0x80);
    setSupply(true);
    EXPECT_TRUE(transmitter(0).powered);
    EXPECT_EQ(i2cRead(kMainAddress, 2).at(0), 0x02);

    iowsim_adapter_info info{};
    sim.iowsim_get_adapter(&info);
    const unsigned char on_pins[7] = {0xFF, 0xA0, 0xFF, 0xFF, 0xFF, 0x08, 0xFF};
    EXPECT_EQ(std::memcmp(info.pins, on_pins, 7), 0);
}

TEST_F(SimAdapter, ControlCallsDuringABlockedReadDoNotWaitForIt) {
    sim.IowKitSetTimeout(handle, 400);
    auto reader = std::async(std::launch::async, [this] { return readReport(1).size(); });
    std::this_thread::sleep_for(milliseconds(30));
    const auto start = Clock::now();
    for (int i = 0; i < 50; ++i) {
        sim.iowsim_set_fault(0, IOWSIM_FAULT_HOLD_BUSY, i % 2);
        iowsim_transmitter_info info{};
        sim.iowsim_get_transmitter(0, &info);
    }
    EXPECT_LT(elapsedMs(start), 300);
    EXPECT_EQ(reader.get(), 0U);
}

}  // namespace
}  // namespace zorbit_test
