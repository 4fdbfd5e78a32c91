#include "traffic_log.h"

#include <algorithm>
#include <cstring>

namespace iowsim {

void TrafficLog::record(int adapter, int direction, unsigned long pipe, const std::uint8_t *bytes,
                        std::size_t length) {
    iowsim_report entry{};
    entry.adapter = adapter;
    entry.direction = direction;
    entry.pipe = pipe;
    entry.length = std::min(length, sizeof entry.data);
    std::memcpy(entry.data, bytes, entry.length);
    // A long interactive run must not grow without bound: the oldest go first.
    if (entries_.size() >= IOWSIM_TRAFFIC_LIMIT) entries_.pop_front();
    entries_.push_back(entry);
}

std::size_t TrafficLog::take(iowsim_report *out, std::size_t capacity) {
    const std::size_t count = out ? std::min(capacity, entries_.size()) : 0;
    std::copy_n(entries_.begin(), count, out);
    entries_.erase(entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(count));
    return count;
}

}  // namespace iowsim
