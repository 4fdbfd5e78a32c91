#include "transmitter.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace iowsim {
namespace {

constexpr std::uint8_t kStatusPowered = 0x40;
constexpr std::uint8_t kStatusBusy = 0x20;
constexpr std::uint8_t kStatusCommandMode = 0x08;
constexpr std::uint8_t kStatusMemoryError = 0x04;

constexpr std::uint8_t kCmdMemoryStatus = 0x20;
constexpr std::uint8_t kCmdWriteWord = 0x40;
constexpr std::uint8_t kCmdOpenPage = 0x5E;
constexpr std::uint8_t kCmdCommandMode = 0xA9;
constexpr std::uint8_t kCmdChecksum = 0xAA;
constexpr std::uint8_t kCmdMeasure = 0xAC;

constexpr double kTwoPi = 6.283185307179586;

// Raw words of a slowly wandering reading: pressure between 15 % and 85 % of
// the range, temperature around 23 degC. Each transmitter gets its own phase.
void liveSignal(double seconds, int index, std::uint16_t &pressure_raw, std::uint16_t &temperature_raw) {
    const double phase = index * 1.7;
    const double fraction = 0.5 + 0.32 * std::sin(kTwoPi * seconds / 40.0 + phase) +
                            0.03 * std::sin(kTwoPi * seconds / 7.3 + 2 * phase);
    pressure_raw = static_cast<std::uint16_t>(std::lround(16384.0 + 32768.0 * fraction));
    const double celsius = 23.0 + 1.5 * std::sin(kTwoPi * seconds / 300.0 + phase);
    const long twelve_bits = std::lround((celsius + 50.0) / 0.05 + 24.0);
    temperature_raw = static_cast<std::uint16_t>(std::clamp(twelve_bits, 0L, 4095L) * 16);
}

}  // namespace

std::uint16_t pageChecksum(const std::uint16_t *words) {
    std::uint16_t crc = 0xFFFF;
    for (int i = 0; i < kChecksumWord; ++i) {
        for (int shift : {8, 0}) {
            crc ^= static_cast<std::uint16_t>(((words[i] >> shift) & 0xFF) << 8);
            for (int bit = 0; bit < 8; ++bit)
                crc = static_cast<std::uint16_t>((crc & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1);
        }
    }
    return crc;
}

Transmitter::Transmitter(TransmitterSetup setup, int index, TimePoint epoch)
    : setup_(std::move(setup)), index_(index), epoch_(epoch) {
    setup_.current_page = std::clamp(setup_.current_page, 0, kPages - 1);
}

void Transmitter::restoreMemory(const Memory &memory, int current_page) {
    setup_.memory = memory;
    setup_.current_page = std::clamp(current_page, 0, kPages - 1);
}

void Transmitter::setSupply(bool on, TimePoint now) {
    supply_ = on;
    const bool powered = supply_ && setup_.present;
    if (powered && !powered_) powerUp(now);
    powered_ = powered;
}

void Transmitter::setPresent(bool present, TimePoint now) {
    setup_.present = present;
    setSupply(supply_, now);
}

void Transmitter::powerUp(TimePoint now) {
    const Page &page = setup_.memory[setup_.current_page];
    address_ = page[kComConfigWord] & 0x7F;
    command_mode_ = false;
    memory_error_ = pageChecksum(page) != page[kChecksumWord];
    opened_page_ = -1;
    power_up_time_ = now;
    busy_until_ = now;
    measurement_pending_ = false;
    std::fill(std::begin(output_), std::end(output_), 0);
}

std::uint8_t Transmitter::status(TimePoint now) const {
    std::uint8_t status = 0;
    if (!setup_.faults.hardware_error) status |= kStatusPowered;
    if (setup_.faults.hold_busy || setup_.faults.busy_answers > 0 || now < busy_until_) status |= kStatusBusy;
    if (command_mode_) status |= kStatusCommandMode;
    if (memory_error_) status |= kStatusMemoryError;
    return status;
}

bool Transmitter::write(const std::uint8_t *data, std::size_t count, TimePoint now) {
    if (!powered_ || setup_.faults.nack_all) return false;
    if (count == 0) return true;
    const std::uint8_t command = data[0];
    refuse_next_read_ = command == setup_.faults.nack_read_after;
    if (command == setup_.faults.nack_command) return false;

    if (command < kChecksumWord + 1) {
        prepareWord(setup_.memory[setup_.current_page][command]);
    } else if (command == kCmdMemoryStatus) {
        std::uint8_t high = static_cast<std::uint8_t>(setup_.current_page << 5);
        if (setup_.faults.data_corrected) high |= 0x80;
        prepareWord(static_cast<std::uint16_t>(high << 8));
    } else if (command == kCmdMeasure) {
        busy_until_ = now + setup_.busy_time;
        measurement_pending_ = true;
    } else if (command == kCmdCommandMode) {
        if (now - power_up_time_ <= setup_.command_window) command_mode_ = true;
    } else if (command == kCmdOpenPage) {
        if (command_mode_) openNextPage();
    } else if (command >= kCmdWriteWord && command < kCmdWriteWord + kChecksumWord) {
        if (command_mode_ && count >= 3)
            writeWord(command - kCmdWriteWord, static_cast<std::uint16_t>(data[1] << 8 | data[2]));
    } else if (command == kCmdChecksum) {
        if (command_mode_) {
            Page &page = setup_.memory[setup_.current_page];
            page[kChecksumWord] = pageChecksum(page);
            memory_changed_ = true;
        }
    }
    return true;  // the chip acknowledges commands it does not carry out
}

bool Transmitter::read(std::uint8_t *out, std::size_t count, TimePoint now) {
    if (!powered_ || setup_.faults.nack_all) return false;
    if (std::exchange(refuse_next_read_, false)) return false;
    if (measurement_pending_ && now >= busy_until_) measure(busy_until_);
    std::fill(out, out + count, 0);
    if (count > 0) out[0] = status(now);
    if (setup_.faults.busy_answers > 0) --setup_.faults.busy_answers;
    for (std::size_t i = 1; i < count && i <= sizeof output_; ++i) out[i] = output_[i - 1];
    return true;
}

void Transmitter::prepareWord(std::uint16_t word) {
    output_[0] = static_cast<std::uint8_t>(word >> 8);
    output_[1] = static_cast<std::uint8_t>(word & 0xFF);
    output_[2] = output_[3] = 0;
}

void Transmitter::measure(TimePoint when) {
    measurement_pending_ = false;
    std::uint16_t pressure = setup_.pressure_raw;
    std::uint16_t temperature = setup_.temperature_raw;
    if (!setup_.signal_frozen)
        liveSignal(std::chrono::duration<double>(when - epoch_).count(), index_, pressure, temperature);
    output_[0] = static_cast<std::uint8_t>(pressure >> 8);
    output_[1] = static_cast<std::uint8_t>(pressure & 0xFF);
    output_[2] = static_cast<std::uint8_t>(temperature >> 8);
    output_[3] = static_cast<std::uint8_t>(temperature & 0xFF);
}

void Transmitter::openNextPage() {
    if (setup_.current_page >= kPages - 1) {
        memory_error_ = true;  // no page left to open
        return;
    }
    ++setup_.current_page;
    setup_.memory[setup_.current_page].fill(0);
    opened_page_ = setup_.current_page;
    memory_changed_ = true;
}

void Transmitter::writeWord(int address, std::uint16_t value) {
    if (opened_page_ != setup_.current_page || address == setup_.faults.ignore_write) return;
    setup_.memory[setup_.current_page][address] = value;
    memory_changed_ = true;
}

void Transmitter::freezeSignal(bool frozen, std::uint16_t pressure_raw, std::uint16_t temperature_raw) {
    setup_.signal_frozen = frozen;
    setup_.pressure_raw = pressure_raw;
    setup_.temperature_raw = temperature_raw;
}

bool Transmitter::takeMemoryChanged() {
    return std::exchange(memory_changed_, false);
}

}  // namespace iowsim
