// The program started as a process in a home of its own, on a simulated bus: for the tests and
// benchmarks that run it whole. One thread.
#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

namespace program_process {

// The program's event log in `home`.
inline QString logText(const QTemporaryDir &home)
{
    QFile log(home.filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt")));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

// Starts `programPath` with its data, runtime folder, scenario `scenarioText` and simulated state
// in `home`; without `library` the simulated adapter library is off the loader's path, as on a
// machine without the maker's. An empty result: started; else why not.
inline QString start(QProcess &program, const QString &programPath, const QTemporaryDir &home,
                     const char *scenarioText, bool library = true)
{
    if (!home.isValid())
        return QStringLiteral("no home folder");
    QDir(home.path()).mkpath(QStringLiteral("run"));
    QFile scenario(home.filePath(QStringLiteral("scenario.ini")));
    if (!scenario.open(QIODevice::WriteOnly))
        return QStringLiteral("no scenario file");
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
    program.setProgram(programPath);
    program.start();
    return program.waitForStarted(10000) ? QString() : QStringLiteral("the program did not start");
}

} // namespace program_process
