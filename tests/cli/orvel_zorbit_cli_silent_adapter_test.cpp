// An adapter that does not answer, or a bus it cannot get hold of, is a failure of every command
// that uses the adapter, never an empty bus; only a bus that answers without a transmitter is one.
#include "cli_fixture.h"

#include <tuple>

namespace {

struct SilentKind {
    const char *name;
    const char *adapter; // the [adapter] keys
    const char *message;
};

// clang-format off
const SilentKind SilentKinds[] = {
    {"DropsAnswers",    "drop_answers = true\n",     "The IO-Warrior adapter does not answer"},
    {"LosesArbitration", "arbitration_lost = true\n", "The I2C bus is held: the IO-Warrior adapter loses arbitration on it"},
    {"Unplugged",       "plugged = false\n",         "No IO-Warrior 56 adapter found"},
};
// clang-format on

struct Command {
    const char *name;
    std::vector<const char *> args;
};

const Command Commands[] = {
    {"Scan", {"scan", "--json"}},
    {"Info", {"info", "--address", "0x28"}},
    {"Measure", {"measure", "--address", "0x28", "--count", "1"}},
    {"Dump", {"dump", "--address", "0x28"}},
};

QStringList arguments(const Command &c)
{
    QStringList args;
    for (const char *a : c.args)
        args << QString::fromLatin1(a);
    return args;
}

// The demo's first transmitter, which a working adapter finds.
const char *const Transmitter = "[transmitter.main]\naddress = 0x28\n";

class SilentAdapter : public Cli, public ::testing::WithParamInterface<std::tuple<SilentKind, Command>>
{
};

} // namespace

TEST_P(SilentAdapter, ExitsOneWithTheReason)
{
    const auto &[kind, command] = GetParam();
    ASSERT_NO_FATAL_FAILURE(
        useScenario(QStringLiteral("[adapter]\n") + QLatin1String(kind.adapter) + QLatin1String(Transmitter)));
    const Result r = run(arguments(command));
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 1);
    if (arguments(command).contains(QStringLiteral("--json"))) {
        EXPECT_EQ(object(r.err)[QStringLiteral("error")].toString(), QLatin1String(kind.message));
    } else {
        EXPECT_EQ(r.err, QLatin1String(kind.message) + u'\n');
    }
    EXPECT_EQ(r.out, QString()) << "no empty list, no table";
}

INSTANTIATE_TEST_SUITE_P(Silent, SilentAdapter, ::testing::Combine(::testing::ValuesIn(SilentKinds), ::testing::ValuesIn(Commands)),
                         [](const ::testing::TestParamInfo<std::tuple<SilentKind, Command>> &info) {
                             return std::string(std::get<0>(info.param).name) + std::get<1>(info.param).name;
                         });

TEST_F(Cli, AnEmptyBusIsAnEmptyListAndNoTransmitterAtTheAddress)
{
    ASSERT_NO_FATAL_FAILURE(useScenario(QStringLiteral("[adapter]\nplugged = true\n[transmitter.away]\naddress = 0x28\npresent = false\n")));
    const Result scan = run({QStringLiteral("scan"), QStringLiteral("--json")});
    EXPECT_EQ(scan.status, 0) << scan.err.toStdString();
    EXPECT_EQ(scan.err, QString());
    EXPECT_EQ(scan.out, QString()) << "one line a transmitter: none";
    const Result table = run({QStringLiteral("scan")});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.lines().size(), 1) << "the header only";

    for (const Command &c : Commands) {
        if (QLatin1String(c.name) == QLatin1String("Scan"))
            continue;
        SCOPED_TRACE(c.name);
        const Result r = run(arguments(c));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, QStringLiteral("No transmitter answers at 0x28\n"));
    }
}
