// Which application-data convention ("local" or "roaming") the installation chose in "wd.ini".
// Created and used on the GUI thread only.
#pragma once

#include "services/utils/ini_file.h"

#include <QString>
#include <memory>

class TWorkingDirHandler
{
public:
    static TWorkingDirHandler *getInstance();
    static void release();

    // Looks for "wd.ini" in `exeDir`, else for "../wd.ini" relative to the current directory.
    explicit TWorkingDirHandler(const QString &exeDir);

    QString Get_working_dir_convention() const;
    void Set_working_dir_convention(const QString &value);

    // The chosen file, or empty when there is none.
    QString fileName() const;

private:
    std::unique_ptr<TIniFile> fFile;
};
