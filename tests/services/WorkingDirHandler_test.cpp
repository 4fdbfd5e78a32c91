#include "services/utils/WorkingDirHandler.h"
#include "qt_printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// exeDir and a working directory whose parent may hold a "wd.ini".
class WorkingDir : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fRoot.isValid());
        exeDir = fRoot.filePath(QStringLiteral("bin"));
        cwd = fRoot.filePath(QStringLiteral("top/run"));
        QDir().mkpath(exeDir);
        QDir().mkpath(cwd);
        fSavedCwd = QDir::currentPath();
        QDir::setCurrent(cwd);
    }
    void TearDown() override { QDir::setCurrent(fSavedCwd); }

    QTemporaryDir fRoot;
    QString exeDir;
    QString cwd;

private:
    QString fSavedCwd;
};

} // namespace

TEST_F(WorkingDir, NoFileMeansLocalAndWritesNothing)
{
    TWorkingDirHandler handler(exeDir);
    EXPECT_EQ(handler.Get_working_dir_convention(), QStringLiteral("local"));
    handler.Set_working_dir_convention(QStringLiteral("roaming"));
    EXPECT_EQ(handler.Get_working_dir_convention(), QStringLiteral("local"));
    EXPECT_FALSE(QFile::exists(exeDir + QStringLiteral("/wd.ini")));
    EXPECT_TRUE(handler.fileName().isEmpty());
}

TEST_F(WorkingDir, FileBesideTheExecutableComesFirst)
{
    writeFile(exeDir + QStringLiteral("/wd.ini"), "[directory]\nworkingdir=roaming\n");
    writeFile(fRoot.filePath(QStringLiteral("top/wd.ini")), "[directory]\nworkingdir=local\n");
    TWorkingDirHandler handler(exeDir);
    EXPECT_EQ(handler.Get_working_dir_convention(), QStringLiteral("roaming"));
}

TEST_F(WorkingDir, ElseTheFileAboveTheCurrentDirectory)
{
    writeFile(fRoot.filePath(QStringLiteral("top/wd.ini")), "[Directory]\r\nWorkingDir = roaming\r\n");
    TWorkingDirHandler handler(exeDir);
    EXPECT_EQ(handler.Get_working_dir_convention(), QStringLiteral("roaming"));
    EXPECT_EQ(handler.fileName(), fRoot.filePath(QStringLiteral("top/wd.ini")));
}

TEST_F(WorkingDir, FileWithoutTheKeyMeansLocalAndIsReadOnEveryQuery)
{
    const QString path = exeDir + QStringLiteral("/wd.ini");
    writeFile(path, "[other]\nworkingdir=roaming\n");
    TWorkingDirHandler handler(exeDir);
    EXPECT_EQ(handler.Get_working_dir_convention(), QStringLiteral("local"));
    writeFile(path, "[directory]\nworkingdir=roaming\n");
    EXPECT_EQ(handler.Get_working_dir_convention(), QStringLiteral("roaming"));
    handler.Set_working_dir_convention(QStringLiteral("local"));
    EXPECT_EQ(TWorkingDirHandler(exeDir).Get_working_dir_convention(), QStringLiteral("local"));
}
