// The single instance: its folder, its settings and its release.
#include "services/utils/WorkingDirHandler.h"
#include "log_test_support.h"

namespace {

// Points the user's data folder at a temporary one for the whole test.
class LogInstance : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fData.isValid());
        fPrevious = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", fData.path().toLocal8Bit());
    }
    void TearDown() override
    {
        TLogFile::release();
        TIniHandler::release();
        TWorkingDirHandler::release();
        if (fPrevious.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", fPrevious);
    }

    QString appFolder() const { return QDir(fData.path()).filePath(QStringLiteral("Orvel_IIC_Zorbit")); }

    QTemporaryDir fData;
    QByteArray fPrevious;
};

TEST_F(LogInstance, LogsBelowTheUsersDataFolderWithTheStoredVerbosities)
{
    ASSERT_TRUE(QDir().mkpath(appFolder()));
    ASSERT_TRUE(writeFile(QDir(appFolder()).filePath(QStringLiteral("Orvel_IIC_Addr.ini")),
                          "[logFile]\r\ncommunicationMode=2\r\n"));

    TLogFile *log = TLogFile::getInstance();
    EXPECT_EQ(TLogFile::getInstance(), log);
    const QString logs = QDir(appFolder()).filePath(QStringLiteral("logs"));
    EXPECT_EQ(log->Get_LogDir(), logs);
    EXPECT_TRUE(QFileInfo(logs).isDir());
    EXPECT_EQ(log->Get_CommunicationMode(), lDebug);
    EXPECT_EQ(log->Get_CoreMode(), lError);

    log->addEvent(catCommunication, lDebug, QStringLiteral("kept at release"));
    TLogFile::release();
    EXPECT_TRUE(fileBytes(QDir(logs).filePath(QStringLiteral("log.txt"))).endsWith("\tCommunication\tDebug\tkept at release\r\n"));
}

TEST_F(LogInstance, ModeSettersReachTheSettingsStoreEvenAfterItWasReleased)
{
    TLogFile *log = TLogFile::getInstance();
    // The main window releases the settings store while the log lives on.
    TIniHandler::release();
    log->Set_ConverterMode(lDebug);
    EXPECT_EQ(TIniHandler::getInstance()->Get_LogConverterMode(), int(lDebug));
}

} // namespace
