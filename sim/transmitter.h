// One simulated pressure transmitter chip on the adapter's I2C bus.
// Threading: not thread-safe; the simulator touches it only under its lock.
#pragma once

#include "sim_types.h"

#include <cstddef>
#include <string>

namespace iowsim {

struct TransmitterFaults {
    bool nack_all = false;
    int nack_command = -1;  // command byte refused, -1 none
    int nack_read_after = -1; // the read that follows this command is refused, -1 none
    bool hold_busy = false;
    int busy_answers = 0;   // so many of the next answers carry the busy bit
    bool hardware_error = false;
    bool data_corrected = false;
    int ignore_write = -1;  // word address whose writes are lost, -1 none
};

struct TransmitterSetup {
    std::string name;
    Memory memory{};
    int current_page = 0;
    bool present = true;
    Millis command_window{150};  // 0xA9 is taken only this long after power-up
    Millis busy_time{5};         // a measurement keeps the chip busy this long
    bool signal_frozen = false;
    std::uint16_t pressure_raw = 0x8000;
    std::uint16_t temperature_raw = 0x4000;
    TransmitterFaults faults;
    long faults_after = -1;  // >= 0: the faults start once the program has written this many reports
};

class Transmitter {
public:
    Transmitter(TransmitterSetup setup, int index, TimePoint epoch);

    const std::string &name() const { return setup_.name; }
    const Memory &memory() const { return setup_.memory; }
    int currentPage() const { return setup_.current_page; }
    void restoreMemory(const Memory &memory, int current_page);

    // Power comes from the adapter's supply pin while the chip sits on the bus.
    void setSupply(bool on, TimePoint now);
    void setPresent(bool present, TimePoint now);
    bool present() const { return setup_.present; }
    bool powered() const { return powered_; }
    bool answersAt(int address) const { return powered_ && address == address_; }
    int address() const { return powered_ ? address_ : -1; }
    bool commandMode() const { return command_mode_; }
    bool memoryError() const { return memory_error_; }
    int openedPage() const { return opened_page_; }

    // A write addressed to this chip, the address byte left out. Returns the acknowledge.
    bool write(const std::uint8_t *data, std::size_t count, TimePoint now);
    // A read from this chip: the status byte, then the prepared data. Returns the acknowledge.
    bool read(std::uint8_t *out, std::size_t count, TimePoint now);

    TransmitterFaults &faults() { return setup_.faults; }
    void freezeSignal(bool frozen, std::uint16_t pressure_raw, std::uint16_t temperature_raw);

    // True once after every change of the non-volatile memory.
    bool takeMemoryChanged();

private:
    void powerUp(TimePoint now);
    std::uint8_t status(TimePoint now) const;
    void prepareWord(std::uint16_t word);
    void measure(TimePoint now);
    void openNextPage();
    void writeWord(int address, std::uint16_t value);

    TransmitterSetup setup_;
    int index_;
    TimePoint epoch_;
    bool supply_ = false;
    bool powered_ = false;
    int address_ = 0;
    bool command_mode_ = false;
    bool memory_error_ = false;
    int opened_page_ = -1;
    TimePoint power_up_time_{};
    TimePoint busy_until_{};
    bool measurement_pending_ = false;
    bool refuse_next_read_ = false; // a refused command leaves nothing to read
    std::uint8_t output_[4] = {};  // data bytes the next read sends after the status
    bool memory_changed_ = false;
};

}  // namespace iowsim
