#include "services/utils/ZUtils.h"
#include "qt_printers.h"
#include "temp_data_folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

using AppFolders = TempDataFolders;

TEST_F(AppFolders, CreatesTheFolderWithItsParentsBelowTheUserFolder)
{
    const QString expected = userData + QStringLiteral("/Orvel_IIC_Zorbit/logs");
    ASSERT_FALSE(QFileInfo::exists(expected));
    EXPECT_EQ(ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit\\logs")), expected);
    EXPECT_TRUE(QFileInfo(expected).isDir());
    // found again, unchanged, on a later call
    EXPECT_EQ(ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit\\logs")), expected);
}

TEST_F(AppFolders, BothConventionsGiveTheSameFolderOnThisPlatform)
{
    EXPECT_EQ(ZFile::Get_known_Folder(QStringLiteral("roaming"), QStringLiteral("\\Orvel_IIC_Zorbit")),
              ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit")));
}

TEST_F(AppFolders, AFreshAccountGetsItsDataFolderCreated)
{
    const QString missingUser = fRoot.filePath(QStringLiteral("newhome/.local/share"));
    setFolders(missingUser, systemData);
    EXPECT_EQ(ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit")),
              missingUser + QStringLiteral("/Orvel_IIC_Zorbit"));
}

TEST_F(AppFolders, FallsBackToTheAllUsersFolder)
{
    setFolders(unusable(QStringLiteral("blocked-home")), systemData);
    EXPECT_EQ(ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit")),
              systemData + QStringLiteral("/Orvel_IIC_Zorbit"));
}

TEST_F(AppFolders, AccessDeniedWhenNothingIsWritable)
{
    setFolders(unusable(QStringLiteral("blocked-home")), unusable(QStringLiteral("blocked-system")));
    EXPECT_EQ(ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit")),
              QStringLiteral("Access Denied"));
}

TEST_F(AppFolders, AccessDeniedWhenTheSubfolderCannotBeCreated)
{
    QFile blocker(userData + QStringLiteral("/Orvel_IIC_Zorbit"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    EXPECT_EQ(ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit\\logs")),
              QStringLiteral("Access Denied"));
}

TEST_F(AppFolders, BaseFoldersByVersionAndConvention)
{
    struct {
        TWinVersion version;
        const char *convention;
        bool firstIsUser;
    } cases[] = {
        {wvWin7, "local", true},     {wvWin7, "roaming", true},    {wvWinVista, "local", true},
        {wvWin7, "elsewhere", false}, {wvUnknown, "local", true},  {wvUnknown, "elsewhere", true},
        {wvWinXP, "roaming", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.convention);
        const auto bases = ZFile::BaseFolders(c.version, QString::fromLatin1(c.convention));
        EXPECT_EQ(bases.first, c.firstIsUser ? userData : QString());
        EXPECT_EQ(bases.second, systemData);
    }
}

TEST_F(AppFolders, WriteAccessIsTriedNotGuessed)
{
    EXPECT_TRUE(ZFile::CheckWriteAccess(userData));
    EXPECT_FALSE(ZFile::CheckWriteAccess(fRoot.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(ZFile::CheckWriteAccess(unusable(QStringLiteral("plain-file"))));
    EXPECT_TRUE(QDir(userData).entryList(QDir::Files | QDir::Hidden).isEmpty()) << "the probe file must not stay";
    if (geteuid() != 0) {
        const QString readOnly = fRoot.filePath(QStringLiteral("read-only"));
        QDir().mkpath(readOnly);
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        EXPECT_FALSE(ZFile::CheckWriteAccess(readOnly));
        QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
}
