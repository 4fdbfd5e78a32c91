// A run recorded by `measure --record` at the fastest pace and killed (SIGKILL): the file is sound,
// it holds every measurement printed up to a second before the kill, in order, and `runs` lists
// the run afterwards. The retention settings hold for a recording of the command line too.
#include "cli_fixture.h"
#include "run_files.h"
#include "services/recording/run_database.h"

#include <QElapsedTimer>
#include <csignal>

namespace {

struct Printed {
    QDateTime time;
    unsigned pressure_raw = 0;
    unsigned temperature_raw = 0;
};

// Time, pressure, temperature, raw pressure, raw temperature, tab-separated.
Printed parse(const QString &line)
{
    const QStringList f = line.split(u'\t');
    Printed p;
    if (f.size() == 5) {
        p.time = QDateTime::fromString(f[0], Qt::ISODateWithMs);
        p.pressure_raw = f[3].toUInt();
        p.temperature_raw = f[4].toUInt();
    }
    return p;
}

} // namespace

TEST_F(Cli, AKilledRecordingKeepsEveryMeasurementButTheLastSecond)
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral(ZORBIT_CLI), {QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x28"),
                                         QStringLiteral("--interval"), QStringLiteral("10"), QStringLiteral("--record")});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray output;
    QElapsedTimer measuring;
    // Several seconds of measurements, counted from the first one.
    while (p.state() == QProcess::Running && (!measuring.isValid() || measuring.elapsed() < 4000)) {
        p.waitForReadyRead(100);
        output += p.readAllStandardOutput();
        if (!measuring.isValid() && output.count('\n') >= 2)
            measuring.start();
    }
    ASSERT_EQ(p.state(), QProcess::Running) << p.readAllStandardError().toStdString();
    const QDateTime killed = QDateTime::currentDateTime();
    ::kill(pid_t(p.processId()), SIGKILL);
    ASSERT_TRUE(p.waitForFinished(10000));
    output += p.readAllStandardOutput();

    QList<Printed> printed;
    for (const QString &line : QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts).mid(1))
        if (const Printed m = parse(line); m.time.isValid())
            printed << m;
    ASSERT_GT(printed.size(), 50) << output.left(400).toStdString();
    qsizetype before_last_second = 0;
    while (before_last_second < printed.size() && printed[before_last_second].time < killed.addMSecs(-1000))
        ++before_last_second;

    const QString file = fHome.filePath(QStringLiteral("data/Orvel_IIC_Zorbit/SQLite/")) +
                         QString::fromLatin1(run_database::FileName);
    TRunDatabase db;
    ASSERT_EQ(db.open(file, TRunDatabase::Access::ReadOnly), QString());
    EXPECT_EQ(db.integrity_check(), QStringLiteral("ok"));
    const QList<run_database::Run> runs = db.runs();
    ASSERT_EQ(runs.size(), 1);
    EXPECT_FALSE(runs[0].ended.isValid()) << "killed: no end";
    std::vector<run_database::Row> rows;
    std::vector<std::int64_t> breaks;
    ASSERT_EQ(db.read(runs[0].id, rows, breaks), QString());
    EXPECT_GE(qsizetype(rows.size()), before_last_second) << "at most the last second is lost";
    const size_t compared = std::min(rows.size(), size_t(printed.size()));
    for (size_t i = 0; i < compared; ++i) {
        ASSERT_EQ(rows[i].n, std::int64_t(i));
        ASSERT_EQ(rows[i].pressure_raw, printed[qsizetype(i)].pressure_raw) << i;
        ASSERT_EQ(rows[i].temperature_raw, printed[qsizetype(i)].temperature_raw) << i;
    }
    db.close();

    // Afterwards the run is listed with what was kept.
    const Result listed = run({QStringLiteral("runs"), QStringLiteral("--json")});
    ASSERT_EQ(listed.status, 0) << listed.err.toStdString();
    const QList<QJsonObject> list = objects(listed.out);
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0][QStringLiteral("schema")].toInt(), 1);
    EXPECT_EQ(list[0][QStringLiteral("measurements")].toInteger(), qint64(rows.size()));
    EXPECT_EQ(list[0][QStringLiteral("address")].toString(), QStringLiteral("0x28"));
    EXPECT_TRUE(list[0][QStringLiteral("ended")].isNull());
}

TEST_F(Cli, ARecordingStartRemovesTheRunsOlderThanTheRetentionSetting)
{
    const QString folder = fHome.filePath(QStringLiteral("data/Orvel_IIC_Zorbit/SQLite"));
    const QDateTime now = QDateTime::currentDateTime();
    const std::int64_t old = run_files::store(folder, run_files::transmitter(now.addDays(-40)), run_files::rows(5));
    const std::int64_t young = run_files::store(folder, run_files::transmitter(now.addDays(-2)), run_files::rows(5));
    ASSERT_TRUE(old > 0 && young > 0);
    {
        QFile settings(fHome.filePath(QStringLiteral("data/Orvel_IIC_Zorbit/Orvel_IIC_Addr.ini")));
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write("[dbconfig]\nretentionDays=30\n");
    }
    const Result r = run({QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x28"),
                          QStringLiteral("--count"), QStringLiteral("3"), QStringLiteral("--interval"),
                          QStringLiteral("10"), QStringLiteral("--record")});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QStringLiteral("Removed 1 recorded run by the retention settings: 1 older than 30 days.\n"));
    const QList<std::int64_t> kept = run_files::ids(folder);
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[0], young);
    EXPECT_GT(kept[1], young) << "the new run";
}
