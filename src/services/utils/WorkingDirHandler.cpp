#include "services/utils/WorkingDirHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString Section = QStringLiteral("directory");
const QString Key = QStringLiteral("workingdir");
const QString DefaultConvention = QStringLiteral("local");

std::unique_ptr<TWorkingDirHandler> &instance()
{
    static std::unique_ptr<TWorkingDirHandler> handler;
    return handler;
}

QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

} // namespace

TWorkingDirHandler *TWorkingDirHandler::getInstance()
{
    if (!instance())
        instance() = std::make_unique<TWorkingDirHandler>(executableDir());
    return instance().get();
}

void TWorkingDirHandler::release()
{
    instance().reset();
}

TWorkingDirHandler::TWorkingDirHandler(const QString &exeDir)
{
    const QString besideExe = QDir(exeDir).filePath(QStringLiteral("wd.ini"));
    const QString parentOfCwd = QDir::current().filePath(QStringLiteral("../wd.ini"));
    if (QFileInfo::exists(besideExe))
        fFile = std::make_unique<TIniFile>(besideExe);
    else if (QFileInfo::exists(parentOfCwd))
        fFile = std::make_unique<TIniFile>(QDir::cleanPath(parentOfCwd));
}

QString TWorkingDirHandler::Get_working_dir_convention() const
{
    // Read afresh on every query: a file object keeps what it read once.
    return fFile ? TIniFile(fFile->FileName()).ReadString(Section, Key, DefaultConvention) : DefaultConvention;
}

void TWorkingDirHandler::Set_working_dir_convention(const QString &value)
{
    if (fFile)
        TIniFile(fFile->FileName()).WriteString(Section, Key, value);
}

QString TWorkingDirHandler::fileName() const
{
    return fFile ? fFile->FileName() : QString();
}
