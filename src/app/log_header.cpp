#include "app/log_header.h"

#include "services/utils/WorkingDirHandler.h"
#include "services/utils/ZUtils.h"
#include "services/log/logFile.h"
#include "app/product_info.h"

#include <QDir>
#include <QStringList>

namespace log_header {

void write(TLogFile &log, const TWorkingDirHandler &workingDir)
{
    const QString built = product_info::programBuildStamp();
    const QString logFolder =
        ZFile::Get_known_Folder(workingDir.Get_working_dir_convention(), QStringLiteral("\\Orvel_IIC_Zorbit"));
    QStringList lines = {QString(), QString(),
                         QStringLiteral("----------------------       QUARNE Orvel : IIC Zorbit     Version: 1.3 "
                                        "Version allows Addr 0x00(") +
                             built + QStringLiteral(") ---------------------------"),
                         QStringLiteral("Logfile : ") + QDir::toNativeSeparators(logFolder + QStringLiteral("/logs"))};
    for (int format : {int(ZUser::NameFullyQualifiedDN), int(ZUser::NameSamCompatible)}) {
        QString name;
        const int error = ZUser::GetLoggedOnUserNameEx(format, name);
        lines.append(QStringLiteral("User : ") + (error == 0 ? name : qt_error_string(error)));
    }
    lines.append(QString());
    for (const QString &line : lines)
        log.addEvent(catNone, lNormal, line);
}

} // namespace log_header
