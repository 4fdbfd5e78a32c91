#include "services/utils/file_commit.h"

#include <QFile>
#include <QSaveFile>
#include <mutex>

#ifndef _WIN32
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace file_commit {
namespace {

std::mutex faultLock;
Fault &fault()
{
    static Fault f;
    return f;
}

bool faulty(const QString &fileName)
{
    std::lock_guard<std::mutex> lock(faultLock);
    return fault() && fault()(fileName);
}

const QString DiskFull = QStringLiteral("No space left on device");

// The bytes that reached the device; a write cut by the seam stops at half.
bool write_all(QFileDevice &file, const QByteArray &bytes, QString &error)
{
    if (faulty(file.fileName())) {
        file.write(bytes.left(bytes.size() / 2));
        file.flush();
        error = DiskFull;
        return false;
    }
    // The write may only fill a buffer: the error shows once the buffer is flushed.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return false;
    }
    return true;
}

} // namespace

QString replace(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QString error;
    // This Qt commits even after a failed write unless the save is cancelled.
    if (!write_all(file, bytes, error)) {
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString replace_streamed(const QString &fileName, const std::function<bool(const ChunkWriter &write)> &produce)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QString error;
    const bool complete = produce([&](const QByteArray &chunk) { return error.isEmpty() && write_all(file, chunk, error); });
    if (!complete || !error.isEmpty()) {
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

QString append_lines(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return file.errorString();
    const qint64 before = file.size();
    QString error;
    if (write_all(file, bytes, error))
        return {};
    // What the device took, whatever the write reported; keep it up to its last line end.
    const qint64 reached = std::clamp<qint64>(file.size() - before, 0, bytes.size());
    const qint64 lastEnd = reached > 0 ? bytes.lastIndexOf('\n', reached - 1) : -1;
    file.resize(before + lastEnd + 1);
    return error;
}

QString sync(const QString &path)
{
#ifndef _WIN32
    // A folder is opened read-only like a file; its fsync writes its entries.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    QString error;
    if (::fsync(fd) != 0 && errno != EINVAL) // EINVAL: a file system that keeps nothing to sync
        error = path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return error;
#else
    Q_UNUSED(path);
    return {};
#endif
}

void set_fault(Fault fails)
{
    std::lock_guard<std::mutex> lock(faultLock);
    fault() = std::move(fails);
}

} // namespace file_commit
