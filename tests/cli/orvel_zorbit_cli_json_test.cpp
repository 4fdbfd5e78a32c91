// With --json every command prints JSON Lines, each object with the schema version, and every
// error goes to standard error as one object with the line the text output shows, its kind and
// the exit status. What was not read is said on standard error and in the JSON.
#include "cli_fixture.h"
#include "services/utils/single_instance.h"
#include "transmitter/readdress_journal.h"

#include <QDir>

namespace {

QStringList arguments(const std::vector<const char *> &args)
{
    QStringList list;
    for (const char *a : args)
        list << QString::fromLatin1(a);
    return list;
}

} // namespace

// Each line of `text` one compact object of schema 1.
class JsonLines : public Cli
{
protected:
    static void expectJsonLines(const QString &text, qsizetype lines)
    {
        const QStringList split = text.split(u'\n', Qt::SkipEmptyParts);
        EXPECT_EQ(split.size(), lines) << text.toStdString();
        EXPECT_TRUE(text.isEmpty() || text.endsWith(u'\n'));
        for (const QString &line : split) {
            EXPECT_TRUE(line.startsWith(QStringLiteral("{\"schema\":1,"))) << line.toStdString();
            EXPECT_EQ(object(line)[QStringLiteral("schema")].toInt(), 1);
        }
    }
};

TEST_F(JsonLines, EveryCommandPrintsJsonLinesWithTheSchema)
{
    const Result scan = run({QStringLiteral("scan"), QStringLiteral("--json")});
    EXPECT_EQ(scan.status, 0);
    expectJsonLines(scan.out, 4);

    struct Step {
        std::vector<const char *> args;
        qsizetype lines;
    };
    const Step steps[] = {
        {{"info", "--address", "0x40"}, 1},
        {{"dump", "--address", "0x40"}, 1},
        {{"measure", "--address", "0x40", "--count", "3", "--interval", "10"}, 3},
        {{"readdress", "--address", "0x28", "--to", "0x31", "--yes"}, 1},
        {{"readdress", "--address", "0x31", "--to", "0x40", "--yes"}, 1}, // refused: the outcome all the same
        {{"journal"}, 2},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.args.front());
        const Result r = run(arguments(step.args) + QStringList{QStringLiteral("--json")});
        expectJsonLines(r.out, step.lines);
    }
    const QString before = object(run({QStringLiteral("journal"), QStringLiteral("--json")}).lines().last())
                               [QStringLiteral("before_image")].toString();
    const Result restore = run({QStringLiteral("restore"), QStringLiteral("--address"), QStringLiteral("0x31"),
                                QStringLiteral("--image"), before, QStringLiteral("--yes"), QStringLiteral("--json")});
    EXPECT_EQ(restore.status, 0) << restore.err.toStdString();
    expectJsonLines(restore.out, 1);
    EXPECT_EQ(object(restore.out)[QStringLiteral("procedure")].toString(), QStringLiteral("restore"));
    EXPECT_EQ(object(restore.out)[QStringLiteral("outcome")].toString(), QStringLiteral("success"));
}

namespace {

struct ErrorCase {
    const char *name;
    const char *scenario; // empty: the demo bus
    std::vector<const char *> args;
    const char *kind;
    int exit;
    QByteArray input = {};
};

// clang-format off
const ErrorCase ErrorCases[] = {
    {"Usage", "", {"frobnicate"}, "usage", 2},
    {"UsageOfAnOption", "", {"measure", "--address", "0x28", "--count", "0"}, "usage", 2},
    {"NoAdapter", "[adapter]\nplugged = false\n", {"scan"}, "no_adapter", 1},
    {"AdapterSilent", "[adapter]\ndrop_answers = true\n[transmitter.main]\naddress = 0x28\n", {"info", "--address", "0x28"}, "adapter_silent", 1},
    {"BusHeld", "[adapter]\narbitration_lost = true\n[transmitter.main]\naddress = 0x28\n", {"scan"}, "bus_held", 1},
    {"NoTransmitter", "", {"measure", "--address", "0x55", "--count", "1"}, "no_transmitter", 1},
    {"Refused", "", {"readdress", "--address", "0x28", "--to", "0x40", "--yes"}, "refused", 1},
    {"Cancelled", "", {"readdress", "--address", "0x28", "--to", "0x31"}, "cancelled", 1, "n\n"},
    {"Failed", "[transmitter.main]\naddress = 0x28\ncommand_window_ms = 0\n", {"readdress", "--address", "0x28", "--to", "0x31", "--yes"}, "failed", 1},
    {"Image", "", {"restore", "--address", "0x28", "--image", "/nonexistent"}, "image", 2},
    {"Incomplete", "[transmitter.main]\naddress = 0x28\nnack_read_after = 0x13\n", {"dump", "--address", "0x28"}, "incomplete", 1},
};
// clang-format on

class JsonErrors : public Cli, public ::testing::WithParamInterface<ErrorCase>
{
};

} // namespace

TEST_P(JsonErrors, OneObjectWithTheLineItsKindAndTheExitStatus)
{
    const ErrorCase &c = GetParam();
    if (*c.scenario) {
        ASSERT_NO_FATAL_FAILURE(useScenario(QString::fromLatin1(c.scenario)));
    }
    const Result text = run(arguments(c.args), c.input);
    const Result json = run(arguments(c.args) + QStringList{QStringLiteral("--json")}, c.input);
    EXPECT_FALSE(json.crashed);
    EXPECT_EQ(text.status, c.exit);
    EXPECT_EQ(json.status, c.exit);
    const QStringList lines = json.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    for (const QString &line : lines)
        EXPECT_EQ(object(line)[QStringLiteral("schema")].toInt(), 1) << "every line of standard error";
    const QJsonObject error = object(lines.last());
    EXPECT_EQ(error[QStringLiteral("error")].toString() + u'\n', text.err.mid(text.err.lastIndexOf(u'\n', -2) + 1))
        << "the line of the text output";
    EXPECT_EQ(error[QStringLiteral("kind")].toString(), QLatin1String(c.kind));
    EXPECT_EQ(error[QStringLiteral("exit")].toInt(-1), c.exit);
}

INSTANTIATE_TEST_SUITE_P(Errors, JsonErrors, ::testing::ValuesIn(ErrorCases),
                         [](const ::testing::TestParamInfo<ErrorCase> &info) { return std::string(info.param.name); });

TEST_F(Cli, JsonErrorsOfTheGuardAndTheJournal)
{
    {
        TSingleInstance window(TSingleInstance::DefaultName, runtimeDir());
        ASSERT_TRUE(window.tryAcquire());
        const QJsonObject busy = object(run({QStringLiteral("scan"), QStringLiteral("--json")}).err);
        EXPECT_EQ(busy[QStringLiteral("kind")].toString(), QStringLiteral("busy"));
        EXPECT_EQ(busy[QStringLiteral("error")].toString(),
                  QStringLiteral("Orvel I2C Zorbit is already running and holds the adapter; close it first"));
        EXPECT_EQ(busy[QStringLiteral("exit")].toInt(), 1);
    }
    ASSERT_TRUE(QDir().mkpath(readdress_journal::journal_file(journalFolder()))); // a folder where the file should be
    const Result r = run({QStringLiteral("journal"), QStringLiteral("--json")});
    EXPECT_EQ(r.status, 1);
    const QJsonObject error = object(r.err);
    EXPECT_EQ(error[QStringLiteral("kind")].toString(), QStringLiteral("journal"));
    EXPECT_TRUE(error[QStringLiteral("error")].toString().startsWith(QStringLiteral("The journal cannot be read: ")));
}

TEST_F(Cli, ATransmitterWhoseImageWasNotReadCompletelyIsShownWithAWarning)
{
    ASSERT_NO_FATAL_FAILURE(useScenario(QStringLiteral("[transmitter.main]\naddress = 0x28\nnack_read_after = 0x13\n"
                                                       "[transmitter.gauge]\naddress = 0x40\n")));
    const QString warning = QStringLiteral("The memory image at 0x28 was not read completely");
    const Result info = run({QStringLiteral("info"), QStringLiteral("--address"), QStringLiteral("0x28")});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(info.err, warning + u'\n');
    EXPECT_EQ(info.lines().size(), 2);

    const Result scan = run({QStringLiteral("scan"), QStringLiteral("--json")});
    EXPECT_EQ(scan.status, 0);
    const QList<QJsonObject> bus = objects(scan.out);
    ASSERT_EQ(bus.size(), 2);
    EXPECT_FALSE(bus[0][QStringLiteral("image_complete")].toBool(true));
    EXPECT_TRUE(bus[0][QStringLiteral("identity_words")].isNull());
    EXPECT_TRUE(bus[0][QStringLiteral("changes_left")].isNull());
    EXPECT_TRUE(bus[1][QStringLiteral("image_complete")].toBool()) << "the other one was read";
    const QJsonObject notice = object(scan.err);
    EXPECT_EQ(notice[QStringLiteral("notice")].toString(), warning);
    EXPECT_EQ(notice[QStringLiteral("kind")].toString(), QStringLiteral("incomplete"));
    EXPECT_FALSE(notice.contains(QStringLiteral("exit")));
}
