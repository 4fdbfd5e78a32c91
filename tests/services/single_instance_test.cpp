// The single-instance guard between real processes, including one that is killed.
#include "services/utils/single_instance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include "qt_printers.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

class SingleInstance : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(fFolder.isValid()); }
    void TearDown() override
    {
        for (auto &process : fProcesses) {
            process->closeWriteChannel();
            if (!process->waitForFinished(5000))
                process->kill();
        }
    }

    // Starts a holder and returns its process once it has said whether it got the guard.
    QProcess *startHolder(QString *answer, const QStringList &extra = {})
    {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QDir(QCoreApplication::applicationDirPath())
                                .filePath(QStringLiteral("single_instance_holder")));
        process->setArguments(QStringList{fName, fFolder.path()} + extra);
        process->start();
        EXPECT_TRUE(process->waitForStarted(10000));
        QString said;
        while (!said.contains(QStringLiteral("acquired")) && !said.contains(QStringLiteral("refused"))) {
            if (!process->waitForReadyRead(10000))
                break;
            said += QString::fromLocal8Bit(process->readAll());
        }
        *answer = said.trimmed();
        fProcesses.push_back(std::move(process));
        return fProcesses.back().get();
    }

    QTemporaryDir fFolder;
    const QString fName = QStringLiteral("Orvel_Zorbit_test");
    std::vector<std::unique_ptr<QProcess>> fProcesses;
};

TEST_F(SingleInstance, ASecondProcessIsRefusedWhileTheFirstRuns)
{
    QString first, second;
    QProcess *holder = startHolder(&first);
    EXPECT_EQ(first, QStringLiteral("acquired"));
    QProcess *refused = startHolder(&second);
    EXPECT_EQ(second, QStringLiteral("refused"));
    EXPECT_TRUE(refused->waitForFinished(10000));
    EXPECT_EQ(refused->exitCode(), 3);
    EXPECT_FALSE(TSingleInstance(fName, fFolder.path()).tryAcquire());

    // The first copy was not disturbed; once it ends, the next start succeeds.
    EXPECT_EQ(holder->state(), QProcess::Running);
    holder->closeWriteChannel();
    ASSERT_TRUE(holder->waitForFinished(10000));
    EXPECT_EQ(holder->exitCode(), 0);
    TSingleInstance next(fName, fFolder.path());
    EXPECT_TRUE(next.tryAcquire());
    EXPECT_TRUE(next.isGuarded());
}

TEST_F(SingleInstance, AKilledHolderDoesNotLockTheUserOut)
{
    QString answer;
    QProcess *holder = startHolder(&answer);
    ASSERT_EQ(answer, QStringLiteral("acquired"));
    holder->kill(); // SIGKILL: no clean-up runs in the holder
    ASSERT_TRUE(holder->waitForFinished(10000));
    EXPECT_EQ(holder->exitStatus(), QProcess::CrashExit);
    EXPECT_TRUE(QFileInfo::exists(TSingleInstance(fName, fFolder.path()).lockFilePath()));
    TSingleInstance next(fName, fFolder.path());
    EXPECT_TRUE(next.tryAcquire());
    EXPECT_TRUE(next.isGuarded());
}

TEST_F(SingleInstance, ProgramsStartedByTheHolderDoNotKeepTheLock)
{
    QString answer;
    QProcess *holder = startHolder(&answer, {QStringLiteral("spawn")});
    ASSERT_TRUE(answer.endsWith(QStringLiteral("acquired"))) << answer.toStdString();
    const qint64 child = answer.section(u'\n', 0, 0).section(u' ', 1, 1).toLongLong();
    ASSERT_GT(child, 0);
    holder->kill();
    holder->waitForFinished(10000);
    TSingleInstance next(fName, fFolder.path());
    EXPECT_TRUE(next.tryAcquire());
    ::kill(pid_t(child), SIGKILL);
}

TEST_F(SingleInstance, TheGuardIsHeldForTheLifeOfTheObject)
{
    auto guard = std::make_unique<TSingleInstance>(fName, fFolder.path());
    ASSERT_TRUE(guard->tryAcquire());
    EXPECT_TRUE(guard->tryAcquire()); // asking again keeps it
    QString answer;
    startHolder(&answer);
    EXPECT_EQ(answer, QStringLiteral("refused"));
    guard.reset();
    startHolder(&answer);
    EXPECT_EQ(answer, QStringLiteral("acquired"));
}

TEST_F(SingleInstance, DifferentNamesDoNotMeet)
{
    TSingleInstance one(fName, fFolder.path());
    TSingleInstance other(fName + QStringLiteral("_other"), fFolder.path());
    EXPECT_TRUE(one.tryAcquire());
    EXPECT_TRUE(other.tryAcquire());
    EXPECT_TRUE(other.isGuarded());
}

TEST_F(SingleInstance, WithoutAUsableFolderTheProgramRunsUnguarded)
{
    QFile plain(fFolder.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    TSingleInstance guard(fName, plain.fileName() + QStringLiteral("/below"));
    EXPECT_TRUE(guard.tryAcquire());
    EXPECT_FALSE(guard.isGuarded());
    EXPECT_FALSE(guard.errorString().isEmpty());
}

TEST_F(SingleInstance, TheDefaultLockLivesInTheUsersRuntimeFolder)
{
    const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", fFolder.path().toLocal8Bit());
    TSingleInstance guard;
    EXPECT_EQ(guard.lockFilePath(), QDir(fFolder.path()).filePath(QStringLiteral("Orvel_Zorbit.lock")));
    qunsetenv("XDG_RUNTIME_DIR");
    const QString fallback = TSingleInstance().lockFilePath();
    EXPECT_TRUE(fallback.startsWith(QDir::tempPath())) << fallback.toStdString();
    EXPECT_TRUE(QFileInfo(fallback).fileName().startsWith(QStringLiteral("Orvel_Zorbit-"))) << fallback.toStdString();
    if (!saved.isNull())
        qputenv("XDG_RUNTIME_DIR", saved);
}

} // namespace

TEST_F(SingleInstance, ARefusedCopyLearnsTheNameTheHolderKept)
{
    auto first = std::make_unique<TSingleInstance>(fName, fFolder.path());
    ASSERT_TRUE(first->tryAcquire(QStringLiteral("orvel-zorbit-cli")));
    TSingleInstance second(fName, fFolder.path());
    EXPECT_FALSE(second.tryAcquire(QStringLiteral("Orvel I2C Zorbit")));
    EXPECT_EQ(second.holder(), QStringLiteral("orvel-zorbit-cli"));
    EXPECT_EQ(second.errorString(), QString());

    // A holder that keeps no name leaves none from the one before.
    first = std::make_unique<TSingleInstance>(fName, fFolder.path());
    ASSERT_TRUE(first->tryAcquire());
    EXPECT_FALSE(second.tryAcquire(QStringLiteral("Orvel I2C Zorbit")));
    EXPECT_EQ(second.holder(), QString());
}
