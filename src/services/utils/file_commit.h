// Writes that never leave a file half written: a replaced file keeps its old content until the
// new one is complete, an appended text keeps whole lines only. Callable from any thread.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace file_commit {

// Replaces the file with `bytes` once all of them reached the disk; on failure the old file
// stays whole. Returns the reason of a failure, empty on success.
QString replace(const QString &fileName, const QByteArray &bytes);

// The same, written chunk by chunk: `produce` hands each chunk to `write` (false once a write
// failed) and returns false to give up. A failure or a give-up leaves the old file as it was.
// Returns the reason of a failure, empty on success and on a give-up.
using ChunkWriter = std::function<bool(const QByteArray &chunk)>;
QString replace_streamed(const QString &fileName, const std::function<bool(const ChunkWriter &write)> &produce);

// Appends `bytes`, text lines each ended by "\n"; what a failed write left of a cut line is
// taken off again. Returns the reason of a failure, empty on success.
QString append_lines(const QString &fileName, const QByteArray &bytes);

// Has a file's content, or a folder's entries (a file made or renamed in it), on the disk
// before returning: what must survive a power loss. Returns the reason of a failure.
QString sync(const QString &path);

// Test seam: every write to a file for which `fails` answers true stops after half of its
// bytes, as on a full disk. An empty function ends the fault.
using Fault = std::function<bool(const QString &fileName)>;
void set_fault(Fault fails);

} // namespace file_commit
