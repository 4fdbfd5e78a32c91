// The command line cut off in the middle of a change of address. Killed (SIGKILL) at moments of
// the write, read from the simulated transmitter's state file, it leaves the attempt in the
// journal as interrupted, and its before-image brings the transmitter back; interrupted (SIGINT,
// SIGTERM, SIGHUP) at the same moments it finishes the write and exits with its outcome. And the
// journal command, which tells of an interrupted attempt once.
#include "cli_fixture.h"
#include "services/utils/single_instance.h"
#include "transmitter/OrvelMemory.h"
#include "transmitter/memory_image_file.h"
#include "transmitter/readdress_journal.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <array>
#include <csignal>

namespace {

namespace journal = readdress_journal;

// The transmitter as the simulator's state file tells: it is saved after every report that
// changed the memory.
struct ChipState {
    int current_page = 0;
    std::array<std::array<uint16_t, IOWSIM_WORDS_PER_PAGE>, IOWSIM_PAGES> pages{};
};

ChipState readState(const QString &path)
{
    ChipState state;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return state;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        const QString key = line.section(u'=', 0, 0).trimmed();
        const QString value = line.section(u'=', 1).trimmed();
        if (key == QLatin1String("current_page"))
            state.current_page = value.toInt();
        else if (key.size() == 5 && key.startsWith(QLatin1String("page"))) {
            const QStringList words = value.split(u' ', Qt::SkipEmptyParts);
            for (int w = 0; w < IOWSIM_WORDS_PER_PAGE && w < words.size(); ++w)
                state.pages[size_t(key.back().digitValue())][size_t(w)] = uint16_t(words[w].toUInt(nullptr, 16));
        }
    }
    return state;
}

// Moments of the change of 0x28 to 0x31; each lasts until the change ends. The factory image
// has non-zero words 0x0B and 0x15, 0x16 is 0, and only the checksum command writes 0x17.
enum class Moment {
    Asked,          // in command mode, the question on the terminal: nothing written
    PageOpened,     // the new page is open, still (nearly) blank
    HalfWritten,    // word 0x0B written
    WordsWritten,   // every word written, no checksum yet
    ChecksumMade,   // the checksum generated; the power cycle and the check at 0x31 follow
};

bool reached(Moment moment, const ChipState &s)
{
    const auto &page = s.pages[1];
    switch (moment) {
    case Moment::Asked: return false;
    case Moment::PageOpened: return s.current_page == 1;
    case Moment::HalfWritten: return s.current_page == 1 && page[0x0B] != 0 && page[0x17] == 0;
    case Moment::WordsWritten: return s.current_page == 1 && page[0x15] != 0 && page[0x17] == 0;
    case Moment::ChecksumMade: return s.current_page == 1 && page[0x17] != 0;
    }
    return false;
}

const char *const Question = "Do you wish to continue with assigning new slave address: 0x31";

class Interrupted : public Cli
{
protected:
    void SetUp() override
    {
        Cli::SetUp();
        // Slow reports, so that each moment lasts long enough to be caught.
        ASSERT_NO_FATAL_FAILURE(useScenario(QStringLiteral("[adapter]\nlatency_ms = 8\n[transmitter.main]\naddress = 0x28\n")));
    }
    // The same scenario file, so the same memory, at full speed.
    void fast()
    {
        QFile file(fScenario);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("[transmitter.main]\naddress = 0x28\n");
    }

    // Starts the change of 0x28 to 0x31 and sends `signal` once the moment has come.
    Result interrupt(Moment moment, int signal)
    {
        QProcess p;
        p.setProcessEnvironment(environment());
        QStringList args = {QStringLiteral("readdress"), QStringLiteral("--address"), QStringLiteral("0x28"),
                            QStringLiteral("--to"), QStringLiteral("0x31")};
        if (moment != Moment::Asked)
            args << QStringLiteral("--yes");
        p.setReadChannel(QProcess::StandardError);
        p.start(QStringLiteral(ZORBIT_CLI), args); // the terminal stays open: the question waits
        EXPECT_TRUE(p.waitForStarted());
        QByteArray err;
        bool came = false;
        QElapsedTimer waited;
        waited.start();
        while (!came && p.state() == QProcess::Running && waited.elapsed() < 60000) {
            if (moment == Moment::Asked) {
                p.waitForReadyRead(20);
                err += p.readAllStandardError();
                came = err.contains(Question);
            } else {
                came = reached(moment, readState(statePath()));
                if (!came)
                    QThread::msleep(2);
            }
        }
        EXPECT_TRUE(came) << "the moment never came; " << err.toStdString();
        ::kill(pid_t(p.processId()), signal);
        EXPECT_TRUE(p.waitForFinished(60000));
        Result r;
        r.crashed = p.exitStatus() != QProcess::NormalExit;
        r.status = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(err + p.readAllStandardError());
        if (moment == Moment::Asked)
            r.err.remove(0, r.err.indexOf(u'?') + 1 + int(strlen(" [y/N] ")));
        return r;
    }
    // The chip holds `image` at its current page with a valid checksum.
    void expectHolds(const T_DeviceMemory &image, int page)
    {
        const iowsim_transmitter_info info = chip();
        EXPECT_EQ(info.current_page, page);
        EXPECT_FALSE(info.memory_error) << "valid checksum";
        for (int a = 0; a < 0x17; ++a)
            EXPECT_EQ(info.pages[info.current_page][a], image.at(a).value()) << "word " << a;
    }
    T_DeviceMemory factoryImage()
    {
        const iowsim_transmitter_info info = chip();
        T_DeviceMemory image;
        for (int a = 0; a < 0x17; ++a)
            image.at(a).setValue(info.pages[0][a]);
        return image;
    }
};

struct KillCase {
    const char *name;
    Moment moment;
};

class Killed : public Interrupted, public ::testing::WithParamInterface<KillCase>
{
};

const KillCase KillCases[] = {
    {"Asked", Moment::Asked},
    {"PageOpened", Moment::PageOpened},
    {"HalfWritten", Moment::HalfWritten},
    {"WordsWritten", Moment::WordsWritten},
    {"ChecksumMade", Moment::ChecksumMade},
};

} // namespace

TEST_P(Killed, TheJournalHasTheAttemptAndItsBeforeImageBringsTheTransmitterBack)
{
    const Moment moment = GetParam().moment;
    const Result killed = interrupt(moment, SIGKILL);
    EXPECT_TRUE(killed.crashed);
    ASSERT_NO_FATAL_FAILURE(fast());
    const T_DeviceMemory factory = factoryImage();

    const Result listed = run({QStringLiteral("journal"), QStringLiteral("--json")});
    EXPECT_EQ(listed.status, 0) << listed.err.toStdString();
    if (moment == Moment::Asked) {
        EXPECT_EQ(listed.out, QString()) << "nothing was about to be written";
        EXPECT_EQ(listed.err, QString());
        expectHolds(factory, 0);
        return;
    }
    ASSERT_EQ(listed.lines().size(), 1) << listed.out.toStdString();
    const QJsonObject row = object(listed.lines()[0]);
    EXPECT_EQ(row[QStringLiteral("outcome")].toString(), journal::Interrupted);
    EXPECT_EQ(row[QStringLiteral("old_address")].toString(), QStringLiteral("0x28"));
    EXPECT_EQ(row[QStringLiteral("new_address")].toString(), QStringLiteral("0x31"));
    const QString before = row[QStringLiteral("before_image")].toString();
    EXPECT_TRUE(QFileInfo(before).isAbsolute()) << before.toStdString();
    T_DeviceMemory saved;
    ASSERT_EQ(memory_image_file::load(before, saved), QString());
    EXPECT_EQ(listed.err.count(u'\n'), 1) << listed.err.toStdString();
    const QJsonObject told = object(listed.err);
    EXPECT_EQ(told[QStringLiteral("kind")].toString(), QStringLiteral("journal"));
    const QString notice = told[QStringLiteral("notice")].toString();
    EXPECT_TRUE(notice.startsWith(QStringLiteral("Interrupted: the re-addressing of 0x28 to 0x31 begun ") +
                                  row[QStringLiteral("time")].toString()))
        << notice.toStdString();
    EXPECT_TRUE(notice.contains(QStringLiteral("journal: ") + journal::journal_file(journalFolder())));
    EXPECT_TRUE(notice.contains(QStringLiteral("before-image: ") + before));
    EXPECT_EQ(run({QStringLiteral("journal")}).err, QString()) << "told once";
    EXPECT_EQ(chip().current_page, 1) << "the kill came after the page was opened";

    const QStringList found = scannedAddresses();
    ASSERT_EQ(found.size(), 1);
    const Result restored = run({QStringLiteral("restore"), QStringLiteral("--address"), found[0],
                                 QStringLiteral("--image"), before, QStringLiteral("--yes")});
    EXPECT_EQ(restored.status, 0) << restored.err.toStdString();
    EXPECT_EQ(restored.err, QString());
    expectHolds(saved, 2);
    EXPECT_EQ(scannedAddresses(), QStringList{QStringLiteral("0x28")});
    const QList<QStringList> rows = journal::read(journalFolder());
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][journal::Outcome], QStringLiteral("success"));
    EXPECT_EQ(rows[1][journal::Outcome], journal::Interrupted);
}

INSTANTIATE_TEST_SUITE_P(Moments, Killed, ::testing::ValuesIn(KillCases),
                         [](const ::testing::TestParamInfo<KillCase> &info) { return std::string(info.param.name); });

namespace {

struct HeldCase {
    const char *name;
    Moment moment;
    int signal;
};

class Held : public Interrupted, public ::testing::WithParamInterface<HeldCase>
{
};

const HeldCase HeldCases[] = {
    {"CtrlCWhileAsked", Moment::Asked, SIGINT},
    {"TermWhileAsked", Moment::Asked, SIGTERM},
    {"CtrlCPageOpened", Moment::PageOpened, SIGINT},
    {"CtrlCHalfWritten", Moment::HalfWritten, SIGINT},
    {"TermHalfWritten", Moment::HalfWritten, SIGTERM},
    {"HangUpHalfWritten", Moment::HalfWritten, SIGHUP},
    {"CtrlCWordsWritten", Moment::WordsWritten, SIGINT},
    {"CtrlCChecksumMade", Moment::ChecksumMade, SIGINT},
};

} // namespace

TEST_P(Held, TheWriteEndsAndTheProgramExitsWithItsOutcome)
{
    const HeldCase &c = GetParam();
    const Result r = interrupt(c.moment, c.signal);
    ASSERT_NO_FATAL_FAILURE(fast());
    T_DeviceMemory image = factoryImage();
    EXPECT_FALSE(r.crashed);
    if (c.moment == Moment::Asked) {
        EXPECT_EQ(r.status, 128 + c.signal);
        EXPECT_EQ(r.err, QStringLiteral("Interrupted; nothing was being written\n"));
        expectHolds(image, 0);
        EXPECT_TRUE(journal::read(journalFolder()).isEmpty());
        return;
    }
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, QStringLiteral("Interrupted: finishing the write first, so that the transmitter is not left half "
                                    "written\n"));
    EXPECT_EQ(r.out, QStringLiteral("Re-addressing done: the transmitter answers at 0x31\n"));
    image.at(OrvelWords::COM_Config).setValue(0x0031);
    expectHolds(image, 1);
    const QList<QStringList> rows = journal::read(journalFolder());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][journal::Outcome], QStringLiteral("success"));
    EXPECT_EQ(run({QStringLiteral("scan")}).err, QString()) << "nothing to tell at the next start";
}

INSTANTIATE_TEST_SUITE_P(Moments, Held, ::testing::ValuesIn(HeldCases),
                         [](const ::testing::TestParamInfo<HeldCase> &info) { return std::string(info.param.name); });

TEST_F(Cli, TheJournalListsEveryAttemptAndTellsOfAnInterruptedOneOnceNoOtherCopyRuns)
{
    const QString folder = journalFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile file(journal::journal_file(folder));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // An attempt of an older journal, then one cut off after its start.
    file.write(journal::columns().join(u',').toUtf8() + "\r\n"
               "2024-03-01T10:00:00.000+01:00,anna,bench,0000C0DE,F01234E07P0056,0x28,0x30,0,1,success,,readdress,"
               "images/a_before.txt,images/a_after.txt\r\n"
               "2024-03-02T11:00:00.000+01:00,anna,bench,0000C0DE,F01234E07P0056,0x30,0x31,1,,started,,readdress,"
               "images/b_before.txt,\r\n");
    file.close();
    const QString before = QDir(folder).filePath(QStringLiteral("images/b_before.txt"));

    {
        TSingleInstance window(TSingleInstance::DefaultName, runtimeDir());
        ASSERT_TRUE(window.tryAcquire());
        const Result listed = run({QStringLiteral("journal")});
        EXPECT_EQ(listed.status, 0);
        EXPECT_EQ(listed.err, QString()) << "the window may be writing it right now";
    }
    const Result table = run({QStringLiteral("journal")});
    EXPECT_EQ(table.status, 0);
    EXPECT_EQ(table.err, QStringLiteral("Interrupted: the re-addressing of 0x30 to 0x31 begun 2024-03-02T11:00:00.000+01:00 "
                                        "was cut off while it wrote the transmitter; journal: ") +
                             journal::journal_file(folder) + QStringLiteral("; before-image: ") + before +
                             QStringLiteral(" (orvel-zorbit-cli restore --image writes it back)\n"));
    const QStringList lines = table.lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Time"))) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].contains(QStringLiteral(" interrupted ")) && lines[1].endsWith(before)) << "newest first";
    EXPECT_TRUE(lines[2].contains(QStringLiteral(" success ")));

    const Result json = run({QStringLiteral("journal"), QStringLiteral("--json")});
    EXPECT_EQ(json.err, QString()) << "told once";
    ASSERT_EQ(json.lines().size(), 2);
    const QJsonObject cut = object(json.lines()[0]);
    EXPECT_EQ(cut.keys().size(), journal::ColumnCount + 1) << "every column and the schema";
    EXPECT_EQ(cut[QStringLiteral("outcome")].toString(), journal::Interrupted);
    EXPECT_EQ(cut[QStringLiteral("before_image")].toString(), before);
    EXPECT_TRUE(cut[QStringLiteral("after_image")].isNull());
    EXPECT_EQ(cut[QStringLiteral("page_before")].toInt(-1), 1);
    EXPECT_TRUE(cut[QStringLiteral("page_after")].isNull());
    EXPECT_EQ(object(json.lines()[1])[QStringLiteral("user")].toString(), QStringLiteral("anna"));
    EXPECT_FALSE(QFile::exists(statePath())) << "the journal needs no adapter";
}

TEST_F(Cli, AnEmptyJournalIsAHeaderAndAJournalThatCannotBeReadFails)
{
    const Result empty = run({QStringLiteral("journal")});
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.lines().size(), 1);
    EXPECT_EQ(run({QStringLiteral("journal"), QStringLiteral("--json")}).out, QString());

    ASSERT_TRUE(QDir().mkpath(journal::journal_file(journalFolder()))); // a folder where the file should be
    const Result unreadable = run({QStringLiteral("journal")});
    EXPECT_EQ(unreadable.status, 1);
    EXPECT_TRUE(unreadable.err.startsWith(QStringLiteral("The journal cannot be read: "))) << unreadable.err.toStdString();
}
