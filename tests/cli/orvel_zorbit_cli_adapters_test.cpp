// Several adapters at the command line: the list of them, the choice by serial for every command
// that uses one, and the bus traffic and log lines of --verbose.
#include "cli_fixture.h"
#include "services/utils/single_instance.h"
#include "transmitter/readdress_journal.h"

#include <QRegularExpression>
#include <ostream>

namespace {

// The first an IO-Warrior 56, the second one too, the third an IO-Warrior 40 (0x1500).
const char *const ThreeAdapters =
    "[adapter]\nserial = 0000C0DE\n[transmitter.main]\naddress = 0x28\n"
    "[adapter.second]\nserial = 0000BEEF\n[transmitter.main]\naddress = 0x28\nproduct = F00815E12P0300\n"
    "[transmitter.gauge]\naddress = 0x40\n"
    "[adapter.third]\nserial = 00000040\nproduct_id = 0x1500\n";

class CliAdapters : public Cli
{
protected:
    void SetUp() override
    {
        Cli::SetUp();
        ASSERT_NO_FATAL_FAILURE(useScenario(QString::fromLatin1(ThreeAdapters)));
    }
    QStringList addresses(const QStringList &extra)
    {
        const Result r = run(QStringList{QStringLiteral("scan"), QStringLiteral("--json")} + extra);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        QStringList found;
        for (const QJsonObject &t : objects(r.out))
            found << t[QStringLiteral("address")].toString();
        return found;
    }
    // The chip on an adapter's bus, by the state file, read by a fresh simulation.
    iowsim_transmitter_info chipAt(int adapter, int index)
    {
        zorbit_test::SimControl sim;
        EXPECT_EQ(sim.iowsim_load_scenario(fScenario.toLocal8Bit().constData(), statePath().toLocal8Bit().constData(),
                                           nullptr, 0),
                  1);
        iowsim_transmitter_info info{};
        EXPECT_EQ(sim.iowsim_get_transmitter_at(adapter, index, &info), 1);
        return info;
    }
};

TEST_F(CliAdapters, AdaptersListsEveryAttachedOneAsTableAndAsJson)
{
    const Result table = run({QStringLiteral("adapters")});
    EXPECT_EQ(table.status, 0) << table.err.toStdString();
    EXPECT_EQ(table.err, QString());
    EXPECT_EQ(table.lines(), (QStringList{QStringLiteral("Serial    Product id  IO-Warrior 56"),
                                          QStringLiteral("0000C0DE  0x1503      yes"),
                                          QStringLiteral("0000BEEF  0x1503      yes"),
                                          QStringLiteral("00000040  0x1500      no")}));

    const Result json = run({QStringLiteral("adapters"), QStringLiteral("--json")});
    EXPECT_EQ(json.status, 0);
    const QStringList lines = json.lines();
    ASSERT_EQ(lines.size(), 3) << json.out.toStdString();
    struct {
        const char *serial;
        int product_id;
        const char *hex;
        bool iow56;
    } const expected[] = {{"0000C0DE", 0x1503, "0x1503", true},
                          {"0000BEEF", 0x1503, "0x1503", true},
                          {"00000040", 0x1500, "0x1500", false}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(lines[i].contains(u'\n') || lines[i].contains(QStringLiteral(": "))) << "compact, one a line";
        const QJsonObject o = object(lines[i]);
        EXPECT_EQ(o[QStringLiteral("schema")].toInt(), 1);
        EXPECT_EQ(o[QStringLiteral("serial")].toString(), QString::fromLatin1(expected[i].serial));
        EXPECT_TRUE(o[QStringLiteral("product_id")].isDouble());
        EXPECT_EQ(o[QStringLiteral("product_id")].toInt(), expected[i].product_id);
        EXPECT_EQ(o[QStringLiteral("product_id_hex")].toString(), QString::fromLatin1(expected[i].hex));
        EXPECT_EQ(o[QStringLiteral("iow56")].toBool(true), expected[i].iow56);
        EXPECT_TRUE(o[QStringLiteral("iow56")].isBool());
    }
}

TEST_F(CliAdapters, SerialChoosesTheAdapterForScanInfoAndReaddress)
{
    const QStringList second = {QStringLiteral("--serial"), QStringLiteral("0000BEEF")};
    EXPECT_EQ(addresses({}), QStringList{QStringLiteral("0x28")}) << "without a serial: the first adapter";
    EXPECT_EQ(addresses(second), (QStringList{QStringLiteral("0x28"), QStringLiteral("0x40")}));
    EXPECT_EQ(addresses({QStringLiteral("--serial"), QStringLiteral("0000C0DE")}), QStringList{QStringLiteral("0x28")});

    const Result info = run(QStringList{QStringLiteral("info"), QStringLiteral("--address"), QStringLiteral("0x28"),
                                        QStringLiteral("--json")} +
                            second);
    EXPECT_EQ(info.status, 0) << info.err.toStdString();
    EXPECT_EQ(object(info.out)[QStringLiteral("product_code")].toString(), QStringLiteral("F00815E12P0300"))
        << "the transmitter at 0x28 of the second bus";

    const Result r = run(QStringList{QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                                     QStringLiteral("--to"), QStringLiteral("0x31"), QStringLiteral("--yes")} +
                         second);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(chipAt(1, 0).address, 0x31) << "moved on the second adapter's bus";
    EXPECT_EQ(chipAt(1, 0).current_page, 1);
    EXPECT_EQ(chipAt(0, 0).address, 0x28) << "the first adapter's transmitter is untouched";
    EXPECT_EQ(chipAt(0, 0).current_page, 0);
    EXPECT_EQ(addresses(second), (QStringList{QStringLiteral("0x31"), QStringLiteral("0x40")}));
    EXPECT_EQ(addresses({}), QStringList{QStringLiteral("0x28")});
    const QList<QStringList> journal = readdress_journal::read(journalFolder());
    ASSERT_EQ(journal.size(), 1);
    EXPECT_EQ(journal[0][readdress_journal::AdapterSerial], QStringLiteral("0000BEEF"));
}

struct FailureCase {
    const char *name;
    const char *scenario; // empty: the three adapters
    bool window;          // the window holds the single-copy guard
    std::vector<const char *> args;
    int status;
    const char *message; // the whole of standard error
};

std::ostream &operator<<(std::ostream &os, const FailureCase &c)
{
    return os << c.name;
}

class AdapterFailures : public CliAdapters, public ::testing::WithParamInterface<FailureCase>
{
};

const FailureCase FailureCases[] = {
    {"UnknownSerial", "", false, {"scan", "--serial", "0000FFFF"}, 1,
     "No IO-Warrior adapter with serial 0000FFFF attached; found: 0000C0DE, 0000BEEF, 00000040\n"},
    {"UnknownSerialForAWrite", "", false, {"readdress", "--address", "0x28", "--to", "0x31", "--yes", "--serial", "C0DE"}, 1,
     "No IO-Warrior adapter with serial C0DE attached; found: 0000C0DE, 0000BEEF, 00000040\n"},
    {"NoAdapterAttached", "[adapter]\nplugged = false\n", false, {"adapters"}, 1, "No IO-Warrior 56 adapter found\n"},
    {"NoAdapterForASerial", "[adapter]\nplugged = false\n", false, {"info", "--address", "0x28", "--serial", "0000C0DE"},
     1, "No IO-Warrior 56 adapter found\n"},
    {"WindowRuns", "", true, {"adapters"}, 1,
     "Orvel I2C Zorbit is already running and holds the adapter; close it first\n"},
    {"SerialOfAList", "", false, {"adapters", "--serial", "0000C0DE"}, 2,
     "orvel-zorbit-cli: Unknown option 'serial'. (see --help)\n"},
    {"EmptySerial", "", false, {"scan", "--serial", ""}, 2,
     "orvel-zorbit-cli: --serial wants the adapter's serial number (see --help)\n"},
    {"NoVerboseJournal", "", false, {"journal", "-v"}, 2, "orvel-zorbit-cli: Unknown option 'v'. (see --help)\n"},
};

TEST_P(AdapterFailures, ExitWithOneLine)
{
    const FailureCase &c = GetParam();
    if (*c.scenario) {
        ASSERT_NO_FATAL_FAILURE(useScenario(QString::fromLatin1(c.scenario)));
    }
    TSingleInstance window(TSingleInstance::DefaultName, runtimeDir());
    if (c.window) {
        ASSERT_TRUE(window.tryAcquire());
    }
    QStringList args;
    for (const char *a : c.args)
        args << QString::fromLatin1(a);
    const Result r = run(args);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.err, QString::fromLatin1(c.message));
    EXPECT_EQ(r.out, QString());
    EXPECT_FALSE(QFile::exists(statePath())) << "nothing was written";
}

INSTANTIATE_TEST_SUITE_P(Cases, AdapterFailures, ::testing::ValuesIn(FailureCases),
                         [](const ::testing::TestParamInfo<FailureCase> &info) { return std::string(info.param.name); });

TEST_F(CliAdapters, VerboseWritesTrafficAndLogLinesOnStandardErrorOnly)
{
    const QStringList info = {QStringLiteral("info"), QStringLiteral("--address"), QStringLiteral("0x40"),
                              QStringLiteral("--serial"), QStringLiteral("0000BEEF")};
    const Result quiet = run(info);
    ASSERT_EQ(quiet.status, 0) << quiet.err.toStdString();
    EXPECT_EQ(quiet.err, QString());
    for (const char *flag : {"-v", "--verbose"}) {
        SCOPED_TRACE(flag);
        const Result loud = run(info + QStringList{QString::fromLatin1(flag)});
        EXPECT_EQ(loud.status, 0);
        EXPECT_EQ(loud.out, quiet.out) << "nothing extra on standard output";
        const QRegularExpression traffic(QStringLiteral("^(>>|<<) pipe ([01]): ((?:[0-9A-F]{2} )*[0-9A-F]{2})$"));
        int sent = 0, received = 0, logged = 0;
        bool probed = false;
        for (const QString &line : loud.err.split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(QStringLiteral("log: "))) {
                ++logged;
                continue;
            }
            const QRegularExpressionMatch m = traffic.match(line);
            ASSERT_TRUE(m.hasMatch()) << line.toStdString();
            const int bytes = int(m.captured(3).size() + 1) / 3;
            EXPECT_EQ(bytes, m.captured(2) == QStringLiteral("0") ? 8 : 64) << "whole reports";
            (m.captured(1) == QStringLiteral(">>") ? sent : received)++;
            // The scan's probe of 0x40: a two-byte read of address byte 0x81.
            probed = probed || m.captured(3).startsWith(QStringLiteral("03 02 81 "));
        }
        EXPECT_GT(sent, 128) << "the power-up, one probe an address and the reads";
        EXPECT_GT(received, 128);
        EXPECT_TRUE(probed);
        EXPECT_TRUE(loud.err.contains(QStringLiteral("\nlog: read scaling0 prepare command : OK\n")))
            << "the handler's own log lines";
        EXPECT_GT(logged, 10);
    }

    const Result unknown = run({QStringLiteral("scan"), QStringLiteral("--serial"), QStringLiteral("0000FFFF"),
                                QStringLiteral("-v")});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_TRUE(unknown.err.contains(QStringLiteral(
        "log error: No IO-Warrior adapter with serial number 0000FFFF : found 0000C0DE, 0000BEEF, 00000040\n")))
        << unknown.err.toStdString();
}

} // namespace
