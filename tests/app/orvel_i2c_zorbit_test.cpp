// The program as a process: a close request ends it cleanly in every state, a silent bus included.
#include "program_process.h"
#include "wait_until.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct ExitCase {
    const char *name;
    const char *scenario; // the bus the program finds
    const char *logged;   // a log line that shows the program is (nearly) in that state
    int settle_ms;        // then so long, to close it in the middle of a cycle
};

class Program : public ::testing::Test
{
protected:
    QString logText() const { return program_process::logText(home); }
    // Starts the program on the bus `scenarioText`; without `library`, as on a machine without
    // the adapter maker's library.
    void start(QProcess &program, const char *scenarioText, bool library = true)
    {
        const QString why = program_process::start(
            program, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvel-i2c-zorbit")), home,
            scenarioText, library);
        ASSERT_TRUE(why.isEmpty()) << why.toStdString();
    }
    QTemporaryDir home;
};

class ProgramExit : public Program, public ::testing::WithParamInterface<ExitCase>
{
};

// clang-format off
const ExitCase Cases[] = {
    {"SilentBus", "[adapter]\ndrop_answers = true\n", "The IO-Warrior adapter does not answer", 1000},
    {"NoAdapter", "[adapter]\nplugged = false\n", "No IO-Warrior adapter found", 300},
    {"Scanning", "[transmitter.t]\naddress = 0x28\n", "User : ", 2000},
};
// clang-format on

} // namespace

// How long it takes is measured by the ProgramExit benchmark.
TEST_P(ProgramExit, EndsCleanlyOnTheCloseRequest)
{
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(start(program, GetParam().scenario));

    ASSERT_TRUE(wait_until::without_pumping([&] { return logText().contains(QString::fromLatin1(GetParam().logged)); },
                                            20000))
        << logText().toStdString();
    QThread::msleep(ulong(GetParam().settle_ms));

    ::kill(pid_t(program.processId()), SIGTERM); // as the session's close request
    ASSERT_TRUE(program.waitForFinished(10000)) << "a close request left unanswered";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

INSTANTIATE_TEST_SUITE_P(States, ProgramExit, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<ExitCase> &info) { return std::string(info.param.name); });

// Without the adapter maker's library every scan cycle fails to open the adapter; the log says
// once what is missing and where it is looked for, not twice a second.
TEST_F(Program, WithoutTheAdapterLibraryTheLogSaysSoOnce)
{
    QProcess program;
    ASSERT_NO_FATAL_FAILURE(start(program, "[transmitter.t]\naddress = 0x28\n", false));
    ASSERT_TRUE(wait_until::without_pumping([&] { return logText().contains(QStringLiteral("libiowkit.so.1")); },
                                            20000))
        << logText().toStdString();
    QThread::msleep(2500); // several scan cycles
    ::kill(pid_t(program.processId()), SIGTERM);
    ASSERT_TRUE(program.waitForFinished(10000));
    const QString log = logText();
    EXPECT_EQ(log.count(QStringLiteral("Error open IO-Device")), 1) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("is not installed")), 1) << log.toStdString();
    EXPECT_EQ(program.exitCode(), 0);
}
