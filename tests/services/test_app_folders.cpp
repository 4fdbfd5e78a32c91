#include "ZUtils.h"
#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

// Points the user's and the system-wide data folders at a temporary tree for one test.
class AppFolders : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fRoot.isValid());
        fSavedHome = qgetenv("XDG_DATA_HOME");
        fSavedDirs = qgetenv("XDG_DATA_DIRS");
        userData = fRoot.filePath(QStringLiteral("home/.local/share"));
        systemData = fRoot.filePath(QStringLiteral("system/share"));
        QDir().mkpath(userData);
        QDir().mkpath(systemData);
        setFolders(userData, systemData);
    }
    void TearDown() override
    {
        restore("XDG_DATA_HOME", fSavedHome);
        restore("XDG_DATA_DIRS", fSavedDirs);
    }

    static void setFolders(const QString &user, const QString &system)
    {
        qputenv("XDG_DATA_HOME", user.toLocal8Bit());
        qputenv("XDG_DATA_DIRS", system.toLocal8Bit());
    }
    // A folder below a plain file can be neither used nor created, not even by root.
    QString unusable(const QString &name)
    {
        const QString file = fRoot.filePath(name);
        QFile f(file);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        return file + QStringLiteral("/share");
    }

    QTemporaryDir fRoot;
    QString userData;
    QString systemData;

private:
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }
    QByteArray fSavedHome;
    QByteArray fSavedDirs;
};

} // namespace

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
