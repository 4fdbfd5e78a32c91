// The program as a process: a close request ends it cleanly in every state, a silent bus included.
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
    QString logText() const
    {
        QFile log(home.filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt")));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
    }
    // Starts the program in a home of its own on the bus `scenarioText`; without `library` the
    // simulated adapter library is off the loader's path, as on a machine without the maker's.
    void start(QProcess &program, const char *scenarioText, bool library = true)
    {
        ASSERT_TRUE(home.isValid());
        QDir(home.path()).mkpath(QStringLiteral("run"));
        QFile scenario(home.filePath(QStringLiteral("scenario.ini")));
        ASSERT_TRUE(scenario.open(QIODevice::WriteOnly));
        scenario.write(scenarioText);
        scenario.close();

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("run")));
        env.insert(QStringLiteral("IOWSIM_SCENARIO"), scenario.fileName());
        env.insert(QStringLiteral("IOWSIM_STATE"), home.filePath(QStringLiteral("state.ini")));
        env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0")); // the exit, not a leak report
        if (!library)
            env.remove(QStringLiteral("LD_LIBRARY_PATH"));
        program.setProcessEnvironment(env);
        program.setProgram(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvel-i2c-zorbit")));
        program.start();
        ASSERT_TRUE(program.waitForStarted(10000));
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
