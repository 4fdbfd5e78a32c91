#include "adapter.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace iowsim {
namespace {

constexpr std::uint8_t kReportI2cMode = 0x01;
constexpr std::uint8_t kReportI2cWrite = 0x02;
constexpr std::uint8_t kReportI2cRead = 0x03;
constexpr std::uint8_t kReportSpiMode = 0x08;

constexpr std::uint8_t kFlagError = 0x80;
constexpr std::uint8_t kFlagArbitrationLost = 0x40;
constexpr std::size_t kMaxI2cBytes = 62;  // what fits into one 64-byte report

}  // namespace

Adapter::Adapter(AdapterSetup setup, std::vector<Transmitter> bus, TimePoint now)
    : setup_(std::move(setup)), bus_(std::move(bus)) {
    plug(setup_.plugged, now);
}

std::size_t Adapter::reportSize(unsigned long pipe) {
    if (pipe == 0) return 8;
    if (pipe == 1) return 64;
    return 0;
}

bool Adapter::open() {
    if (!plugged_) return false;
    read_timeout_ms_ = write_timeout_ms_ = kInfiniteTimeout;
    open_ = true;
    return true;
}

void Adapter::close() {
    open_ = false;
    ++closings_;
}

void Adapter::plug(bool plugged, TimePoint now) {
    plugged_ = plugged;
    setup_.plugged = plugged;
    close();
    answers_.clear();
    i2c_enabled_ = spi_enabled_ = false;
    // Port pins come up high after a reset, so a plugged-in adapter powers the bus at once.
    std::fill(std::begin(pins_), std::end(pins_), plugged ? 0xFF : 0x00);
    updateSupply(now);
}

void Adapter::setPresent(std::size_t transmitter, bool present, TimePoint now) {
    bus_.at(transmitter).setPresent(present, now);
}

void Adapter::updateSupply(TimePoint now) {
    const bool on = plugged_ && ((pins_[setup_.supply_port] >> setup_.supply_bit) & 1) != 0;
    for (Transmitter &transmitter : bus_) transmitter.setSupply(on, now);
}

void Adapter::take(unsigned long pipe, const std::uint8_t *report, TimePoint now) {
    if (pipe == 0) {
        std::memcpy(pins_, report + 1, sizeof pins_);
        updateSupply(now);
        return;
    }
    switch (report[0]) {
    case kReportI2cMode:
        i2c_enabled_ = (report[1] & 1) != 0;
        break;
    case kReportSpiMode:
        spi_enabled_ = (report[1] & 1) != 0;
        break;
    case kReportI2cWrite:
        if (i2c_enabled_) i2cWrite(report, now);
        break;
    case kReportI2cRead:
        if (i2c_enabled_) i2cRead(report, now);
        break;
    default:
        break;  // other special modes are not simulated
    }
}

std::vector<Transmitter *> Adapter::addressed(std::uint8_t address_byte) {
    std::vector<Transmitter *> found;
    for (Transmitter &transmitter : bus_)
        if (transmitter.answersAt(address_byte >> 1)) found.push_back(&transmitter);
    return found;
}

void Adapter::i2cWrite(const std::uint8_t *report, TimePoint now) {
    const std::size_t count = report[1] & 0x3F;  // bytes on the bus, address byte included
    if (setup_.arbitration_lost) return answer(kReportI2cWrite, kFlagArbitrationLost, nullptr, 0, now);
    bool acknowledged = false;
    if (count >= 1 && count <= kMaxI2cBytes && (report[2] & 1) == 0) {
        // Every chip at the address hears the write; one acknowledge is enough.
        for (Transmitter *transmitter : addressed(report[2]))
            acknowledged = transmitter->write(report + 3, count - 1, now) || acknowledged;
    }
    answer(kReportI2cWrite, acknowledged ? 0x00 : kFlagError, nullptr, 0, now);
}

void Adapter::i2cRead(const std::uint8_t *report, TimePoint now) {
    const std::size_t count = report[1];
    if (setup_.arbitration_lost) return answer(kReportI2cRead, kFlagArbitrationLost, nullptr, 0, now);
    std::uint8_t data[kMaxI2cBytes] = {};
    bool acknowledged = false;
    if (count >= 1 && count <= kMaxI2cBytes && (report[2] & 1) == 1) {
        const std::vector<Transmitter *> chips = addressed(report[2]);
        acknowledged = !chips.empty() && chips.front()->read(data, count, now);
    }
    if (acknowledged)
        answer(kReportI2cRead, static_cast<std::uint8_t>(count), data, count, now);
    else
        answer(kReportI2cRead, kFlagError, nullptr, 0, now);
}

void Adapter::answer(std::uint8_t report_id, std::uint8_t flags, const std::uint8_t *data, std::size_t count,
                     TimePoint now) {
    Millis late{0};
    if (setup_.late_answer > 0 && --setup_.late_answer == 0) late = setup_.late_by;
    if (setup_.drop_answers) return;
    Report report;
    report.pipe = 1;
    report.length = 64;
    report.bytes[0] = report_id;
    report.bytes[1] = flags;
    if (count > 0) std::memcpy(report.bytes + 2, data, count);
    // The adapter answers in order: nothing overtakes a late answer.
    report.ready = now + setup_.latency + late;
    if (!answers_.empty()) report.ready = std::max(report.ready, answers_.back().ready);
    answers_.push_back(report);
    if (answers_.size() > kKeptReports) answers_.pop_front();
}

std::optional<Report> Adapter::takeAnswer(unsigned long pipe, TimePoint now) {
    const auto found = std::find_if(answers_.begin(), answers_.end(),
                                    [pipe](const Report &report) { return report.pipe == pipe; });
    if (found == answers_.end() || found->ready > now) return std::nullopt;
    Report report = *found;
    answers_.erase(found);
    return report;
}

std::optional<TimePoint> Adapter::nextAnswer(unsigned long pipe) const {
    for (const Report &report : answers_)
        if (report.pipe == pipe) return report.ready;
    return std::nullopt;
}

}  // namespace iowsim
