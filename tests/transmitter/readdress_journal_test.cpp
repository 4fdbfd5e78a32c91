// The journal of re-addressing attempts against the simulated adapter: one row per attempt with
// its outcome and failed step, the images before and after, a folder that cannot be written, an
// attempt put on disk before its write and one that never got its end.
#include "readdress_fixture.h"
#include "transmitter/memory_image_file.h"
#include "transmitter/readdress_journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using readdress::Step;
namespace journal = readdress_journal;

namespace {

constexpr uint8_t OldAddress = 0x28;
constexpr uint8_t NewAddress = 0x30;

class Journal : public ReaddressOnSim
{
protected:
    // One attempt as the window and the command line make it: journal written before the outcome
    // is used.
    readdress::Outcome attempt(bool yes, QString *error = nullptr)
    {
        const journal::Attempt a = journal::begin(*handler, NewAddress, journal::Procedure::Readdress);
        const readdress::Outcome outcome =
            readdress::readdress(*handler, NewAddress, [yes](uint8_t) { return yes; });
        const QString why = journal::record(folder(), a, outcome, *handler);
        if (error)
            *error = why;
        else
            EXPECT_EQ(why, QString());
        return outcome;
    }
    QString folder() const { return fDir.filePath(QStringLiteral("Orvel_IIC_Zorbit")); }
    QList<QStringList> lines() { return journal::read(folder()); }
    // A saved image, read as restore reads it.
    T_DeviceMemory image(const QString &relative)
    {
        T_DeviceMemory out;
        EXPECT_EQ(memory_image_file::load(QDir(folder()).filePath(relative), out), QString());
        return out;
    }
    // A saved image as a record of what the transmitter held, broken or not.
    T_DeviceMemory record(const QString &relative)
    {
        QFile file(QDir(folder()).filePath(relative));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        T_DeviceMemory out;
        EXPECT_EQ(memory_image_file::parse(QString::fromUtf8(file.readAll()), out), QString());
        return out;
    }

    QTemporaryDir fDir;
};

struct AttemptCase {
    const char *name;
    int fault; // armed at once, 0 none
    int value;
    bool yes;
    const char *outcome;
    const char *failed_step;
    const char *page_after;
    bool after_image;
};

class Attempts : public Journal, public ::testing::WithParamInterface<AttemptCase>
{
};

// clang-format off
const AttemptCase AttemptCases[] = {
    {"Success", 0, 0, true, "success", "", "1", true},
    {"Cancel", 0, 0, false, "cancel", "Confirm", "0", true},
    {"ChecksumRefused", IOWSIM_FAULT_NACK_COMMAND, 0xAA, true, "failure", "Checksum", "1", true},
    {"WordLost", IOWSIM_FAULT_IGNORE_WRITE, 0x07, true, "failure", "Verify", "1", true},
    {"PageNotOpened", IOWSIM_FAULT_NACK_COMMAND, 0x5E, true, "failure", "Write", "", false},
    {"CommandModeRefused", IOWSIM_FAULT_NACK_COMMAND, 0xA9, true, "failure", "CommandMode", "0", true},
};
// clang-format on

} // namespace

TEST_P(Attempts, OneLineWithItsOutcomeAndTheImages)
{
    const AttemptCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(scan());
    const T_DeviceMemory before = handler->Get_Device().Get_memory_page();
    if (c.fault) {
        ASSERT_TRUE(sim.iowsim_set_fault(0, iowsim_fault(c.fault), c.value));
    }
    attempt(c.yes);
    sim.iowsim_clear_faults();

    const QList<QStringList> all = lines();
    ASSERT_EQ(all.size(), 1);
    const QStringList &line = all.first();
    ASSERT_EQ(line.size(), journal::ColumnCount);
    EXPECT_TRUE(QDateTime::fromString(line[journal::Time], Qt::ISODateWithMs).isValid()) << line[journal::Time].toStdString();
    EXPECT_EQ(line[journal::AdapterSerial], QStringLiteral("0000C0DE"));
    EXPECT_EQ(line[journal::ProductCode], QStringLiteral("F01234E07P0056"));
    EXPECT_EQ(line[journal::OldAddress], QStringLiteral("0x28"));
    EXPECT_EQ(line[journal::NewAddress], QStringLiteral("0x30"));
    EXPECT_EQ(line[journal::PageBefore], QStringLiteral("0"));
    EXPECT_EQ(line[journal::PageAfter], QLatin1String(c.page_after));
    EXPECT_EQ(line[journal::Outcome], QLatin1String(c.outcome));
    EXPECT_EQ(line[journal::FailedStep], QLatin1String(c.failed_step));
    EXPECT_EQ(line[journal::ProcedureColumn], QStringLiteral("readdress"));

    EXPECT_TRUE(line[journal::BeforeImage].startsWith(QStringLiteral("images/F01234E07P0056_")));
    EXPECT_TRUE(line[journal::BeforeImage].endsWith(QStringLiteral("_before.txt")));
    EXPECT_EQ(words(image(line[journal::BeforeImage])), words(before));
    EXPECT_EQ(!line[journal::AfterImage].isEmpty(), c.after_image);
    if (c.after_image) {
        const iowsim_transmitter_info chip = transmitter();
        const std::vector<uint16_t> held(chip.pages[chip.current_page], chip.pages[chip.current_page] + 0x17);
        EXPECT_EQ(words(record(line[journal::AfterImage])), held) << "what the transmitter holds";
        // Fit for a write back only where the transmitter's page carries its checksum.
        T_DeviceMemory checked;
        const bool intact = chip.pages[chip.current_page][0x17] == sim.iowsim_checksum(chip.pages[chip.current_page]);
        EXPECT_EQ(memory_image_file::load(QDir(folder()).filePath(line[journal::AfterImage]), checked).isEmpty(), intact);
        EXPECT_EQ(intact, QByteArray(c.name) != "ChecksumRefused" && QByteArray(c.name) != "WordLost");
        EXPECT_TRUE(line[journal::AfterImage].endsWith(QStringLiteral("_after.txt")));
    }
}

INSTANTIATE_TEST_SUITE_P(Outcomes, Attempts, ::testing::ValuesIn(AttemptCases),
                         [](const ::testing::TestParamInfo<AttemptCase> &info) { return std::string(info.param.name); });

TEST_F(Journal, EveryAttemptAddsALineNewestFirst)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    attempt(false);
    ASSERT_NO_FATAL_FAILURE(scan());
    attempt(true);
    const QList<QStringList> all = lines();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0][journal::Outcome], QStringLiteral("success"));
    EXPECT_EQ(all[1][journal::Outcome], QStringLiteral("cancel"));
    QFile file(journal::journal_file(folder()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readLine().trimmed(), journal::columns().join(u',').toUtf8()) << "one header line";
}

TEST_F(Journal, ARefusalIsJournalledWithItsReason)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    handler->Get_Device().Get_memory_page().Get_Tcg().setValue(0x1234);
    attempt(true);
    const QList<QStringList> all = lines();
    ASSERT_EQ(all.size(), 1);
    EXPECT_EQ(all[0][journal::Outcome], QStringLiteral("refused"));
    EXPECT_EQ(all[0][journal::FailedStep], QStringLiteral("Check: OtherImage"));
}

TEST_F(Journal, AFolderThatCannotBeWrittenIsReportedAndTheChangeStillHappens)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly)); // a plain file where the folder should be
    blocker.close();
    QString error;
    const readdress::Outcome outcome = attempt(true, &error);
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_EQ(transmitter().address, NewAddress);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(lines().isEmpty());
}

namespace {

struct WriteAheadCase {
    const char *name;
    bool ended;          // the procedure's end was recorded; else it was cut off after the write began
    const char *outcome; // the attempt's row
    int file_lines;      // header included
    int unannounced;
};

class WriteAhead : public Journal, public ::testing::WithParamInterface<WriteAheadCase>
{
};

const WriteAheadCase WriteAheadCases[] = {
    {"Ended", true, "success", 3, 0},
    {"CutOff", false, "interrupted", 2, 1},
};

QStringList fileLines(const QString &folder)
{
    QFile file(journal::journal_file(folder));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)
                                          : QStringList();
}

} // namespace

TEST_P(WriteAhead, TheAttemptIsOnDiskBeforeTheWriteAndOneRowAfterwards)
{
    const WriteAheadCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(scan());
    const T_DeviceMemory before = handler->Get_Device().Get_memory_page();
    journal::Attempt a = journal::begin(*handler, NewAddress, journal::Procedure::Readdress);
    QStringList atConfirm;
    const readdress::Outcome outcome = readdress::readdress(*handler, NewAddress, [&](uint8_t) {
        EXPECT_EQ(journal::start(folder(), a), QString());
        atConfirm = fileLines(folder());
        return true;
    });
    ASSERT_TRUE(outcome.succeeded());
    ASSERT_EQ(atConfirm.size(), 2) << "header and the started line, before the first word";
    EXPECT_EQ(journal::csv_fields(atConfirm[1]).value(journal::Outcome), journal::Started);
    EXPECT_TRUE(a.started);
    if (c.ended) {
        EXPECT_EQ(journal::record(folder(), a, outcome, *handler), QString());
    }

    EXPECT_EQ(fileLines(folder()).size(), c.file_lines);
    const QList<QStringList> all = lines();
    ASSERT_EQ(all.size(), 1) << "one row per attempt";
    EXPECT_EQ(all[0][journal::Outcome], QLatin1String(c.outcome));
    EXPECT_EQ(all[0][journal::OldAddress], QStringLiteral("0x28"));
    EXPECT_EQ(all[0][journal::BeforeImage], a.before_image) << "saved once, before the write";
    EXPECT_EQ(words(image(a.before_image)), words(before));
    EXPECT_EQ(all[0][journal::PageAfter].isEmpty(), !c.ended);
    const QList<QStringList> untold = journal::unannounced(folder());
    ASSERT_EQ(untold.size(), c.unannounced);
    if (!c.ended) {
        EXPECT_EQ(untold[0][journal::Outcome], journal::Started);
        EXPECT_EQ(untold[0][journal::BeforeImage], a.before_image);
    }
}

INSTANTIATE_TEST_SUITE_P(Ends, WriteAhead, ::testing::ValuesIn(WriteAheadCases),
                         [](const ::testing::TestParamInfo<WriteAheadCase> &info) { return std::string(info.param.name); });

TEST_F(Journal, AnInterruptedAttemptIsToldOnceAndStaysInterrupted)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    journal::Attempt cut = journal::begin(*handler, NewAddress, journal::Procedure::Readdress);
    ASSERT_EQ(journal::start(folder(), cut), QString());
    ASSERT_EQ(journal::unannounced(folder()).size(), 1);

    EXPECT_EQ(journal::mark_announced(folder(), journal::unannounced(folder())), QString());
    EXPECT_TRUE(journal::unannounced(folder()).isEmpty()) << "told once";
    attempt(false); // a later attempt, with its end
    const QList<QStringList> all = lines();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0][journal::Outcome], QStringLiteral("cancel")) << "newest first";
    EXPECT_EQ(all[1][journal::Outcome], journal::Interrupted);
    EXPECT_EQ(all[1][journal::BeforeImage], cut.before_image);
    EXPECT_TRUE(journal::unannounced(folder()).isEmpty());
}

TEST_F(Journal, AJournalOfOneLinePerAttemptStillLoads)
{
    ASSERT_TRUE(QDir().mkpath(folder()));
    QFile file(journal::journal_file(folder()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(journal::columns().join(u',').toUtf8() + "\r\n"
               "2024-03-01T10:00:00.000+01:00,anna,bench,0000C0DE,F01234E07P0056,0x28,0x30,0,1,success,,readdress,"
               "images/a_before.txt,images/a_after.txt\r\n"
               "2024-03-02T11:00:00.000+01:00,\"o'neil, j\",bench,0000C0DE,F01234E07P0056,0x30,0x31,1,1,failure,"
               "Verify,readdress,images/b_before.txt,images/b_after.txt\r\n");
    file.close();
    const QList<QStringList> all = lines();
    ASSERT_EQ(all.size(), 2);
    EXPECT_EQ(all[0][journal::User], QStringLiteral("o'neil, j"));
    EXPECT_EQ(all[0][journal::Outcome], QStringLiteral("failure"));
    EXPECT_EQ(all[0][journal::AfterImage], QStringLiteral("images/b_after.txt"));
    EXPECT_EQ(all[1][journal::Outcome], QStringLiteral("success"));
    EXPECT_TRUE(journal::unannounced(folder()).isEmpty());
}

TEST(JournalCsv, FieldsWithCommasQuotesAndLineBreaksStayOneLine)
{
    const QStringList fields = {QStringLiteral("a,b"), QStringLiteral("say \"hi\""), QStringLiteral("two\nlines"),
                                QString(), QStringLiteral("plain")};
    const QString line = journal::csv_line(fields);
    EXPECT_FALSE(line.contains(u'\n'));
    EXPECT_EQ(line, QStringLiteral("\"a,b\",\"say \"\"hi\"\"\",two lines,,plain"));
    QStringList expected = fields;
    expected[2] = QStringLiteral("two lines");
    EXPECT_EQ(journal::csv_fields(line), expected);
}
