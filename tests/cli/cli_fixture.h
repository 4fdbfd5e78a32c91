// The command-line program run as a process against the simulated adapter, in a home of its own:
// its environment, a run with its output and exit status, and the simulated chip afterwards.
#pragma once

#include "qt_printers.h"
#include "sim_control.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct Result {
    int status = -1;
    bool crashed = false;
    QString out;
    QString err;
    QStringList lines() const { return out.split(u'\n', Qt::SkipEmptyParts); }
};

class Cli : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fHome.isValid());
        fScenario = QStringLiteral(ZORBIT_DEMO_SCENARIO);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_LIBRARY_PATH"), QStringLiteral(ZORBIT_SIM_DIR));
        env.insert(QStringLiteral("IOWSIM_SCENARIO"), fScenario);
        env.insert(QStringLiteral("IOWSIM_STATE"), statePath());
        env.insert(QStringLiteral("HOME"), fHome.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), fHome.filePath(QStringLiteral("data")));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), fHome.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir());
        for (auto it = fEnv.cbegin(); it != fEnv.cend(); ++it)
            env.insert(it.key(), it.value());
        return env;
    }
    QString statePath() const { return fHome.filePath(QStringLiteral("state.ini")); }
    QString runtimeDir() const { return fHome.path(); }
    QString journalFolder() const { return fHome.filePath(QStringLiteral("data/Orvel_IIC_Zorbit")); }
    void useScenario(const QString &text)
    {
        fScenario = fHome.filePath(QStringLiteral("scenario.ini"));
        QFile file(fScenario);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text.toUtf8());
    }

    Result run(const QStringList &args, const QByteArray &input = {})
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        p.start(QStringLiteral(ZORBIT_CLI), args);
        EXPECT_TRUE(p.waitForStarted());
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(120000)) << args.join(u' ').toStdString();
        Result r;
        r.crashed = p.exitStatus() != QProcess::NormalExit;
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    static QJsonObject object(const QString &text)
    {
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << text.toStdString();
        return doc.object();
    }
    // Every line of JSON output as an object; each must be one.
    static QList<QJsonObject> objects(const QString &text)
    {
        QList<QJsonObject> list;
        for (const QString &line : text.split(u'\n', Qt::SkipEmptyParts))
            list << object(line);
        return list;
    }
    QStringList scannedAddresses()
    {
        const Result r = run({QStringLiteral("scan"), QStringLiteral("--json")});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        QStringList found;
        for (const QJsonObject &t : objects(r.out))
            found << t[QStringLiteral("address")].toString();
        return found;
    }

    // The chip's page by the state file, read by a fresh simulation.
    iowsim_transmitter_info chip()
    {
        zorbit_test::SimControl sim;
        char error[256] = {};
        EXPECT_EQ(sim.iowsim_load_scenario(fScenario.toLocal8Bit().constData(), statePath().toLocal8Bit().constData(),
                                           error, sizeof error),
                  1);
        iowsim_transmitter_info info{};
        sim.iowsim_get_transmitter(0, &info);
        info.memory_error = info.pages[info.current_page][0x17] != sim.iowsim_checksum(info.pages[info.current_page]);
        return info;
    }

    QTemporaryDir fHome;
    QString fScenario;
    QMap<QString, QString> fEnv; // set last, over the inherited environment
};

