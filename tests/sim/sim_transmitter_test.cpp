// The simulated transmitter chip: word reads, memory status, measurement,
// command mode, page opening, re-addressing and its checksum.
#include "sim_bus.h"

#include <chrono>
#include <thread>

namespace zorbit_test {
namespace {

using std::chrono::milliseconds;
using SimTransmitter = SimBusTest;

constexpr std::uint8_t kStatusNormal = 0x40;
constexpr std::uint8_t kStatusCommand = 0x48;
constexpr std::uint8_t kStatusMemoryError = 0x04;
constexpr std::uint8_t kStatusBusy = 0x20;

TEST_F(SimTransmitter, DefaultTransmitterHoldsTheDocumentedIdentity) {
    struct Word {
        std::uint8_t address;
        std::uint16_t value;
    } const identity[] = {{0x00, 0x1C38}, {0x01, 0x04D2}, {0x02, 0x0028}, {0x12, 0x4A1D},
                          {0x13, 0x0000}, {0x14, 0x0000}, {0x15, 0x4120}, {0x16, 0x0000}};
    for (const Word &w : identity) {
        const Bytes answer = readWord(kMainAddress, w.address);
        ASSERT_EQ(answer.size(), 3U);
        EXPECT_EQ(answer[0], kStatusNormal) << int(w.address);
        EXPECT_EQ(answer[1] << 8 | answer[2], w.value) << int(w.address);
    }
    int calibration_words_set = 0;
    for (std::uint8_t w = 0x03; w <= 0x11; ++w) calibration_words_set += word(kMainAddress, w) != 0;
    EXPECT_GE(calibration_words_set, 10) << "a calibrated transmitter";
}

TEST_F(SimTransmitter, WordReadsReturnTheCurrentPage) {
    const auto expected = page(0, 0);
    for (std::uint8_t w = 0; w < 24; ++w) EXPECT_EQ(word(kMainAddress, w), expected[w]) << int(w);
    EXPECT_EQ(expected[0x17], sim.iowsim_checksum(expected.data()));
}

TEST_F(SimTransmitter, MemoryStatusGivesPageAndCorrection) {
    struct Case {
        const char *scenario;
        std::uint16_t status;
    } const cases[] = {{"[transmitter.t]\npage = 0\n", 0x0000},
                       {"[transmitter.t]\npage = 1\n", 0x2000},
                       {"[transmitter.t]\npage = 3\n", 0x6000},
                       {"[transmitter.t]\npage = 2\ndata_corrected = true\n", 0xC000}};
    for (const Case &c : cases) {
        ASSERT_TRUE(restart(c.scenario));
        const Bytes answer = readWord(kMainAddress, 0x20);
        ASSERT_EQ(answer.size(), 3U);
        EXPECT_EQ(answer[0], kStatusNormal);
        EXPECT_EQ(answer[1] << 8 | answer[2], c.status) << c.scenario;
    }
}

TEST_F(SimTransmitter, MeasurementIsBusyThenAnswersRawWords) {
    ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0x8000, 0x4000));
    ASSERT_EQ(i2cWrite(kMainAddress, {0xAC}), 0x00);
    const Bytes busy = i2cRead(kMainAddress, 5);
    ASSERT_EQ(busy.size(), 6U);
    EXPECT_EQ(busy[1], kStatusNormal | kStatusBusy) << "right after the command";
    std::this_thread::sleep_for(milliseconds(10));  // the program's own wait
    EXPECT_EQ(i2cRead(kMainAddress, 5), (Bytes{0x05, kStatusNormal, 0x80, 0x00, 0x40, 0x00}));
}

TEST_F(SimTransmitter, LiveSignalStaysPlausibleInsideTheRange) {
    for (int i = 0; i < 5; ++i) {
        i2cWrite(kMainAddress, {0xAC});
        std::this_thread::sleep_for(milliseconds(10));
        const Bytes answer = i2cRead(kMainAddress, 5);
        ASSERT_EQ(answer.size(), 6U);
        EXPECT_EQ(answer[1], kStatusNormal);
        const int pressure = answer[2] << 8 | answer[3];
        const double celsius = ((answer[4] << 8 | answer[5]) / 16 - 24) * 0.05 - 50;
        EXPECT_GT(pressure, 0x4000);
        EXPECT_LT(pressure, 0xC000);
        EXPECT_GT(celsius, 15.0);
        EXPECT_LT(celsius, 35.0);
    }
}

TEST_F(SimTransmitter, CommandModeOnlyShortlyAfterPowerUp) {
    ASSERT_TRUE(restart("[transmitter.t]\ncommand_window_ms = 60\n"));
    struct Case {
        int delay_ms;
        std::uint8_t status;
    } const cases[] = {{0, kStatusCommand}, {20, kStatusCommand}, {150, kStatusNormal}};
    for (const Case &c : cases) {
        powerCycle();
        std::this_thread::sleep_for(milliseconds(c.delay_ms));
        EXPECT_EQ(i2cWrite(kMainAddress, {0xA9}), 0x00);
        EXPECT_EQ(status(kMainAddress), c.status) << c.delay_ms << " ms after power-up";
    }
    powerCycle();
    EXPECT_EQ(status(kMainAddress), kStatusNormal) << "a power cycle ends command mode";
}

TEST_F(SimTransmitter, WordWritesNeedCommandModeAndAnOpenedPage) {
    struct Case {
        const char *name;
        bool command_mode, open_page;
        int page_written;  // -1: nothing written
    } const cases[] = {{"normal mode", false, true, -1}, {"no page opened", true, false, -1}, {"both", true, true, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(restart());
        const auto before = page(0, 0);
        powerCycle();
        if (c.command_mode) i2cWrite(kMainAddress, {0xA9});
        if (c.open_page) i2cWrite(kMainAddress, {0x5E});
        EXPECT_EQ(i2cWrite(kMainAddress, {0x45, 0x12, 0x34}), 0x00) << "acknowledged either way";
        EXPECT_EQ(page(0, 0), before);
        if (c.page_written < 0) continue;
        EXPECT_EQ(transmitter(0).current_page, c.page_written);
        const auto written = page(0, c.page_written);
        EXPECT_EQ(written[0x05], 0x1234);
        EXPECT_EQ(written[0x00], 0) << "an opened page starts blank";
        EXPECT_EQ(word(kMainAddress, 0x05), 0x1234) << "reads follow the opened page";
    }
}

TEST_F(SimTransmitter, ChecksumWordCannotBeWritten) {
    ASSERT_TRUE(enterCommandMode(kMainAddress));
    i2cWrite(kMainAddress, {0x5E});
    i2cWrite(kMainAddress, {0x57, 0xBE, 0xEF});
    EXPECT_EQ(page(0, 1)[0x17], 0);
}

TEST_F(SimTransmitter, PagesRunOutAfterThreeChanges) {
    for (int change = 1; change <= 3; ++change) {
        ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, kMainAddress));
        powerCycle();
        EXPECT_EQ(transmitter(0).current_page, change);
        EXPECT_EQ(status(kMainAddress), kStatusNormal);
    }
    const auto last = page(0, 3);
    ASSERT_TRUE(enterCommandMode(kMainAddress));
    EXPECT_EQ(i2cWrite(kMainAddress, {0x5E}), 0x00);
    EXPECT_EQ(status(kMainAddress), kStatusCommand | kStatusMemoryError) << "refused";
    i2cWrite(kMainAddress, {0x42, 0x00, 0x33});
    EXPECT_EQ(transmitter(0).current_page, 3);
    EXPECT_EQ(page(0, 3), last);
}

TEST_F(SimTransmitter, NewAddressTakesEffectOnlyAfterAPowerCycle) {
    ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, 0x00));
    EXPECT_EQ(page(0, 1)[0x02], 0x0000);
    EXPECT_EQ(scan(), std::vector<int>{kMainAddress}) << "still the address of power-up";
    EXPECT_EQ(status(kMainAddress), kStatusCommand);
    powerCycle();
    EXPECT_EQ(scan(), std::vector<int>{0x00});
    EXPECT_EQ(status(0x00), kStatusNormal);
    EXPECT_EQ(word(0x00, 0x20), 0x2000) << "two changes left";
    const auto old_page = page(0, 0), new_page = page(0, 1);
    for (int w = 0; w < 0x17; ++w) {
        if (w != 0x02) {
            EXPECT_EQ(new_page[w], old_page[w]) << w;
        }
    }
}

TEST_F(SimTransmitter, ChecksumDecidesTheMemoryErrorAtPowerUp) {
    ASSERT_TRUE(restart("[transmitter.t]\nchecksum = bad\n"));
    EXPECT_EQ(status(kMainAddress), kStatusNormal | kStatusMemoryError);

    ASSERT_NO_FATAL_FAILURE(rewrite(kMainAddress, 0x33, false));
    powerCycle();
    EXPECT_EQ(status(0x33), kStatusNormal | kStatusMemoryError) << "written without 0xAA";

    ASSERT_NO_FATAL_FAILURE(rewrite(0x33, 0x34, true));
    powerCycle();
    EXPECT_EQ(status(0x34), kStatusNormal);
    const auto words = page(0, 2);
    EXPECT_EQ(words[0x17], sim.iowsim_checksum(words.data()));
}

TEST_F(SimTransmitter, ChecksumCoversEveryWordButItself) {
    std::array<std::uint16_t, 24> words = page(0, 0);
    const unsigned short original = sim.iowsim_checksum(words.data());
    for (int w = 0; w < 0x17; ++w) {
        auto changed = words;
        changed[w] ^= 0x0100;
        EXPECT_NE(sim.iowsim_checksum(changed.data()), original) << w;
    }
    words[0x17] ^= 0xFFFF;
    EXPECT_EQ(sim.iowsim_checksum(words.data()), original);
}

TEST_F(SimTransmitter, SeveralTransmittersShareTheBus) {
    ASSERT_TRUE(restart("[transmitter.a]\naddress = 0x40\n"
                        "[transmitter.blank]\ncalibrated = false\naddress = 0x30\n"
                        "[transmitter.zero]\naddress = 0x00\npage = 3\n"));
    EXPECT_EQ(scan(), (std::vector<int>{0x00, 0x30, 0x40}));
    for (std::uint8_t w = 0; w < 0x17; ++w) EXPECT_EQ(word(0x30, w), w == 0x02 ? 0x0030 : 0) << int(w);
    EXPECT_EQ(word(0x00, 0x20), 0x6000) << "no change left";
    EXPECT_EQ(word(0x40, 0x01), 0x04D2);
}

}  // namespace
}  // namespace zorbit_test
