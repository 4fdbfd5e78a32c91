// Blocking calls onto the main thread: where they run, what comes back, and when they are
// withdrawn instead.
#include "services/utils/main_thread_call.h"
#include "wait_until.h"

#include <QCoreApplication>
#include <QObject>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>
#include <string>
#include <thread>

using main_thread_call::Gate;
using main_thread_call::Outcome;

namespace {

bool onMainThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// Each test owns its application, so that one can end it under a waiting caller.
class MainThreadCall : public ::testing::Test
{
protected:
    void SetUp() override { fApp = std::make_unique<QCoreApplication>(fArgc, fArgv); }
    void TearDown() override { fApp.reset(); }

    // What a caller on a thread of its own got back.
    struct Caller {
        std::atomic<bool> returned{false};
        std::atomic<bool> ran{false};
        std::atomic<bool> ranOnMain{false};
        Outcome outcome = Outcome::Withdrawn;
        std::string error;
        std::thread thread;

        void start(Gate &gate, std::function<void()> body = {})
        {
            thread = std::thread([this, &gate, body] {
                try {
                    outcome = gate.run([this, body] {
                        ranOnMain = onMainThread();
                        ran = true;
                        if (body)
                            body();
                    });
                } catch (const std::exception &e) {
                    error = e.what();
                }
                returned = true;
            });
        }
        void join()
        {
            if (thread.joinable())
                thread.join();
        }
        ~Caller() { join(); }
    };

    std::unique_ptr<QCoreApplication> fApp;
    int fArgc = 1;
    char fName[32] = "main_thread_call_test";
    char *fArgv[2] = {fName, nullptr};
};

TEST_F(MainThreadCall, RunsOnTheMainThreadAndReturnsAfterItRan)
{
    Gate gate;
    Caller caller;
    caller.start(gate);
    ASSERT_TRUE(wait_until::pumping([&] { return caller.returned.load(); }));
    caller.join();
    EXPECT_EQ(caller.outcome, Outcome::Ran);
    EXPECT_TRUE(caller.ran);
    EXPECT_TRUE(caller.ranOnMain);
    EXPECT_FALSE(gate.pending());
}

TEST_F(MainThreadCall, AnExceptionOfTheCallComesBackToTheCaller)
{
    Gate gate;
    Caller caller;
    caller.start(gate, [] { throw std::runtime_error("call failed"); });
    ASSERT_TRUE(wait_until::pumping([&] { return caller.returned.load(); }));
    caller.join();
    EXPECT_TRUE(caller.ranOnMain);
    EXPECT_EQ(caller.error, "call failed");

    Caller next;
    next.start(gate);
    ASSERT_TRUE(wait_until::pumping([&] { return next.returned.load(); }));
    EXPECT_EQ(next.outcome, Outcome::Ran) << "the gate serves on";
}

TEST_F(MainThreadCall, RunsAtOnceOnTheMainThreadAndWithoutApplication)
{
    Gate gate;
    bool ran = false;
    EXPECT_TRUE(main_thread_call::runsAtOnce());
    EXPECT_EQ(gate.run([&ran] { ran = onMainThread(); }), Outcome::Ran);
    EXPECT_TRUE(ran);
    EXPECT_FALSE(gate.runPending());

    fApp.reset();
    std::thread other([&] {
        EXPECT_TRUE(main_thread_call::runsAtOnce());
        ran = false;
        EXPECT_EQ(gate.run([&ran] { ran = true; }), Outcome::Ran);
    });
    other.join();
    EXPECT_TRUE(ran);
}

TEST_F(MainThreadCall, AMainThreadWaitingForTheCallerCanServeIt)
{
    Gate gate;
    Caller caller;
    caller.start(gate);
    // No event loop here: the main thread serves the waiting call itself.
    ASSERT_TRUE(wait_until::without_pumping([&] { return gate.pending(); }));
    EXPECT_TRUE(gate.runPending());
    caller.join();
    EXPECT_EQ(caller.outcome, Outcome::Ran);
    EXPECT_TRUE(caller.ranOnMain);
    // The queued notice finds nothing left to do.
    QCoreApplication::processEvents();
    EXPECT_FALSE(gate.runPending());
}

TEST_F(MainThreadCall, AWaitingCallIsWithdrawnWhileItsWindowOrTheApplicationGoes)
{
    struct Case {
        const char *name;
        std::function<void(std::unique_ptr<QObject> &owner, std::unique_ptr<Gate> &gate,
                            std::unique_ptr<QCoreApplication> &app)>
            end;
        bool gateStays; // whether later calls can be tried on the same gate
    };
    const Case cases[] = {
        {"the owner is destroyed", [](auto &owner, auto &, auto &) { owner.reset(); }, true},
        {"the gate is closed", [](auto &, auto &gate, auto &) { gate->close(); }, true},
        {"the gate is destroyed", [](auto &, auto &gate, auto &) { gate.reset(); }, false},
        {"the application closes down", [](auto &, auto &, auto &app) { app.reset(); }, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        if (!fApp)
            fApp = std::make_unique<QCoreApplication>(fArgc, fArgv);
        auto owner = std::make_unique<QObject>();
        auto gate = std::make_unique<Gate>(owner.get());
        Caller caller;
        caller.start(*gate);
        ASSERT_TRUE(wait_until::without_pumping([&] { return gate->pending(); }));

        c.end(owner, gate, fApp);
        ASSERT_TRUE(wait_until::without_pumping([&] { return caller.returned.load(); }, 2000));
        caller.join();
        EXPECT_EQ(caller.outcome, Outcome::Withdrawn);
        EXPECT_FALSE(caller.ran);
        if (!c.gateStays)
            continue;
        EXPECT_FALSE(gate->pending());
        Caller later;
        later.start(*gate);
        ASSERT_TRUE(wait_until::without_pumping([&] { return later.returned.load(); }, 2000))
            << "withdrawn at once, without the main thread";
        EXPECT_EQ(later.outcome, Outcome::Withdrawn);
        EXPECT_FALSE(later.ran);
    }
}

TEST_F(MainThreadCall, ACallTakenOverRunsToItsEndEvenIfItsWindowGoesMeanwhile)
{
    auto owner = std::make_unique<QObject>();
    Gate gate(owner.get());
    Caller caller;
    caller.start(gate, [&owner] { owner.reset(); });
    ASSERT_TRUE(wait_until::pumping([&] { return caller.returned.load(); }));
    caller.join();
    EXPECT_EQ(caller.outcome, Outcome::Ran);
    EXPECT_EQ(gate.run([] {}), Outcome::Withdrawn) << "closed from then on, also on the main thread";
}

// Counts the notices posted to it.
class Window : public QObject
{
public:
    static inline const QEvent::Type Notice = QEvent::Type(QEvent::registerEventType());
    int notices = 0;
    bool event(QEvent *e) override
    {
        if (e->type() != Notice)
            return QObject::event(e);
        ++notices;
        return true;
    }
};

TEST_F(MainThreadCall, ANoticeIsPostedToTheOwnerUntilTheGateCloses)
{
    auto window = std::make_unique<Window>();
    Gate gate(window.get());
    bool posted = false;
    std::thread other([&] { posted = gate.post(std::make_unique<QEvent>(Window::Notice)); });
    other.join();
    EXPECT_TRUE(posted);
    EXPECT_EQ(window->notices, 0) << "the poster does not wait";
    ASSERT_TRUE(wait_until::pumping([&] { return window->notices == 1; }));

    window.reset();
    EXPECT_FALSE(gate.post(std::make_unique<QEvent>(Window::Notice)));
    Gate ownerless;
    EXPECT_FALSE(ownerless.post(std::make_unique<QEvent>(Window::Notice)));
}

// A caller of our own, to see which one the services get.
class CountingCaller : public main_thread_call::Caller
{
public:
    Outcome runOnMainThread(main_thread_call::Call call) override
    {
        ++calls;
        call();
        return Outcome::Ran;
    }
    bool runPending() override { return false; }
    int calls = 0;
};

TEST_F(MainThreadCall, ServicesGetTheInstalledCallerOrElseAPlainGate)
{
    const std::shared_ptr<main_thread_call::Caller> plain = main_thread_call::installed();
    ASSERT_NE(plain, nullptr);
    EXPECT_NE(dynamic_cast<Gate *>(plain.get()), nullptr);

    auto own = std::make_shared<CountingCaller>();
    main_thread_call::install(own);
    EXPECT_EQ(main_thread_call::installed(), own);
    EXPECT_EQ(main_thread_call::installed()->runOnMainThread([] {}), Outcome::Ran);
    EXPECT_EQ(own->calls, 1);

    main_thread_call::install(nullptr);
    EXPECT_NE(dynamic_cast<Gate *>(main_thread_call::installed().get()), nullptr);
}

} // namespace

TEST_F(MainThreadCall, PostedCallsRunInOrderWithoutTheirCallerWaitingAndGoWithTheGate)
{
    Gate gate;
    std::vector<int> ran; // main thread only
    std::atomic<bool> posted{false};
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(gate.postCall([&ran, i] { ran.push_back(i); }));
        // Not waited for: all three are queued before the main thread serves any.
        posted = true;
    });
    worker.join();
    ASSERT_TRUE(posted.load());
    EXPECT_TRUE(ran.empty());
    ASSERT_TRUE(wait_until::pumping([&] { return ran.size() == 3; }));
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));

    std::thread late([&] { EXPECT_TRUE(gate.postCall([&ran] { ran.push_back(9); })); });
    late.join();
    gate.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.size(), 3u) << "a call still queued when the gate closes is dropped";
    EXPECT_FALSE(gate.postCall([&ran] { ran.push_back(10); }));
}
