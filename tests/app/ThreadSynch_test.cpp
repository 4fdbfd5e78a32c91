// Running methods on the main thread for other threads, one caller at a time.
#include "app/ThreadSynch.h"
#include "wait_until.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

bool onMainThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// The object a target works on; each caller has its own.
struct Target {
    int runs = 0;
    bool onMain = true;
};

// Order of events seen by the targets, shared by both callers.
class Timeline
{
public:
    void add(const std::string &event)
    {
        std::lock_guard<std::mutex> lock(fLock);
        fEvents.push_back(event);
    }
    std::vector<std::string> events() const
    {
        std::lock_guard<std::mutex> lock(fLock);
        return fEvents;
    }

private:
    mutable std::mutex fLock;
    std::vector<std::string> fEvents;
};

// Each test owns its application, so that one can end it under a waiting caller.
class ThreadSynch : public ::testing::Test
{
protected:
    void SetUp() override { fApp = std::make_unique<QCoreApplication>(fArgc, fArgv); }
    void TearDown() override { fApp.reset(); }

    std::unique_ptr<QCoreApplication> fApp;
    int fArgc = 1;
    char fName[32] = "test_thread_synch";
    char *fArgv[2] = {fName, nullptr};
};

TEST_F(ThreadSynch, TwoCallersAtOnceRunOnTheMainThreadOneAfterTheOther)
{
    constexpr int CallsPerThread = 50;
    TThreadSynch synch;
    Target first, second;
    std::atomic<int> running{0};
    std::atomic<bool> overlapped{false};
    std::atomic<int> finished{0};

    const auto caller = [&](Target &target) {
        for (int i = 0; i < CallsPerThread; ++i) {
            const int before = target.runs;
            synch.SafeSync(std::this_thread::get_id(), [&target, &running, &overlapped] {
                if (running.fetch_add(1) != 0)
                    overlapped = true;
                ++target.runs;
                target.onMain = target.onMain && onMainThread();
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                running.fetch_sub(1);
            });
            // Returned only after its own target has run.
            EXPECT_EQ(target.runs, before + 1);
        }
        ++finished;
    };
    std::thread a(caller, std::ref(first));
    std::thread b(caller, std::ref(second));
    const bool done = wait_until::pumping([&] { return finished == 2; });
    a.join();
    b.join();

    ASSERT_TRUE(done);
    EXPECT_FALSE(overlapped);
    EXPECT_EQ(first.runs, CallsPerThread);
    EXPECT_EQ(second.runs, CallsPerThread);
    EXPECT_TRUE(first.onMain);
    EXPECT_TRUE(second.onMain);
}

TEST_F(ThreadSynch, ALongTargetDoesNotKeepTheNextCallerFromStoringItsTarget)
{
    TThreadSynch synch;
    Timeline timeline;
    std::atomic<bool> firstStarted{false};
    std::atomic<int> finished{0};

    std::thread slow([&] {
        synch.SafeSync(std::this_thread::get_id(), [&] {
            timeline.add("first starts");
            firstStarted = true;
            // Still running while the second caller stores its target.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!synch.targetPending() && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            timeline.add(synch.targetPending() ? "second stored" : "second not stored");
            timeline.add("first ends");
        });
        ++finished;
    });
    std::thread next([&] {
        while (!firstStarted)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        synch.SafeSync(std::this_thread::get_id(), [&] { timeline.add("second runs"); });
        ++finished;
    });
    const bool done = wait_until::pumping([&] { return finished == 2; }, 10000);
    slow.join();
    next.join();

    ASSERT_TRUE(done);
    EXPECT_EQ(timeline.events(),
              std::vector<std::string>({"first starts", "second stored", "first ends", "second runs"}));
}

TEST_F(ThreadSynch, OnTheMainThreadRunsAtOnce)
{
    TThreadSynch synch;
    bool ran = false;
    synch.SafeSync(std::this_thread::get_id(), [&ran] { ran = onMainThread(); });
    EXPECT_TRUE(ran);
    EXPECT_FALSE(synch.runPending());
}

TEST_F(ThreadSynch, AnErrorInTheTargetReachesTheCaller)
{
    TThreadSynch synch;
    std::atomic<bool> caught{false};
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try {
            synch.SafeSync(std::this_thread::get_id(), [] { throw std::runtime_error("target failed"); });
        } catch (const std::runtime_error &error) {
            caught = std::string(error.what()) == "target failed";
        }
        finished = true;
    });
    const bool done = wait_until::pumping([&] { return finished.load(); });
    worker.join();
    ASSERT_TRUE(done);
    EXPECT_TRUE(caught);
    // The slot is free again.
    std::atomic<bool> againRan{false};
    std::thread again([&] { synch.SafeSync(std::this_thread::get_id(), [&againRan] { againRan = true; }); });
    EXPECT_TRUE(wait_until::pumping([&] { return againRan.load(); }));
    again.join();
}

TEST_F(ThreadSynch, AMainThreadWaitingForTheCallerCanServeIt)
{
    TThreadSynch synch;
    std::atomic<bool> ran{false};
    std::thread worker([&] { synch.SafeSync(std::this_thread::get_id(), [&ran] { ran = onMainThread(); }); });
    // No event loop here: the main thread serves the stored target itself.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!synch.runPending() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    worker.join();
    EXPECT_TRUE(ran);
    // The queued call finds nothing left to do.
    QCoreApplication::processEvents();
    EXPECT_FALSE(synch.targetPending());
}

TEST_F(ThreadSynch, ACallerWithdrawnWhileTheApplicationClosesDownFreesTheSlot)
{
    TThreadSynch synch;
    std::atomic<bool> ran{false};
    std::atomic<int> result{-1};
    std::thread worker([&] { result = synch.SafeSync(std::this_thread::get_id(), [&ran] { ran = true; }) ? 1 : 0; });
    ASSERT_TRUE(wait_until::without_pumping([&] { return synch.targetPending(); }));
    fApp.reset();
    worker.join();
    EXPECT_EQ(result, 0) << "told that it did not run";
    EXPECT_FALSE(ran);
    EXPECT_FALSE(synch.targetPending());

    SetUp();
    std::thread next([&] { result = synch.SafeSync(std::this_thread::get_id(), [&ran] { ran = onMainThread(); }) ? 1 : 0; });
    EXPECT_TRUE(wait_until::pumping([&] { return ran.load(); })) << "the slot is free again";
    next.join();
    EXPECT_EQ(result, 1);
}

TEST_F(ThreadSynch, GetInstanceKeepsOneUntilReleased)
{
    TThreadSynch *synch = TThreadSynch::getInstance();
    EXPECT_EQ(TThreadSynch::getInstance(), synch);
    TThreadSynch::release();
    TThreadSynch *renewed = TThreadSynch::getInstance();
    std::atomic<bool> ran{false};
    std::thread worker([&] {
        EXPECT_EQ(TThreadSynch::getInstance(), renewed);
        renewed->SafeSync(std::this_thread::get_id(), [&] { ran = onMainThread(); });
    });
    EXPECT_TRUE(wait_until::pumping([&] { return ran.load(); }));
    worker.join();
    TThreadSynch::release();
}

} // namespace
