// Record of every report the simulated adapter took or delivered, in order.
// Threading: not thread-safe; the simulator uses it only under its lock.
#pragma once

#include "iowsim_control.h"

#include <cstddef>
#include <cstdint>
#include <deque>

namespace iowsim {

class TrafficLog {
public:
    // `adapter`: its index in scenario order.
    void record(int adapter, int direction, unsigned long pipe, const std::uint8_t *bytes, std::size_t length);
    // Moves up to capacity of the oldest entries into out; returns how many.
    std::size_t take(iowsim_report *out, std::size_t capacity);
    std::size_t size() const { return entries_.size(); }
    void clear() { entries_.clear(); }

private:
    std::deque<iowsim_report> entries_;
};

}  // namespace iowsim
