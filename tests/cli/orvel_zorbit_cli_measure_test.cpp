// A measurement run that loses measurements: each lost one is told on standard error and never
// printed, the transmitter is looked for again and the run goes on; it ends with 1 only when the
// adapter stops answering or too many measurements in a row are lost.
#include "cli/cli_commands.h"
#include "cli_fixture.h"

namespace {

struct LossCase {
    const char *name;
    const char *adapter;     // [adapter] keys
    const char *transmitter; // more keys of the transmitter at 0x28
    int count;               // -1: no --count
    int status;
    const char *ending; // the last line on standard error
};

// The simulated adapter's scan and reads take some 250 requests and reports, so request 600
// and the report after 600 fall in the run.
// clang-format off
const LossCase LossCases[] = {
    // The answer to one request comes a second late: that measurement is lost, the adapter is
    // opened afresh and the bus searched, and the run goes on.
    {"ALateAnswer", "late_answer = 600 1000\n", "", 300, 0, "Measurement failed at 0x28; looking for the transmitter again"},
    // From then on no answer comes at all.
    {"AnAdapterThatFallsSilent", "late_answer = 600 600000\n", "", -1, 1, "The IO-Warrior adapter does not answer"},
    // The transmitter answers the search but no longer measures.
    {"ATransmitterThatStopsMeasuring", "", "nack = 0xAC\nfaults_after = 600\n", -1, 1,
     "Measurement failed at 0x28 10 times in a row; giving up"},
};
// clang-format on

class LostMeasurements : public Cli, public ::testing::WithParamInterface<LossCase>
{
};

} // namespace

TEST_P(LostMeasurements, AreToldNeverPrintedAndLookedForAgain)
{
    const LossCase &c = GetParam();
    // No USB latency; the gauge's fixed signal at 0x28.
    ASSERT_NO_FATAL_FAILURE(useScenario(QStringLiteral("[adapter]\nlatency_ms = 0\n") + QLatin1String(c.adapter) +
                                        QStringLiteral("[transmitter.main]\naddress = 0x28\npressure_raw = 0x6000\n"
                                                       "temperature_raw = 0x4800\n") +
                                        QLatin1String(c.transmitter)));
    QStringList args = {QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x28"),
                        QStringLiteral("--interval"), QStringLiteral("10"), QStringLiteral("--json")};
    if (c.count > 0)
        args << QStringLiteral("--count") << QString::number(c.count);
    const Result r = run(args);
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, c.status) << r.err.toStdString();

    const QList<QJsonObject> told = objects(r.err);
    ASSERT_FALSE(told.isEmpty()) << "a lost measurement is never silent";
    const qsizetype lost = told.size() - (c.status == 0 ? 0 : 1);
    EXPECT_GE(lost, 1);
    for (qsizetype i = 0; i < lost; ++i) {
        EXPECT_EQ(told[i][QStringLiteral("notice")].toString(),
                  QStringLiteral("Measurement failed at 0x28; looking for the transmitter again"));
        EXPECT_EQ(told[i][QStringLiteral("kind")].toString(), QStringLiteral("measurement"));
    }
    const QJsonObject last = told.last();
    EXPECT_EQ(last[c.status == 0 ? QStringLiteral("notice") : QStringLiteral("error")].toString(), QLatin1String(c.ending));
    if (c.status != 0) {
        EXPECT_EQ(last[QStringLiteral("exit")].toInt(), c.status);
    }
    if (QByteArray(c.name) == "ATransmitterThatStopsMeasuring") {
        EXPECT_GE(lost, cli_commands::MeasureFailuresLimit - 1);
    }

    // Only what the transmitter delivered: its fixed signal, each line whole.
    const QList<QJsonObject> measured = objects(r.out);
    if (c.count > 0) {
        EXPECT_EQ(measured.size(), c.count) << "every measurement asked for, the lost ones not counted";
    } else {
        EXPECT_GE(measured.size(), 100) << "the run went well until the fault";
    }
    for (const QJsonObject &m : measured) {
        EXPECT_EQ(m[QStringLiteral("pressure_raw")].toInt(), 0x6000);
        EXPECT_EQ(m[QStringLiteral("temperature_raw")].toInt(), 0x4800);
        EXPECT_EQ(m[QStringLiteral("address")].toString(), QStringLiteral("0x28"));
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, LostMeasurements, ::testing::ValuesIn(LossCases),
                         [](const ::testing::TestParamInfo<LossCase> &info) { return std::string(info.param.name); });

TEST_F(Cli, ALostMeasurementIsToldAsTextWithoutJson)
{
    ASSERT_NO_FATAL_FAILURE(useScenario(QStringLiteral("[adapter]\nlatency_ms = 0\nlate_answer = 600 1000\n"
                                                       "[transmitter.main]\naddress = 0x28\n")));
    const Result r = run({QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x28"),
                          QStringLiteral("--interval"), QStringLiteral("10"), QStringLiteral("--count"),
                          QStringLiteral("300")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Measurement failed at 0x28; looking for the transmitter again\n")))
        << r.err.toStdString();
    EXPECT_EQ(r.lines().size(), 301) << "the header and every measurement";
}
