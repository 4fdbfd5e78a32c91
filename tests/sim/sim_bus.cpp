#include "sim_bus.h"

#include <algorithm>

#include <fcntl.h>
#include <unistd.h>

namespace zorbit_test {

void SimBusTest::SetUp() {
    ASSERT_TRUE(sim.loaded()) << sim.error();
    ASSERT_TRUE(restart());
}

void SimBusTest::reopenDescriptorZero() {
    if (fcntl(0, F_GETFD) != -1) return;
    const int fd = ::open("/dev/null", O_RDONLY);
    if (fd > 0) {
        dup2(fd, 0);
        ::close(fd);
    }
}

::testing::AssertionResult SimBusTest::restart(const std::string &scenario_text) {
    const std::string path = scenario_text.empty() ? std::string() : sim.writeFile("scenario.ini", scenario_text);
    std::string error;
    if (!sim.start(path, &error)) return ::testing::AssertionFailure() << error;
    open();
    return handle ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << "adapter did not open";
}

void SimBusTest::open() {
    handle = sim.IowKitOpenDevice();
    if (!handle) return;
    sim.IowKitSetTimeout(handle, 100);
    setI2c(true);
}

unsigned long SimBusTest::writeReport(unsigned long pipe, const Bytes &bytes) {
    std::array<char, 64> report{};
    std::copy(bytes.begin(), bytes.end(), report.begin());
    return sim.IowKitWrite(handle, pipe, report.data(), pipe == 0 ? 8 : 64);
}

Bytes SimBusTest::readReport(unsigned long pipe) {
    std::array<char, 64> report{};
    const unsigned long length = sim.IowKitRead(handle, pipe, report.data(), pipe == 0 ? 8 : 64);
    return Bytes(report.begin(), report.begin() + static_cast<long>(length));
}

Bytes SimBusTest::request(const Bytes &report) {
    writeReport(1, report);
    return readReport(1);
}

void SimBusTest::setSupply(bool on) {
    if (on)
        writeReport(0, {0x00, 0xFF, 0xA0, 0xFF, 0xFF, 0xFF, 0x08, 0xFF});
    else
        writeReport(0, {0x00, 0, 0, 0, 0, 0, 0, 0});
}

void SimBusTest::powerCycle() {
    setSupply(false);
    setSupply(true);
}

std::uint8_t SimBusTest::i2cWrite(std::uint8_t address, const Bytes &data) {
    Bytes report = {0x02, static_cast<std::uint8_t>(0xC0 + data.size() + 1), static_cast<std::uint8_t>(address * 2)};
    report.insert(report.end(), data.begin(), data.end());
    const Bytes answer = request(report);
    return answer.size() == 64 && answer[0] == 0x02 ? answer[1] : kNoAnswer;
}

Bytes SimBusTest::i2cRead(std::uint8_t address, std::uint8_t count) {
    const Bytes answer = request({0x03, count, static_cast<std::uint8_t>(address * 2 + 1)});
    if (answer.size() != 64 || answer[0] != 0x03) return {};
    return Bytes(answer.begin() + 1, answer.begin() + 2 + std::min<int>(count, 62));
}

Bytes SimBusTest::readWord(std::uint8_t address, std::uint8_t command) {
    i2cWrite(address, {command});
    const Bytes answer = i2cRead(address, 3);
    return answer.empty() ? Bytes{} : Bytes(answer.begin() + 1, answer.end());
}

std::uint16_t SimBusTest::word(std::uint8_t address, std::uint8_t command) {
    const Bytes answer = readWord(address, command);
    return answer.size() == 3 ? static_cast<std::uint16_t>(answer[1] << 8 | answer[2]) : 0xDEAD;
}

bool SimBusTest::enterCommandMode(std::uint8_t address) {
    powerCycle();
    i2cWrite(address, {0xA9});
    return (status(address) & 0x18) == 0x08;
}

void SimBusTest::rewrite(std::uint8_t address, std::uint8_t new_address, bool with_checksum) {
    ASSERT_TRUE(enterCommandMode(address));
    std::array<std::uint16_t, 24> image{};
    for (std::uint8_t w = 0; w < 0x17; ++w) image[w] = word(address, w);
    image[0x02] = new_address;
    ASSERT_EQ(i2cWrite(address, {0x5E}), 0x00);
    for (std::uint8_t w = 0; w < 0x17; ++w) {
        const Bytes data = {static_cast<std::uint8_t>(0x40 + w), static_cast<std::uint8_t>(image[w] >> 8),
                            static_cast<std::uint8_t>(image[w] & 0xFF)};
        ASSERT_EQ(i2cWrite(address, data), 0x00) << int(w);
    }
    if (with_checksum) {
        ASSERT_EQ(i2cWrite(address, {0xAA}), 0x00);
    }
}

iowsim_transmitter_info SimBusTest::transmitter(int index) {
    iowsim_transmitter_info info{};
    EXPECT_EQ(sim.iowsim_get_transmitter(index, &info), 1);
    return info;
}

std::array<std::uint16_t, 24> SimBusTest::page(int index, int page) {
    const iowsim_transmitter_info info = transmitter(index);
    std::array<std::uint16_t, 24> words{};
    std::copy(std::begin(info.pages[page]), std::end(info.pages[page]), words.begin());
    return words;
}

std::vector<int> SimBusTest::scan() {
    std::vector<int> found;
    for (int address = 0; address < 128; ++address) {
        const Bytes answer = i2cRead(static_cast<std::uint8_t>(address), 2);
        if (!answer.empty() && (answer[0] & 0x02)) found.push_back(address);
    }
    return found;
}

}  // namespace zorbit_test
