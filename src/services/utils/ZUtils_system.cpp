// The operating-system side of ZUtils: folders, threads, version and user queries.
#include "services/utils/ZUtils.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryFile>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>
#endif

const QString ZFile::AccessDenied = QStringLiteral("Access Denied");

TWinVersion ZOS::MapWinVersion(unsigned platformId, unsigned major, unsigned minor, const QString &serviceText)
{
    constexpr unsigned platform9x = 1, platformNT = 2;
    if (platformId == platform9x && major == 4) {
        if (minor == 0)
            return wvWin95;
        if (minor == 10)
            return serviceText.size() > 1 && serviceText.at(1) == u'A' ? wvWin98SE : wvWin98;
        if (minor == 90)
            return wvWinME;
    }
    if (platformId == platformNT) {
        if (major <= 4)
            return wvWinNT;
        if (major == 5 && minor == 0)
            return wvWin2000;
        if (major == 5 && minor == 1)
            return wvWinXP;
        if (major == 6 && minor == 0)
            return wvWinVista;
        if (major == 6 && minor == 1)
            return wvWin7;
    }
    return wvUnknown;
}

TWinVersion ZOS::GetWinVersion()
{
#ifdef _WIN32
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(&info))
        return wvUnknown;
    return MapWinVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                         QString::fromWCharArray(info.szCSDVersion));
#else
    return wvUnknown;
#endif
}

namespace {

enum class DataFolder { Local, Roaming, AllUsers };

// The per-user folders follow XDG on Linux (no local/roaming split there); the all-users
// folder is the first system-wide data folder.
QString platformFolder(DataFolder which)
{
    switch (which) {
    case DataFolder::Local:
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    case DataFolder::Roaming:
#ifdef _WIN32
        return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/../..");
#else
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
    case DataFolder::AllUsers:
        return QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation).value(1);
    }
    return {};
}

QString joinSubpath(const QString &base, const QString &subpath)
{
    QString sub = subpath;
    sub.replace(u'\\', u'/');
    return QDir::toNativeSeparators(QDir::cleanPath(base + u'/' + sub));
}

// A fresh account may not have its data folder yet; it is ours to create.
bool usableBase(const QString &base)
{
    if (base.isEmpty())
        return false;
    QDir().mkpath(base);
    return ZFile::CheckWriteAccess(base);
}

} // namespace

ZFile::Bases ZFile::BaseFolders(TWinVersion version, const QString &local)
{
    if (version == wvWinVista || version == wvWin7) {
        QString first;
        if (local == QLatin1String("local"))
            first = platformFolder(DataFolder::Local);
        else if (local == QLatin1String("roaming"))
            first = platformFolder(DataFolder::Roaming);
        return {first, platformFolder(DataFolder::AllUsers)};
    }
    return {platformFolder(DataFolder::Roaming), platformFolder(DataFolder::AllUsers)};
}

QString ZFile::Get_known_Folder(const QString &local, const QString &subpath)
{
    const Bases bases = BaseFolders(ZOS::GetWinVersion(), local);
    for (const QString &base : {bases.first, bases.second}) {
        if (!usableBase(base))
            continue;
        const QString folder = joinSubpath(base, subpath);
        QDir().mkpath(folder);
        return QFileInfo(folder).isDir() ? folder : AccessDenied;
    }
    return AccessDenied;
}

bool ZFile::CheckWriteAccess(const QString &folder)
{
    if (!QFileInfo(folder).isDir())
        return false;
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral(".write_probe_XXXXXX")));
    return probe.open();
}

int32_t ZFile::getFileSize(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return -1;
    return int32_t(uint32_t(uint64_t(info.size()) & 0xFFFFFFFFu));
}

void ZThread::runProcedure(std::function<void()> method)
{
    std::thread(std::move(method)).detach();
}

int ZUser::GetLoggedOnUserNameEx(int fFormat, QString &Username)
{
#ifdef _WIN32
    Q_UNUSED(fFormat);
    Q_UNUSED(Username);
    return ERROR_NOT_SUPPORTED;
#else
    if (fFormat != NameFullyQualifiedDN && fFormat != NameSamCompatible)
        return EINVAL;
    long bufferSize = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size_t(bufferSize > 0 ? bufferSize : 16384));
    passwd entry{};
    passwd *found = nullptr;
    const int error = getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error != 0)
        return error;
    if (!found)
        return ENOENT;

    if (fFormat == NameSamCompatible) {
        Username = QSysInfo::machineHostName() + u'\\' + QString::fromLocal8Bit(entry.pw_name);
        return 0;
    }
    // The full name is the first comma-separated field of the account's comment.
    const QString fullName = QString::fromLocal8Bit(entry.pw_gecos ? entry.pw_gecos : "").section(u',', 0, 0);
    if (fullName.isEmpty())
        return ENODATA;
    Username = fullName;
    return 0;
#endif
}
