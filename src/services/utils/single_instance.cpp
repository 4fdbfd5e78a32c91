#include "services/utils/single_instance.h"

#include <QDir>
#include <QFileInfo>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifndef _WIN32
// The runtime folder is private to the user and emptied at log-out; the temporary folder is
// shared, so there the file name carries the user id.
QString defaultLockPath(const QString &name)
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir())
        return QDir(runtime).filePath(name + QStringLiteral(".lock"));
    return QDir(QDir::tempPath()).filePath(QStringLiteral("%1-%2.lock").arg(name).arg(uint(getuid())));
}
#endif

} // namespace

TSingleInstance::TSingleInstance(const QString &name, const QString &folder)
{
#ifdef _WIN32
    Q_UNUSED(folder);
    fPath = name;
#else
    fPath = folder.isEmpty() ? defaultLockPath(name) : QDir(folder).filePath(name + QStringLiteral(".lock"));
#endif
}

TSingleInstance::~TSingleInstance()
{
    release();
}

void TSingleInstance::release()
{
#ifdef _WIN32
    if (fHandle)
        CloseHandle(fHandle);
    fHandle = nullptr;
#else
    if (fFd >= 0)
        close(fFd); // drops the lock; the file stays for the next start
    fFd = -1;
#endif
    fHeld = false;
}

bool TSingleInstance::tryAcquire(const QString &name)
{
    if (fHeld)
        return true;
    fHolder.clear();
#ifdef _WIN32
    // A named mutex lives while a handle is open; the system closes handles of ended processes.
    HANDLE handle = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(fPath.utf16()));
    if (!handle) {
        fError = QStringLiteral("CreateMutex failed: %1").arg(GetLastError());
        return true;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(handle);
        return false;
    }
    Q_UNUSED(name);
    fHandle = handle;
    fHeld = true;
    return true;
#else
    // An flock belongs to the open file; the kernel drops it when the last descriptor closes,
    // which an ending process does whatever the cause. Not inherited by started programs.
    const QByteArray path = QFile::encodeName(fPath);
    const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        fError = QStringLiteral("%1: %2").arg(fPath, QString::fromLocal8Bit(std::strerror(errno)));
        return true;
    }
    // In a shared folder another user's file of that name must not stand for our copy.
    struct stat status {};
    if (fstat(fd, &status) != 0 || status.st_uid != getuid()) {
        close(fd);
        fError = QStringLiteral("%1: owned by another user").arg(fPath);
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EWOULDBLOCK) {
            // Written by the holder just after it took the lock: it may still be empty.
            char text[256] = {};
            const ssize_t got = pread(fd, text, sizeof text - 1, 0);
            fHolder = got > 0 ? QString::fromUtf8(text, int(got)).trimmed() : QString();
            close(fd);
            return false;
        }
        close(fd);
        fError = QStringLiteral("%1: %2").arg(fPath, QString::fromLocal8Bit(std::strerror(error)));
        return true;
    }
    // Only the holder writes the file, and only now; a name that cannot be written leaves the
    // next copy without it, nothing worse.
    const QByteArray text = name.toUtf8();
    if (ftruncate(fd, 0) == 0 && !text.isEmpty() && pwrite(fd, text.constData(), size_t(text.size()), 0) < 0)
        fError = QStringLiteral("%1: %2").arg(fPath, QString::fromLocal8Bit(std::strerror(errno)));
    fFd = fd;
    fHeld = true;
    return true;
#endif
}
