// The simulated IO-Warrior 56 as its reports see it, with the transmitters on its I2C bus.
// Threading: not thread-safe; the simulator touches it only under its lock.
#pragma once

#include "sim_types.h"
#include "transmitter.h"

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace iowsim {

struct AdapterSetup {
    unsigned long product_id = 0x1503;
    std::string serial = "0000C0DE";
    unsigned long revision = 0x1013;
    Millis latency{1};   // time one report takes on the USB pipe
    int supply_port = 5; // the pin that switches the transmitters' supply
    int supply_bit = 3;
    bool plugged = true;
    bool arbitration_lost = false;
    bool drop_answers = false;
    int refuse_write = -1; // reports starting with these two bytes (first << 8 | second) are not taken
    // The maker's library closes descriptor 0 twice whenever it closes the adapter.
    bool close_descriptor_zero = true;
    int late_answer = 0;  // the answer to this I2C request (1 = the next one) comes late_by late
    Millis late_by{0};
};

struct Report {
    unsigned long pipe = 0;
    std::size_t length = 0;
    std::uint8_t bytes[64] = {};
    TimePoint ready{};
};

class Adapter {
public:
    // The library waits for ever until the program sets a read timeout.
    static constexpr unsigned long kInfiniteTimeout = 0xFFFFFFFFUL;
    // Unread reports the kernel keeps per interface, across closing and opening; it drops the oldest.
    static constexpr std::size_t kKeptReports = 16;

    Adapter(AdapterSetup setup, std::vector<Transmitter> bus, TimePoint now);

    static std::size_t reportSize(unsigned long pipe);

    bool open();  // false while unplugged; fresh timeouts, unread answers kept
    void close(); // unread answers stay with the kernel
    bool isOpen() const { return open_; }
    // Moves with every close (an unplug closes too): a read that waited through one gives up.
    std::uint64_t closings() const { return closings_; }
    void plug(bool plugged, TimePoint now);
    bool plugged() const { return plugged_; }

    // Carries out one report the program wrote; its answer becomes readable one latency later.
    void take(unsigned long pipe, const std::uint8_t *report, TimePoint now);
    std::optional<Report> takeAnswer(unsigned long pipe, TimePoint now);
    std::optional<TimePoint> nextAnswer(unsigned long pipe) const;

    AdapterSetup &setup() { return setup_; }
    const AdapterSetup &setup() const { return setup_; }
    std::vector<Transmitter> &bus() { return bus_; }
    const std::vector<Transmitter> &bus() const { return bus_; }
    void setPresent(std::size_t transmitter, bool present, TimePoint now);

    unsigned long readTimeoutMs() const { return read_timeout_ms_; }
    unsigned long writeTimeoutMs() const { return write_timeout_ms_; }
    void setReadTimeoutMs(unsigned long ms) { read_timeout_ms_ = ms; }
    void setWriteTimeoutMs(unsigned long ms) { write_timeout_ms_ = ms; }
    bool i2cEnabled() const { return i2c_enabled_; }
    bool spiEnabled() const { return spi_enabled_; }
    const std::uint8_t *pins() const { return pins_; }

private:
    void updateSupply(TimePoint now);
    void i2cWrite(const std::uint8_t *report, TimePoint now);
    void i2cRead(const std::uint8_t *report, TimePoint now);
    std::vector<Transmitter *> addressed(std::uint8_t address_byte);
    void answer(std::uint8_t report_id, std::uint8_t flags, const std::uint8_t *data, std::size_t count,
                TimePoint now);

    AdapterSetup setup_;
    std::vector<Transmitter> bus_;
    bool plugged_ = false;
    bool open_ = false;
    std::uint64_t closings_ = 0;
    bool i2c_enabled_ = false;
    bool spi_enabled_ = false;
    std::uint8_t pins_[7] = {};
    unsigned long read_timeout_ms_ = kInfiniteTimeout;
    unsigned long write_timeout_ms_ = kInfiniteTimeout;
    std::deque<Report> answers_;
};

}  // namespace iowsim
