// The writer thread: roll-over, empty passes, deleting, I/O errors and shutdown.
#include "services/utils/ZUtils.h"
#include "log_test_support.h"

#include <QFileInfo>
#include <atomic>
#include <condition_variable>

namespace {

const QByteArray Old(100, 'o');

// ---- roll-over -------------------------------------------------------------------------------

struct RollOverCase {
    int extraBytes; // beyond "FileSize"
    bool rolled;
};

std::ostream &operator<<(std::ostream &os, const RollOverCase &c)
{
    return os << "FileSize + " << c.extraBytes << " bytes";
}

class LogRollOver : public LogFixture, public ::testing::WithParamInterface<RollOverCase>
{
};

TEST_P(LogRollOver, RenamesOnlyAFileStrictlyLargerThanFileSize)
{
    fIni->Set_LogFilesize(100);
    ASSERT_TRUE(writeFile(logFile(), QByteArray(100 + GetParam().extraBytes, 'o')));
    const QByteArray before = fileBytes(logFile());
    auto log = makeLog();
    log->addEvent(catNone, lNormal, QStringLiteral("next"));
    log.reset();

    const QString dated = logFile(QStringLiteral("log_2018_07_31.txt"));
    if (GetParam().rolled) {
        EXPECT_EQ(fileBytes(dated), before);
        EXPECT_EQ(fileBytes(logFile()), line("next"));
    } else {
        EXPECT_FALSE(QFile::exists(dated));
        EXPECT_EQ(fileBytes(logFile()), before + line("next"));
    }
}

INSTANTIATE_TEST_SUITE_P(AtTheLimit, LogRollOver, ::testing::Values(RollOverCase{0, false}, RollOverCase{1, true}));

using LogRollOversOfOneDay = LogFixture;

// Every roll-over of a day gets a name of its own, so no file grows past the limit by more than
// one batch, and the viewer hears of a new file only when one has started.
TEST_F(LogRollOversOfOneDay, EachGetsANumberedFileAndTellsTheViewerOnce)
{
    fIni->Set_LogFilesize(100);
    ASSERT_TRUE(writeFile(logFile(), Old + "!"));
    auto log = makeLogWithViewer();
    openViewer(*log);

    const QString longText(100, u'x');
    const QStringList messages = {QStringLiteral("a") + longText, QStringLiteral("b") + longText,
                                  QStringLiteral("c") + longText, QStringLiteral("d")};
    for (int i = 0; i < messages.size(); ++i) {
        log->addEvent(catNone, lNormal, messages[i]);
        ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == i + 1; }));
    }

    const QByteArray a = line(messages[0].toLatin1().constData());
    const QByteArray b = line(messages[1].toLatin1().constData());
    const QByteArray c = line(messages[2].toLatin1().constData());
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31.txt"))), Old + "!");
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31_2.txt"))), a);
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31_3.txt"))), b);
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31_4.txt"))), c);
    EXPECT_EQ(fileBytes(logFile()), line("d"));
    EXPECT_EQ(fJournal->count(QStringLiteral("newFile")), 4);
    for (const ViewerJournal::Call &call : fJournal->calls()) {
        if (call.name == QLatin1String("newFile") || call.name == QLatin1String("updateGui")) {
            EXPECT_TRUE(call.onMainThread) << call.name.toStdString();
        }
    }

    // Below the limit nothing rolls over and the viewer hears of no new file.
    log->addEvent(catNone, lNormal, QStringLiteral("e"));
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == 5; }));
    EXPECT_EQ(fileBytes(logFile()), line("d") + line("e"));
    EXPECT_EQ(fJournal->count(QStringLiteral("newFile")), 4);

    // The next day starts its numbering afresh.
    fClock->set(QDate(2018, 8, 1), QTime(0, 0, 1));
    log->addEvent(catNone, lNormal, longText);
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == 6; }));
    log->addEvent(catNone, lNormal, QStringLiteral("f"));
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == 7; }));
    EXPECT_TRUE(QFile::exists(logFile(QStringLiteral("log_2018_08_01.txt"))));
    EXPECT_FALSE(QFile::exists(logFile(QStringLiteral("log_2018_08_01_2.txt"))));
}

// ---- empty passes, deleting, I/O errors --------------------------------------------------------

using LogWriter = LogFixture;

TEST_F(LogWriter, RejectedEventCreatesAnEmptyLogFile)
{
    auto log = makeLog();
    log->addEvent(catCommunication, lDebug, QStringLiteral("too detailed"));
    ASSERT_TRUE(wait_until::without_pumping([&] { return QFile::exists(logFile()); }));
    EXPECT_EQ(QFileInfo(logFile()).size(), 0);
    EXPECT_TRUE(log->Get_Logs().isEmpty());
}

TEST_F(LogWriter, DeleteWhileLinesAreQueuedStartsANewFileWithThem)
{
    auto log = makeLogWithViewer();
    openViewer(*log);
    log->addEvent(catNone, lNormal, QStringLiteral("old"));
    // Once "old" is on disk the writer waits for the main thread to run updateGui, which this
    // test holds back: the next lines stay queued.
    ASSERT_TRUE(wait_until::without_pumping([&] { return fileBytes(logFile()) == line("old"); }));
    log->addEvent(catNone, lNormal, QStringLiteral("q1"));
    log->addEvent(catNone, lNormal, QStringLiteral("q2"));
    ASSERT_EQ(log->Get_Logs().size(), 2);

    log->deleteLogfile();
    EXPECT_FALSE(QFile::exists(logFile()));

    ASSERT_TRUE(wait_until::pumping([&] { return log->Get_Logs().isEmpty() && QFile::exists(logFile()); }));
    log.reset();
    EXPECT_EQ(fileBytes(logFile()), line("q1") + line("q2"));
}

TEST_F(LogWriter, DeleteWithoutAFileDoesNothing)
{
    auto log = makeLog();
    EXPECT_NO_THROW(log->deleteLogfile());
    EXPECT_FALSE(QFile::exists(logFile()));
}

TEST_F(LogWriter, FailedDeleteRaisesAnIoErrorAndReleasesTheLock)
{
    // A folder in the file's place cannot be deleted as a file.
    ASSERT_TRUE(QDir(logDir()).mkpath(QStringLiteral("log.txt/inside")));
    auto log = makeLog();
    try {
        log->deleteLogfile();
        ADD_FAILURE() << "no error raised";
    } catch (const EInOutError &error) {
        EXPECT_NE(std::string(error.what()).find("log.txt"), std::string::npos) << error.what();
    }
    // Both locks are free again: another attempt fails the same way instead of blocking.
    EXPECT_THROW(log->deleteLogfile(), EInOutError);
    EXPECT_TRUE(QFileInfo(logFile()).isDir());
}

TEST_F(LogWriter, DropsABatchItCannotWriteAndGoesOn)
{
    ASSERT_TRUE(QDir(logDir()).mkpath(QStringLiteral("log.txt")));
    auto log = makeLogWithViewer();
    openViewer(*log);
    log->addEvent(catNone, lNormal, QStringLiteral("lost"));
    // The failed pass tells of itself once; the pass for that notice fails quietly.
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == 2; }));
    EXPECT_TRUE(log->Get_Logs().isEmpty());

    ASSERT_TRUE(QDir(logDir()).rmdir(QStringLiteral("log.txt")));
    log->addEvent(catNone, lNormal, QStringLiteral("kept"));
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == 3; }));
    const QByteArray written = fileBytes(logFile());
    EXPECT_TRUE(written.endsWith(line("kept")));
    EXPECT_EQ(written.count("\tCore\tError\tLog: unable to write to "), 1) << written.toStdString();
    EXPECT_FALSE(written.contains("\tlost\r\n")) << written.toStdString();
    // The viewer was handed both lines and the notice all the same.
    EXPECT_EQ(fJournal->count(QStringLiteral("addLog")), 3);
}

// ---- shutdown --------------------------------------------------------------------------------

TEST_F(LogWriter, ReleaseWritesEveryAcceptedLine)
{
    constexpr int PerThread = 2000;
    auto log = makeLog();
    const auto produce = [&log](const QString &prefix) {
        for (int i = 0; i < PerThread; ++i)
            log->addEvent(catNone, lNormal, prefix + QString::number(i));
    };
    std::thread first(produce, QStringLiteral("A"));
    std::thread second(produce, QStringLiteral("B"));
    first.join();
    second.join();
    log.reset();

    const QList<QByteArray> lines = fileBytes(logFile()).split('\n');
    ASSERT_EQ(lines.size(), 2 * PerThread + 1); // the last piece follows the final line end
    int nextA = 0, nextB = 0;
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        const QByteArray message = lines[i].mid(24).chopped(1);
        if (message.startsWith('A'))
            EXPECT_EQ(message, "A" + QByteArray::number(nextA++));
        else
            EXPECT_EQ(message, "B" + QByteArray::number(nextB++));
    }
    EXPECT_EQ(nextA, PerThread);
    EXPECT_EQ(nextB, PerThread);
}

TEST_F(LogWriter, ReleaseOnTheMainThreadServesAWriterWaitingForIt)
{
    auto log = makeLogWithViewer();
    openViewer(*log);
    log->addEvent(catNone, lNormal, QStringLiteral("a"));
    // The writer now waits for the main thread to run the viewer's updateGui.
    ASSERT_TRUE(wait_until::without_pumping([&] { return fileBytes(logFile()) == line("a"); }));
    log->addEvent(catNone, lNormal, QStringLiteral("b"));
    log->addEvent(catNone, lNormal, QStringLiteral("c"));

    const auto started = std::chrono::steady_clock::now();
    log.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
    EXPECT_EQ(fileBytes(logFile()), line("a") + line("b") + line("c"));
    const QStringList calls = fJournal->names();
    EXPECT_EQ(calls.mid(calls.indexOf(QStringLiteral("hideForm"))),
              QStringList({QStringLiteral("hideForm"), QStringLiteral("destroyed")}));
}

// Holds the writer inside its roll-over until opened.
class Gate
{
public:
    void wait()
    {
        std::unique_lock<std::mutex> lock(fLock);
        fOpened.wait(lock, [this] { return fOpen; });
    }
    void open()
    {
        {
            std::lock_guard<std::mutex> lock(fLock);
            fOpen = true;
        }
        fOpened.notify_all();
    }

private:
    std::mutex fLock;
    std::condition_variable fOpened;
    bool fOpen = false;
};

TEST_F(LogWriter, ReleaseDoesNotWaitLongerThanItsBoundForAStuckWriter)
{
    fIni->Set_LogFilesize(10);
    ASSERT_TRUE(writeFile(logFile(), Old));
    auto gate = std::make_shared<Gate>();
    auto reached = std::make_shared<std::atomic<bool>>(false);
    // The writer asks the clock for the roll-over date only.
    auto log = std::make_unique<TLogFile>(logDir(), fIni.get(), [gate, reached, clock = fClock] {
        if (!onMainThread()) {
            reached->store(true);
            gate->wait();
        }
        return clock->now();
    });
    log->setShutdownWait(std::chrono::milliseconds(200));
    log->addEvent(catNone, lNormal, QStringLiteral("first"));
    ASSERT_TRUE(wait_until::without_pumping([&] { return reached->load(); }));
    log->addEvent(catNone, lNormal, QStringLiteral("second"));

    const auto started = std::chrono::steady_clock::now();
    log.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));

    // Let go, the writer ends on its own and still writes both lines (the second pass rolls the
    // first line over, being past the limit too).
    gate->open();
    ASSERT_TRUE(wait_until::without_pumping([&] { return fileBytes(logFile()) == line("second"); }));
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31_2.txt"))), line("first"));
    EXPECT_EQ(fileBytes(logFile(QStringLiteral("log_2018_07_31.txt"))), Old);
}

} // namespace
