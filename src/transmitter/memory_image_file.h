// A memory image as text, in the layout the memory map window copies: a header line, then one
// word a line (name, address, value, an empty gap and the verify column), CR LF between lines.
// Stateless; callable from any thread.
#pragma once

#include <QString>

class T_DeviceMemory;

namespace memory_image_file {

// The image's 24 words; the verify column stays empty.
QString text(const T_DeviceMemory &image);

// Reads the words of `text` into `image`, found by their address column. The image counts as
// complete only when every writable word was given exactly once. Returns the reason when the
// text is no memory image at all, else empty.
QString parse(const QString &text, T_DeviceMemory &image);

// Whole-or-nothing save, and the read of a saved file; both return the reason of a failure.
QString save(const QString &fileName, const T_DeviceMemory &image);
QString load(const QString &fileName, T_DeviceMemory &image);

} // namespace memory_image_file
