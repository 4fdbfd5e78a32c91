#include "file_faults.h"

#include "services/utils/file_commit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace file_faults {
namespace {

bool permissionFault(Fault fault)
{
    return fault == Fault::ReadOnlyFile || fault == Fault::ReadOnlyFolder || fault == Fault::ReadOnlyMidSession;
}

std::string lastError(const char *what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

// Everything below `path` to the user, so that it can still read what the test laid down.
void handOver(const QString &path, uid_t uid, gid_t gid)
{
    if (::chown(QFile::encodeName(path).constData(), uid, gid) != 0)
        return;
    if (QFileInfo(path).isDir())
        for (const QString &entry : QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
            handOver(QDir(path).filePath(entry), uid, gid);
}

// Returns why the child cannot drop to an unprivileged user, empty when it did.
std::string dropPrivileges(const QString &top, const QString &folder)
{
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody)
        return "no user \"nobody\" to run as";
    handOver(top, nobody->pw_uid, nobody->pw_gid);
    if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
        return lastError("dropping to \"nobody\"");
    if (::access(QFile::encodeName(folder).constData(), R_OK | W_OK | X_OK) != 0)
        return lastError("the test folder is out of reach of \"nobody\"");
    return {};
}

std::string mountSmallFileSystem(const QString &folder)
{
    const int flags = ::geteuid() == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS;
    if (::unshare(flags) != 0)
        return lastError("no mount namespace");
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return lastError("mounts cannot be made private");
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=256k") != 0)
        return lastError("mounting a small tmpfs is not allowed");
    return {};
}

// Takes up what is left of the small file system.
void fill(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(QDir(folder).filePath(QStringLiteral(".filler"))).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0)
        return;
    const std::string block(4096, 'f');
    while (::write(fd, block.data(), block.size()) > 0) {
    }
    char byte = 'f';
    while (::write(fd, &byte, 1) > 0) {
    }
    ::close(fd);
}

void writeText(int fd, const std::string &text)
{
    for (size_t done = 0; done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

Findings parse(const std::string &text)
{
    Findings findings;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq != std::string::npos)
            findings[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    return findings;
}

} // namespace

const char *name(Fault fault)
{
    switch (fault) {
    case Fault::ReadOnlyFile: return "read-only file";
    case Fault::ReadOnlyFolder: return "read-only folder";
    case Fault::DirectoryInPlace: return "directory in place of the file";
    case Fault::FullFileSystem: return "full file system";
    case Fault::InjectedWriteFailure: return "injected write failure";
    case Fault::ReadOnlyMidSession: return "read-only in mid-session";
    }
    return "?";
}

void apply(Fault fault, const QString &folder, const QString &fileName)
{
    const QString path = QDir(folder).filePath(fileName);
    switch (fault) {
    case Fault::ReadOnlyFile:
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
        break;
    case Fault::ReadOnlyFolder:
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                          QFileDevice::ExeOther);
        break;
    case Fault::ReadOnlyMidSession:
        apply(Fault::ReadOnlyFile, folder, fileName);
        apply(Fault::ReadOnlyFolder, folder, fileName);
        break;
    case Fault::DirectoryInPlace:
        QFile::remove(path);
        QDir().mkpath(path);
        break;
    case Fault::FullFileSystem:
        fill(folder);
        break;
    case Fault::InjectedWriteFailure:
        file_commit::set_fault([path](const QString &target) {
            // The writer's own file and the save file beside it.
            return QFileInfo(target).absolutePath() == QFileInfo(path).absolutePath();
        });
        break;
    }
}

Outcome runInChild(Fault fault, const QString &top, const QString &folder, const QString &fileName, const Body &body)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return {true, lastError("no pipe"), false, {}};
    const pid_t child = ::fork();
    if (child < 0)
        return {true, lastError("no child process"), false, {}};
    if (child == 0) {
        ::close(channel[0]);
        std::string skip;
        if (fault == Fault::FullFileSystem)
            skip = mountSmallFileSystem(folder);
        else if (permissionFault(fault) && ::geteuid() == 0)
            skip = dropPrivileges(top, folder);
        if (!skip.empty()) {
            writeText(channel[1], "skip=" + skip + "\n");
            ::_exit(0);
        }
        std::signal(SIGXFSZ, SIG_IGN);
        const Findings findings = body([&] { apply(fault, folder, fileName); });
        std::string text;
        for (const auto &[key, value] : findings)
            text += key + "=" + value + "\n";
        writeText(channel[1], text);
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, size_t(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    Outcome outcome;
    outcome.findings = parse(text);
    outcome.exitedNormally = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    const auto skip = outcome.findings.find("skip");
    if (skip != outcome.findings.end()) {
        outcome.skipped = true;
        outcome.skipReason = skip->second;
    }
    return outcome;
}

} // namespace file_faults
