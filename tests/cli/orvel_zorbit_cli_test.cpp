// The command-line program run as a process against the simulated adapter: what it prints, its
// exit status, its journal, and its guard against the window.
#include "cli_fixture.h"
#include "transmitter/OrvelHandler.h"
#include "transmitter/memory_image_file.h"
#include "transmitter/readdress_journal.h"
#include "transmitter/readdress.h"
#include "services/utils/single_instance.h"

#include <QDir>
#include <QJsonArray>
#include <csignal>

TEST_F(Cli, ScanListsEveryPresentTransmitter)
{
    const Result table = run({QStringLiteral("scan")});
    EXPECT_EQ(table.status, 0) << table.err.toStdString();
    const QStringList lines = table.lines();
    ASSERT_EQ(lines.size(), 5) << table.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Address  Range              Calibration date  Product")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("0x28     0.000...10.000 PA  07.04.2019        F01234E07P0056")))
        << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("  3")));

    EXPECT_EQ(scannedAddresses(), (QStringList{QStringLiteral("0x00"), QStringLiteral("0x28"), QStringLiteral("0x30"),
                                               QStringLiteral("0x40")}));
    const QList<QJsonObject> json = objects(run({QStringLiteral("scan"), QStringLiteral("--json")}).out);
    ASSERT_EQ(json.size(), 4);
    const QJsonObject gauge = json.at(3);
    EXPECT_EQ(gauge[QStringLiteral("range")].toString(), QStringLiteral("-1.000...1.000 PR"));
    EXPECT_EQ(gauge[QStringLiteral("product_code")].toString(), QStringLiteral("F00815E12P0300"));
    EXPECT_EQ(gauge[QStringLiteral("calibration_date")].toString(), QStringLiteral("2022-11-21"));
    EXPECT_EQ(gauge[QStringLiteral("changes_left")].toInt(), 1);
    EXPECT_FALSE(gauge[QStringLiteral("status")].toString().isEmpty());
    EXPECT_TRUE(json.at(2)[QStringLiteral("changes_left")].isNull()) << "the blank transmitter is not calibrated";
    for (const QJsonObject &t : json)
        EXPECT_EQ(t[QStringLiteral("adapter_serial")].toString(), QStringLiteral("0000C0DE"));
}

TEST_F(Cli, InfoAndDumpOfOneTransmitter)
{
    const Result info = run({QStringLiteral("info"), QStringLiteral("--address"), QStringLiteral("0x40"),
                          QStringLiteral("--json")});
    EXPECT_EQ(info.status, 0);
    EXPECT_EQ(object(info.out)[QStringLiteral("product_code")].toString(), QStringLiteral("F00815E12P0300"));

    const Result dump = run({QStringLiteral("dump"), QStringLiteral("--address"), QStringLiteral("0x40")});
    EXPECT_EQ(dump.status, 0);
    const QStringList lines = dump.lines();
    ASSERT_EQ(lines.size(), 25);
    EXPECT_EQ(lines[0], QStringLiteral("Name\tAddress\tValue\t\tVerify"));
    EXPECT_EQ(lines[3], QStringLiteral("COM_Config\t0x02\t0x0040\t\t"));
    T_DeviceMemory image;
    EXPECT_EQ(memory_image_file::parse(dump.out, image), QString());
    EXPECT_TRUE(image.Get_complete()) << "a dump is a memory image file";
}

TEST_F(Cli, ReaddressMovesTheTransmitterAndTheNextScanFindsIt)
{
    const Result r = run({QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                       QStringLiteral("--to"), QStringLiteral("0x31"), QStringLiteral("--yes")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, QString());
    EXPECT_EQ(scannedAddresses(), (QStringList{QStringLiteral("0x00"), QStringLiteral("0x30"), QStringLiteral("0x31"),
                                               QStringLiteral("0x40")}));
    const QList<QStringList> journal = readdress_journal::read(journalFolder());
    ASSERT_EQ(journal.size(), 1);
    EXPECT_EQ(journal[0][readdress_journal::Outcome], QStringLiteral("success"));
    EXPECT_EQ(journal[0][readdress_journal::NewAddress], QStringLiteral("0x31"));
}

TEST_F(Cli, AnsweringNoOnTheTerminalWritesNothing)
{
    // A "no", and the end of the input: either way the question's line is ended first.
    for (const QByteArray &answer : {QByteArray("n\n"), QByteArray()}) {
        SCOPED_TRACE(answer.toStdString());
        const Result r = run({QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                              QStringLiteral("--to"), QStringLiteral("0x31")},
                             answer);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, QStringLiteral("Do you wish to continue with assigning new slave address: 0x31 to device at 0x28 ? [y/N] \n"
                                        "Cancelled: nothing was written\n"));
    }
    EXPECT_TRUE(scannedAddresses().contains(QStringLiteral("0x28")));
    const QList<QStringList> journal = readdress_journal::read(journalFolder());
    EXPECT_EQ(journal.size(), 2);
    EXPECT_EQ(journal.value(0).value(readdress_journal::Outcome), QStringLiteral("cancel"));
}

namespace {

struct RefusalCase {
    const char *name;
    const char *scenario; // empty: the demo scenario
    const char *address;
    const char *to;
    const char *message;
    bool journalled;
};

class Refusals : public Cli, public ::testing::WithParamInterface<RefusalCase>
{
};

// clang-format off
const RefusalCase RefusalCases[] = {
    {"NoAdapter", "[adapter]\nplugged = false\n[transmitter.main]\naddress = 0x28\n", "0x28", "0x31", "No IO-Warrior 56 adapter found", false},
    {"NoTransmitterAtA", "", "0x55", "0x31", "No transmitter answers at 0x55", false},
    {"BInUse", "", "0x28", "0x40", "Refused: the address 0x40 is in use on the bus. Nothing was written.", true},
    {"NoChangeLeft", "", "0x00", "0x31", "Refused: no change of address left. Nothing was written.", true},
    {"IncompleteImage", "[transmitter.main]\naddress = 0x28\nnack_read_after = 0x13\n", "0x28", "0x31",
     "Refused: the memory image was not read completely. Nothing was written.", true},
};
// clang-format on

} // namespace

TEST_P(Refusals, ExitOneWithItsMessage)
{
    const RefusalCase &c = GetParam();
    if (*c.scenario) {
        ASSERT_NO_FATAL_FAILURE(useScenario(QString::fromLatin1(c.scenario)));
    }
    const Result r = run({QStringLiteral("readdress"), QStringLiteral("--address"), QLatin1String(c.address),
                       QStringLiteral("--to"), QLatin1String(c.to), QStringLiteral("--yes")});
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QLatin1String(c.message) + u'\n');
    EXPECT_EQ(r.out, QString());
    const QList<QStringList> journal = readdress_journal::read(journalFolder());
    EXPECT_EQ(journal.size(), c.journalled ? 1 : 0);
    if (c.journalled) {
        EXPECT_EQ(journal.value(0).value(readdress_journal::Outcome), QStringLiteral("refused"));
    }
}

INSTANTIATE_TEST_SUITE_P(Refusals, Refusals, ::testing::ValuesIn(RefusalCases),
                         [](const ::testing::TestParamInfo<RefusalCase> &info) { return std::string(info.param.name); });

TEST_F(Cli, AFailedStepSaysWhereTheTransmitterAnswersNow)
{
    // The transmitter never takes the command-mode command.
    ASSERT_NO_FATAL_FAILURE(useScenario(QStringLiteral("[transmitter.main]\naddress = 0x28\ncommand_window_ms = 0\n")));
    const QStringList args = {QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                              QStringLiteral("--to"), QStringLiteral("0x31"), QStringLiteral("--yes")};
    const Result text = run(args);
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.err,
              QStringLiteral("Re-addressing failed at step command mode; the transmitter now answers at 0x28\n"));
    const Result json = run(args + QStringList{QStringLiteral("--json")});
    EXPECT_EQ(json.status, 1);
    const QJsonObject o = object(json.out);
    EXPECT_EQ(o[QStringLiteral("failed_step")].toString(), QStringLiteral("CommandMode"));
    EXPECT_EQ(o[QStringLiteral("answers_at")].toString(), QStringLiteral("0x28"));
    EXPECT_TRUE(scannedAddresses().contains(QStringLiteral("0x28")));
}

TEST_F(Cli, MeasureCountPrintsThatManyJsonLines)
{
    const Result r = run({QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x40"),
                       QStringLiteral("--count"), QStringLiteral("5"), QStringLiteral("--interval"),
                       QStringLiteral("10"), QStringLiteral("--json")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList lines = r.lines();
    ASSERT_EQ(lines.size(), 5);
    for (const QString &line : lines) {
        const QJsonObject m = object(line);
        // The gauge's fixed signal, with the stored digits (3 for pressure, 2 for temperature).
        EXPECT_EQ(m[QStringLiteral("pressure_raw")].toInt(), 0x6000);
        EXPECT_EQ(m[QStringLiteral("temperature_raw")].toInt(), 0x4800);
        const double p = m[QStringLiteral("pressure")].toDouble();
        EXPECT_DOUBLE_EQ(p, QString::number(p, 'f', 3).toDouble());
        EXPECT_TRUE(QDateTime::fromString(m[QStringLiteral("time")].toString(), Qt::ISODateWithMs).isValid());
    }
}

namespace {

struct StopSignal {
    const char *name;
    int signal;
};

class MeasureStopped : public Cli, public ::testing::WithParamInterface<StopSignal>
{
};

const StopSignal StopSignals[] = {{"CtrlC", SIGINT}, {"Term", SIGTERM}, {"HangUp", SIGHUP}};

} // namespace

// The line under way is finished; the status tells that the run did not end by itself.
TEST_P(MeasureStopped, AfterWhatItMeasuredWith128AndTheSignal)
{
    QProcess p;
    p.setProcessEnvironment(environment());
    p.start(QStringLiteral(ZORBIT_CLI), {QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x28"),
                                          QStringLiteral("--interval"), QStringLiteral("20"), QStringLiteral("--json")});
    ASSERT_TRUE(p.waitForStarted());
    QByteArray out;
    while (out.count('\n') < 3 && p.waitForReadyRead(30000))
        out += p.readAllStandardOutput();
    ASSERT_GE(out.count('\n'), 3);
    ::kill(pid_t(p.processId()), GetParam().signal);
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 128 + GetParam().signal);
    EXPECT_EQ(p.readAllStandardError(), QByteArray());
    out += p.readAllStandardOutput();
    EXPECT_TRUE(out.endsWith('\n')) << "no cut line";
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty()) {
            EXPECT_TRUE(object(QString::fromUtf8(line)).contains(QStringLiteral("pressure")));
        }
}

INSTANTIATE_TEST_SUITE_P(Signals, MeasureStopped, ::testing::ValuesIn(StopSignals),
                         [](const ::testing::TestParamInfo<StopSignal> &info) { return std::string(info.param.name); });

TEST_F(Cli, AnotherCommandLineHoldingTheAdapterIsNamed)
{
    QProcess first;
    first.setProcessEnvironment(environment());
    first.start(QStringLiteral(ZORBIT_CLI), {QStringLiteral("measure"), QStringLiteral("--address"), QStringLiteral("0x28"),
                                              QStringLiteral("--interval"), QStringLiteral("50")});
    ASSERT_TRUE(first.waitForStarted());
    QByteArray out;
    while (out.count('\n') < 2 && first.waitForReadyRead(30000))
        out += first.readAllStandardOutput();
    ASSERT_GE(out.count('\n'), 2) << "measuring, so holding the guard";
    const Result second = run({QStringLiteral("scan")});
    ::kill(pid_t(first.processId()), SIGINT);
    EXPECT_TRUE(first.waitForFinished(10000));
    EXPECT_EQ(second.status, 1);
    EXPECT_EQ(second.err, QStringLiteral("Another orvel-zorbit-cli holds the adapter; wait until it has ended\n"));
}

TEST_F(Cli, WhileTheWindowRunsItSaysSoAndExitsOne)
{
    TSingleInstance window(TSingleInstance::DefaultName, runtimeDir());
    ASSERT_TRUE(window.tryAcquire());
    ASSERT_TRUE(window.isGuarded());
    const Result r = run({QStringLiteral("scan")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("Orvel I2C Zorbit is already running and holds the adapter; close it first\n"));
    EXPECT_FALSE(QFile::exists(statePath())) << "the adapter was not touched";
}

namespace {

struct UsageCase {
    const char *name;
    std::vector<const char *> args;
    const char *says = nullptr; // what the line says, when it matters
};

class UsageErrors : public Cli, public ::testing::WithParamInterface<UsageCase>
{
};

const UsageCase UsageCases[] = {
    {"NoCommand", {}},
    {"UnknownCommand", {"frobnicate"}},
    {"UnknownOption", {"scan", "--fast"}},
    {"MissingAddress", {"info"}},
    {"AddressTooHigh", {"info", "--address", "0x80"}},
    {"AddressNotANumber", {"info", "--address", "zz"}},
    {"MissingTo", {"readdress", "--address", "0x28", "--yes"}},
    {"ExtraArgument", {"scan", "more"}},
    {"CountZero", {"measure", "--address", "0x28", "--count", "0"}, "--count wants a whole number from 1 to 2147483647"},
    {"CountTooLarge", {"measure", "--address", "0x28", "--count", "99999999999"},
     "--count wants a whole number from 1 to 2147483647"},
    {"CountNotWhole", {"measure", "--address", "0x28", "--count", "2.5"}, "--count wants a whole number from 1 to 2147483647"},
    {"IntervalTooShort", {"measure", "--address", "0x28", "--interval", "5"}, "--interval wants milliseconds from 10 to 2147483647"},
    {"IntervalTooLarge", {"measure", "--address", "0x28", "--interval", "99999999999"},
     "--interval wants milliseconds from 10 to 2147483647"},
    {"MissingImage", {"restore", "--address", "0x28"}},
    {"ImageNotAnImage", {"restore", "--address", "0x28", "--image", "/nonexistent"}},
    {"YesOnAReadingCommand", {"scan", "--yes"}},
    {"ExportWithoutARun", {"runs", "export", "--csv", "run.txt"}, "export wants the run's number or uid"},
    {"ExportWithoutAFile", {"runs", "export", "1"}, "--csv is required"},
    {"ExportOfTwoRuns", {"runs", "export", "1", "2", "--csv", "run.txt"}, "unexpected argument '2'"},
    {"CsvWithoutExport", {"runs", "--csv", "run.txt"}, "--csv belongs to 'export RUN'"},
    {"CsvOnAnotherCommand", {"journal", "--csv", "run.txt"}},
};

} // namespace

TEST_P(UsageErrors, ExitTwoWithOneLine)
{
    QStringList args;
    for (const char *a : GetParam().args)
        args << QString::fromLatin1(a);
    const Result r = run(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err.count(u'\n'), 1) << r.err.toStdString();
    if (GetParam().says) {
        EXPECT_EQ(r.err, QStringLiteral("orvel-zorbit-cli: ") + QLatin1String(GetParam().says) + QStringLiteral(" (see --help)\n"));
    }
    EXPECT_EQ(r.out, QString());
    EXPECT_FALSE(QFile::exists(statePath())) << "the adapter was not touched";
}

INSTANTIATE_TEST_SUITE_P(Usage, UsageErrors, ::testing::ValuesIn(UsageCases),
                         [](const ::testing::TestParamInfo<UsageCase> &info) { return std::string(info.param.name); });

TEST_F(Cli, EveryCommandHasItsHelp)
{
    const Result overview = run({QStringLiteral("--help")});
    EXPECT_EQ(overview.status, 0);
    qsizetype listed = 0; // the overview lists them in this order
    for (const char *command : {"scan", "info", "dump", "measure", "readdress", "restore", "journal"}) {
        SCOPED_TRACE(command);
        const qsizetype at = overview.out.indexOf(QStringLiteral("\n  ") + QLatin1String(command) + u' ');
        EXPECT_GT(at, listed);
        listed = at;
        const Result help = run({QLatin1String(command), QStringLiteral("--help")});
        EXPECT_EQ(help.status, 0);
        EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: orvel-zorbit-cli ") + QLatin1String(command) +
                                        QStringLiteral(" [options]\n")))
            << help.out.toStdString();
        EXPECT_TRUE(help.out.contains(QStringLiteral("--json")));
        EXPECT_EQ(help.out.contains(QStringLiteral("--address")),
                  QLatin1String(command) != QLatin1String("scan") && QLatin1String(command) != QLatin1String("journal"));
        EXPECT_EQ(help.out.contains(QStringLiteral("--yes")),
                  QLatin1String(command) == QLatin1String("readdress") || QLatin1String(command) == QLatin1String("restore"));
    }
    const Result runs = run({QStringLiteral("runs"), QStringLiteral("--help")});
    EXPECT_EQ(runs.status, 0);
    EXPECT_TRUE(runs.out.startsWith(QStringLiteral("Usage: orvel-zorbit-cli runs [options]\n"
                                                   "       orvel-zorbit-cli runs export RUN --csv FILE [options]\n")))
        << runs.out.toStdString();
    EXPECT_TRUE(runs.out.contains(QStringLiteral("--csv <FILE>")));
    EXPECT_TRUE(overview.out.contains(QStringLiteral("'runs export RUN --csv FILE'")));
}

TEST_F(Cli, AJournalThatCannotBeWrittenIsToldAndTheChangeStillHappens)
{
    // A folder where the journal file should be.
    ASSERT_TRUE(QDir().mkpath(readdress_journal::journal_file(journalFolder())));
    const Result r = run({QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                       QStringLiteral("--to"), QStringLiteral("0x31"), QStringLiteral("--yes")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("Journal not written: "))) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("answers at 0x31")));
    EXPECT_TRUE(scannedAddresses().contains(QStringLiteral("0x31")));
}

// Restore: the transmitter is cut off in the middle of a write in this process (the simulator
// keeps its memory in the state file), then the command line writes the before-image back.
class CliRestore : public Cli
{
protected:
    // Re-addresses 0x28 to 0x31 and pulls the adapter after `words` words; returns the journal's
    // before-image.
    QString cut_write(unsigned long words)
    {
        zorbit_test::SimControl sim;
        EXPECT_TRUE(sim.loaded());
        char error[256] = {};
        EXPECT_EQ(sim.iowsim_load_scenario(fScenario.toLocal8Bit().constData(), statePath().toLocal8Bit().constData(),
                                           error, sizeof error),
                  1)
            << error;
        T_Orvel_Handler h([](TCategory, TMode, const QString &) {});
        EXPECT_EQ(readdress::power_up(h, readdress::ScanChain), readdress::Step::None);
        h.get_slave_address();
        h.Get_Device().Set_slave_addr(0x28);
        h.get_device_scaling();
        h.get_device_memory();
        const readdress_journal::Attempt attempt = readdress_journal::begin(h, 0x31, readdress_journal::Procedure::Readdress);
        const readdress::Outcome outcome =
            readdress::readdress(h, 0x31, [](uint8_t) { return true; }, [&](readdress::Step step, bool ok) {
                if (step == readdress::Step::Check && ok)
                    sim.iowsim_arm_fault(0, IOWSIM_FAULT_UNPLUGGED, 1, 1 + words);
            });
        sim.iowsim_clear_faults();
        EXPECT_EQ(outcome.failed, readdress::Step::Write);
        EXPECT_EQ(readdress_journal::record(journalFolder(), attempt, outcome, h), QString());
        h.unload();
        return QDir(journalFolder()).filePath(readdress_journal::read(journalFolder()).value(0).value(readdress_journal::BeforeImage));
    }
    // The simulated chip's checksum over the image's words.
    static uint16_t checksum(const T_DeviceMemory &image)
    {
        zorbit_test::SimControl sim;
        unsigned short words[T_DeviceMemory::RegisterCount] = {};
        for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a)
            words[a] = image.at(a).value();
        return sim.iowsim_checksum(words);
    }
};

TEST_F(CliRestore, AHalfWrittenTransmitterGetsItsBeforeImageBack)
{
    const QString before = cut_write(10);
    T_DeviceMemory saved;
    ASSERT_EQ(memory_image_file::load(before, saved), QString());
    ASSERT_TRUE(chip().memory_error) << "half written";
    ASSERT_TRUE(scannedAddresses().contains(QStringLiteral("0x31")));

    const Result r = run({QStringLiteral("restore"), QStringLiteral("--address"), QStringLiteral("0x31"),
                       QStringLiteral("--image"), before},
                      "y\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("This uses up one of the 2 changes left."))) << r.err.toStdString();
    const iowsim_transmitter_info after = chip();
    EXPECT_FALSE(after.memory_error) << "valid checksum";
    EXPECT_EQ(after.current_page, 2);
    for (int a = 0; a < 0x17; ++a)
        EXPECT_EQ(after.pages[after.current_page][a], saved.at(a).value()) << a;
    EXPECT_TRUE(scannedAddresses().contains(QStringLiteral("0x28")));
    const QList<QStringList> journal = readdress_journal::read(journalFolder());
    ASSERT_EQ(journal.size(), 2);
    EXPECT_EQ(journal[0][readdress_journal::ProcedureColumn], QStringLiteral("restore"));
    EXPECT_EQ(journal[0][readdress_journal::Outcome], QStringLiteral("success"));
}

TEST_F(CliRestore, AnImageOfAnotherProductCodeIsRefused)
{
    const Result dump = run({QStringLiteral("dump"), QStringLiteral("--address"), QStringLiteral("0x40")});
    ASSERT_EQ(dump.status, 0);
    const QString other = fHome.filePath(QStringLiteral("gauge.txt"));
    QFile file(other);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // The gauge's image names 0x40, which the gauge holds: give it a free address, with the
    // checksum the chip would keep for it.
    T_DeviceMemory gauge;
    ASSERT_EQ(memory_image_file::parse(dump.out, gauge), QString());
    gauge.at(OrvelWords::COM_Config).setValue(0x0033);
    gauge.at(OrvelWords::Checksum).setValue(checksum(gauge));
    file.write(memory_image_file::text(gauge).toUtf8());
    file.close();
    const Result r = run({QStringLiteral("restore"), QStringLiteral("--address"), QStringLiteral("0x28"),
                       QStringLiteral("--image"), other, QStringLiteral("--yes")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, QStringLiteral("Refused: the saved memory image belongs to another product code. Nothing was written.\n"));
    EXPECT_EQ(chip().current_page, 0);
}

namespace {

struct BrokenImage {
    const char *name;
    const char *from; // replaced in the dump of 0x28
    const char *to;
    const char *why;
};

// clang-format off
const BrokenImage BrokenImages[] = {
    {"NoChecksumLine", "Checksum\t0x17\t",      "",                      "it has no Checksum line"},
    {"WrongChecksum",  "COM_Config\t0x02\t0x0028", "COM_Config\t0x02\t0x0031", "does not match its words"},
    {"Truncated",      "scaling3\t0x15\t",      "",                      "the word scaling3 is missing"},
};
// clang-format on

class RestoreOfABrokenImage : public Cli, public ::testing::WithParamInterface<BrokenImage>
{
};

} // namespace

TEST_P(RestoreOfABrokenImage, IsRefusedBeforeTheAdapterIsTouched)
{
    const Result dump = run({QStringLiteral("dump"), QStringLiteral("--address"), QStringLiteral("0x28")});
    ASSERT_EQ(dump.status, 0);
    QFile::remove(statePath()); // the dump's
    QString text = dump.out;
    const QString from = QLatin1String(GetParam().from);
    ASSERT_TRUE(text.contains(from));
    // A line taken out whole: the cell and the rest of its line.
    if (!*GetParam().to)
        text.remove(text.indexOf(from), text.indexOf(u'\n', text.indexOf(from)) - text.indexOf(from) + 1);
    else
        text.replace(from, QLatin1String(GetParam().to));
    const QString image = fHome.filePath(QStringLiteral("image.txt"));
    QFile file(image);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.toUtf8());
    file.close();

    const Result r = run({QStringLiteral("restore"), QStringLiteral("--address"), QStringLiteral("0x28"),
                          QStringLiteral("--image"), image, QStringLiteral("--yes")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("No memory image: ") + image + QStringLiteral(": "))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QLatin1String(GetParam().why))) << r.err.toStdString();
    EXPECT_EQ(r.err.count(u'\n'), 1);
    EXPECT_FALSE(QFile::exists(statePath())) << "the adapter was not touched";
    EXPECT_TRUE(readdress_journal::read(journalFolder()).isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Images, RestoreOfABrokenImage, ::testing::ValuesIn(BrokenImages),
                         [](const ::testing::TestParamInfo<BrokenImage> &info) { return std::string(info.param.name); });
