// What the log asks of its viewer, on which thread, and when.
#include "services/utils/main_thread_call.h"
#include "log_test_support.h"

#include <atomic>

namespace {

using LogViewer = LogFixture;

TEST_F(LogViewer, WithoutAFactoryThereIsNoViewer)
{
    auto log = makeLog();
    log->enableForm();
    EXPECT_EQ(log->viewer(), nullptr);
    log->addEvent(catNone, lNormal, QStringLiteral("x"));
    log->disableForm();
}

TEST_F(LogViewer, OpeningEmptiesShowsAndFillsItFromTheFile)
{
    ASSERT_TRUE(writeFile(logFile(), line("one") + line("two")));
    int made = 0;
    auto log = makeLog();
    log->setViewerFactory([&made, journal = fJournal](TLogFile &) {
        ++made;
        return std::make_unique<RecordingViewer>(journal);
    });
    log->enableForm();
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("showLastLine")) == 1; }));

    EXPECT_EQ(fJournal->names(), QStringList({"clear", "showForm", "initLog", "showLastLine"}));
    const std::vector<ViewerJournal::Call> calls = fJournal->calls();
    EXPECT_EQ(calls[2].args, QStringList({QString::fromLatin1(line("one").chopped(2)),
                                          QString::fromLatin1(line("two").chopped(2))}));
    // The file is read away from the main thread; the caret moves on it.
    EXPECT_FALSE(calls[2].onMainThread);
    EXPECT_TRUE(calls[3].onMainThread);
    EXPECT_TRUE(log->Get_data_geladen());
    EXPECT_EQ(made, 1);
}

TEST_F(LogViewer, WithoutAFileThereIsNothingToLoad)
{
    auto log = makeLogWithViewer();
    log->enableForm();
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("showLastLine")) == 1; }));
    EXPECT_EQ(fJournal->count(QStringLiteral("initLog")), 0);
    EXPECT_TRUE(log->Get_data_geladen());
}

TEST_F(LogViewer, GetsEveryAcceptedLineFromAnyThreadThenUpdatesOnTheMainThread)
{
    fIni->Set_LogCommunicationMode(lError);
    auto log = makeLogWithViewer();
    openViewer(*log);
    std::thread worker([&log] {
        log->addEvent(catCommunication, lError, QStringLiteral("from worker"));
        log->addEvent(catCommunication, lDebug, QStringLiteral("dropped"));
    });
    worker.join();
    ASSERT_TRUE(wait_until::pumping([&] { return QFile::exists(logFile()) && fJournal->count(QStringLiteral("updateGui")) > 0; }));

    const std::vector<ViewerJournal::Call> calls = fJournal->calls();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[0].name, QStringLiteral("addLog"));
    EXPECT_EQ(calls[0].args, QStringList({QString::fromLatin1(line("from worker", "Communication", "Error").chopped(2)),
                                          QStringLiteral("filter")}));
    EXPECT_FALSE(calls[0].onMainThread);
    EXPECT_EQ(fJournal->count(QStringLiteral("addLog")), 1);
    for (const ViewerJournal::Call &call : calls) {
        if (call.name == QLatin1String("updateGui")) {
            EXPECT_TRUE(call.onMainThread);
        }
    }
}

TEST_F(LogViewer, ClosedViewerCollectsLinesButIsNotUpdatedUntilReopened)
{
    ASSERT_TRUE(writeFile(logFile(), line("before")));
    int made = 0;
    auto log = makeLog();
    log->setViewerFactory([&made, journal = fJournal](TLogFile &) {
        ++made;
        return std::make_unique<RecordingViewer>(journal);
    });
    openViewer(*log);

    // What the viewer does when the user closes it.
    log->viewer()->hideForm();
    log->Set_data_geladen(false);
    log->addEvent(catNone, lNormal, QStringLiteral("while closed"));
    ASSERT_TRUE(wait_until::pumping([&] { return fileBytes(logFile()) == line("before") + line("while closed"); }));
    // One more pass, to give a wrong updateGui the chance to show up.
    log->addEvent(catCommunication, lDebug, QStringLiteral("rejected"));
    wait_until::pumping([] { return false; }, 100);
    EXPECT_EQ(fJournal->count(QStringLiteral("addLog")), 1);
    EXPECT_EQ(fJournal->count(QStringLiteral("updateGui")), 0);

    fJournal->reset();
    log->enableForm();
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("showLastLine")) == 1; }));
    EXPECT_EQ(fJournal->names(), QStringList({"clear", "showForm", "initLog", "showLastLine"}));
    EXPECT_EQ(fJournal->calls()[2].args.size(), 2);
    EXPECT_EQ(made, 1);
}

TEST_F(LogViewer, OpeningItAgainWhileOpenRefillsItFromTheFile)
{
    auto log = makeLogWithViewer();
    openViewer(*log);
    log->addEvent(catNone, lNormal, QStringLiteral("shown"));
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == 1; }));
    fJournal->reset();

    log->enableForm();
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("showLastLine")) == 1; }));
    EXPECT_EQ(fJournal->names(), QStringList({"clear", "showForm", "initLog", "showLastLine"}));
    EXPECT_EQ(fJournal->calls()[2].args, QStringList({QString::fromLatin1(line("shown").chopped(2))}));
}

TEST_F(LogViewer, DisableHidesAndReleasesItAndNothingReachesItAfterwards)
{
    auto log = makeLogWithViewer();
    openViewer(*log);
    log->disableForm();
    EXPECT_EQ(log->viewer(), nullptr);
    EXPECT_EQ(fJournal->names(), QStringList({"hideForm", "destroyed"}));

    log->addEvent(catNone, lNormal, QStringLiteral("unseen"));
    ASSERT_TRUE(wait_until::pumping([&] { return QFile::exists(logFile()); }));
    log.reset();
    EXPECT_EQ(fJournal->names(), QStringList({"hideForm", "destroyed"}));
}

TEST_F(LogViewer, OpeningWhileTheMainThreadLogsDoesNotBlockIt)
{
    // A file long enough that reading it overlaps with the logging below.
    QByteArray lines;
    for (int i = 0; i < 20000; ++i)
        lines += line("filler");
    ASSERT_TRUE(writeFile(logFile(), lines));
    auto log = makeLogWithViewer();
    log->enableForm();
    for (int i = 0; i < 200; ++i) {
        log->addEvent(catNone, lNormal, QStringLiteral("main ") + QString::number(i));
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("showLastLine")) == 1; }));
    EXPECT_EQ(fJournal->count(QStringLiteral("addLog")), 200);
}

// Stands in for the application's helper: counts what passes through it and hands it on.
class CountingCaller : public main_thread_call::Caller
{
public:
    main_thread_call::Outcome runOnMainThread(main_thread_call::Call call) override
    {
        ++calls;
        return fGate.run(std::move(call));
    }
    bool runPending() override { return fGate.runPending(); }
    std::atomic<int> calls{0};

private:
    main_thread_call::Gate fGate;
};

TEST_F(LogViewer, ReachesTheViewerThroughTheCallerTheApplicationInstalled)
{
    auto caller = std::make_shared<CountingCaller>();
    main_thread_call::install(caller);
    struct Uninstall {
        ~Uninstall() { main_thread_call::install(nullptr); }
    } uninstall;
    auto log = makeLogWithViewer();
    openViewer(*log);
    EXPECT_EQ(caller->calls, 1) << "the caret move";
    log->addEvent(catNone, lNormal, QStringLiteral("through"));
    ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("updateGui")) == 1; }));
    EXPECT_EQ(caller->calls, 2) << "and the update";
    for (const ViewerJournal::Call &call : fJournal->calls()) {
        if (call.name == QStringLiteral("updateGui")) {
            EXPECT_TRUE(call.onMainThread);
        }
    }
}

} // namespace
