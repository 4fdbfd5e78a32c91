#include "views/instruments/image_downsample.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// Red and blue share one accumulator (bits 0-15 and 16-31), green has its own; with k <= 16
// a lane sums at most 256 bytes and cannot overflow into its neighbour.
constexpr std::uint32_t kRedBlueMask = 0x00FF00FFu;
constexpr std::uint32_t kGreenMask = 0x0000FF00u;

} // namespace

bool Downsample(const QImage &source, QImage &target, int k, const QRect &area)
{
    if (k < 1 || k > 16 || source.format() != kSupersampleFormat || target.format() != kSupersampleFormat ||
        source.width() < target.width() * k || source.height() < target.height() * k)
        return false;
    const QRect rect = area.intersected(target.rect());
    if (rect.isEmpty())
        return true;

    const int columns = rect.width();
    const std::uint32_t cells = static_cast<std::uint32_t>(k * k);
    std::vector<std::uint32_t> redBlue(static_cast<std::size_t>(columns));
    std::vector<std::uint32_t> green(static_cast<std::size_t>(columns));

    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        std::fill(redBlue.begin(), redBlue.end(), 0u);
        std::fill(green.begin(), green.end(), 0u);
        for (int row = 0; row < k; ++row) {
            const auto *in = reinterpret_cast<const std::uint32_t *>(source.constScanLine(y * k + row)) +
                             static_cast<std::ptrdiff_t>(rect.left()) * k;
            for (int x = 0; x < columns; ++x) {
                std::uint32_t rb = 0;
                std::uint32_t g = 0;
                for (int column = 0; column < k; ++column) {
                    const std::uint32_t pixel = *in++;
                    rb += pixel & kRedBlueMask;
                    g += pixel & kGreenMask;
                }
                redBlue[static_cast<std::size_t>(x)] += rb;
                green[static_cast<std::size_t>(x)] += g;
            }
        }
        auto *out = reinterpret_cast<std::uint32_t *>(target.scanLine(y)) + rect.left();
        for (int x = 0; x < columns; ++x) {
            const std::uint32_t rb = redBlue[static_cast<std::size_t>(x)];
            const std::uint32_t red = (rb >> 16) / cells;
            const std::uint32_t blue = (rb & 0xFFFFu) / cells;
            const std::uint32_t g = (green[static_cast<std::size_t>(x)] >> 8) / cells;
            out[x] = 0xFF000000u | (red << 16) | (g << 8) | blue;
        }
    }
    return true;
}

bool Downsample(const QImage &source, QImage &target, int k)
{
    return Downsample(source, target, k, target.rect());
}
