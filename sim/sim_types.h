// Small types shared by the parts of the simulated adapter.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>

namespace iowsim {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Millis = std::chrono::milliseconds;

constexpr int kWordsPerPage = 24;
constexpr int kPages = 4;
constexpr int kChecksumWord = 0x17;
constexpr int kComConfigWord = 0x02;

using Page = std::array<std::uint16_t, kWordsPerPage>;
using Memory = std::array<Page, kPages>;

// The chip's own checksum: CRC-16 (polynomial 0x1021, start 0xFFFF) over words
// 0x00..0x16, high byte first.
std::uint16_t pageChecksum(const std::uint16_t *words);
inline std::uint16_t pageChecksum(const Page &page) { return pageChecksum(page.data()); }

}  // namespace iowsim
