// A memory image as text, in the layout the memory map window copies: a header line, then one
// word a line (name, address, value, an empty gap and the verify column), CR LF between lines.
// Stateless; callable from any thread.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

class T_DeviceMemory;

namespace memory_image_file {

// The largest file taken for a memory image; an image is some 600 bytes.
constexpr qsizetype MaxFileSize = 64 * 1024;

// The image's 24 words; the verify column stays empty.
QString text(const T_DeviceMemory &image);

// Reads the words of `text` into `image`, found by their address column. The image counts as
// complete only when every writable word was given exactly once. Returns the reason when the
// text is no memory image at all, else empty.
QString parse(const QString &text, T_DeviceMemory &image);

// The checksum the chip keeps over words 0x00 to 0x16: CRC-16, polynomial 0x1021, start
// 0xFFFF, high byte first.
uint16_t chip_checksum(const T_DeviceMemory &image);

// The checked read of a saved image, which may be written back to a transmitter: every word
// exactly once, the Checksum line included, and the checksum that of the other words. Returns
// the reason in one line when it is not such an image, else empty.
QString read(const QByteArray &bytes, T_DeviceMemory &image);

// Whole-or-nothing save, and the checked read of a saved file; both return the reason of a
// failure, the read's prefixed with the file name.
QString save(const QString &fileName, const T_DeviceMemory &image);
QString load(const QString &fileName, T_DeviceMemory &image);

} // namespace memory_image_file
