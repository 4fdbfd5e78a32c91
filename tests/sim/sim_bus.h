// Fixture for the simulator's tests: a fresh simulation with the adapter open,
// its I2C function on, and helpers that speak the adapter's reports.
#pragma once

#include "sim_control.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace zorbit_test {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kMainAddress = 0x28;
constexpr Bytes::value_type kNoAnswer = 0xFF;  // never a flag byte of a simulated answer

class SimBusTest : public ::testing::Test {
public:
    void SetUp() override;
    // Closing the adapter closes descriptor 0, as the maker's library does; give it back.
    void TearDown() override { reopenDescriptorZero(); }
    static void reopenDescriptorZero();

    // Restarts from a scenario given as text (empty: the default) and opens the adapter.
    ::testing::AssertionResult restart(const std::string &scenario_text = {});
    void open();

    unsigned long writeReport(unsigned long pipe, const Bytes &bytes);  // padded to the pipe's report size
    Bytes readReport(unsigned long pipe);                               // empty on time-out
    // One special-mode request and its answer (empty when none came).
    Bytes request(const Bytes &report);

    void setI2c(bool on) { writeReport(1, {0x01, static_cast<std::uint8_t>(on ? 1 : 0), 0x81}); }
    void setSupply(bool on);
    void powerCycle();

    // I2C write of the address byte and data; the acknowledgement flags, or kNoAnswer.
    std::uint8_t i2cWrite(std::uint8_t address, const Bytes &data);
    // I2C read: the answer's flag byte followed by count bytes; empty on time-out.
    Bytes i2cRead(std::uint8_t address, std::uint8_t count);
    // Command then 3-byte read, as the program reads a word: {status, high, low}.
    Bytes readWord(std::uint8_t address, std::uint8_t command);
    std::uint16_t word(std::uint8_t address, std::uint8_t command);
    std::uint8_t status(std::uint8_t address) { return readWord(address, 0x01).at(0); }
    bool enterCommandMode(std::uint8_t address);  // power cycle, then 0xA9 within the window
    // The program's re-addressing: command mode, 0x5E, 23 words with the new COM_Config, 0xAA.
    void rewrite(std::uint8_t address, std::uint8_t new_address, bool with_checksum = true);

    iowsim_transmitter_info transmitter(int index);
    std::array<std::uint16_t, 24> page(int index, int page);
    std::vector<int> scan();  // addresses whose 2-byte probe answers with bit 1 set

    SimControl sim;
    IOWKIT_HANDLE handle = nullptr;
};

}  // namespace zorbit_test
