#include "transmitter/OrvelHandler.h"
#include "session/measure_Thread.h"
#include "qt_printers.h"
#include "session/scan_Thread.h"
#include "sim_control.h"
#include "wait_until.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

// Records every window operation, checking that it runs on the main thread.
class FakeGui : public QObject, public TWorkerGui
{
public:
    QStringList calls;
    int commErrors = 0;
    bool offMainThread = false;
    QString errorMessage;

    void disable_meas() override { record("disable_meas"); }
    void enable_meas() override { record("enable_meas"); }
    void disable_readdress() override { record("disable_readdress"); }
    void enable_readdress() override { record("enable_readdress"); }
    void disable_scan() override { record("disable_scan"); }
    void enable_scan() override { record("enable_scan"); }
    void show_slaveAddr() override { record("show_slaveAddr"); }
    void update_status_Gui() override { record("update_status_Gui"); }
    void show_pressure_scaling() override { record("show_pressure_scaling"); }
    void memory_map_display() override { record("memory_map_display"); }
    void show_scan_error() override { record("show_scan_error"); }
    void update_single_meas() override { record("update_single_meas"); }
    void updateGui_meas(const session::Measurement &) override { record("updateGui_meas"); }
    void updateGui(const QString &message) override
    {
        record("updateGui");
        errorMessage = message;
    }

    bool event(QEvent *e) override
    {
        if (e->type() == TWindowMessage::EventType) {
            const auto *m = static_cast<TWindowMessage *>(e);
            if (m->msg == TWindowMessage::WM_COMM_ERROR && m->wParam == 0)
                ++commErrors;
            return true;
        }
        return QObject::event(e);
    }
    int count(const char *name) const { return int(calls.count(QString::fromLatin1(name))); }

private:
    void record(const char *name)
    {
        if (QThread::currentThread() != QCoreApplication::instance()->thread())
            offMainThread = true;
        calls.append(QString::fromLatin1(name));
    }
};

// Ends with an error, to show the error path that both workers share.
class FailingWorker : public TWorkerThread
{
public:
    FailingWorker(QObject *hWnd, TWorkerGui *gui, T_Orvel_Handler *const *handler)
        : TWorkerThread(hWnd, gui, handler, 10)
    {
    }

private:
    void cycles() override { throw std::runtime_error("boom"); }
    THandOver handOver() const override
    {
        return {{&TWorkerGui::disable_scan, &TWorkerGui::disable_meas}, {&TWorkerGui::enable_scan, &TWorkerGui::enable_meas}};
    }
};

class Workers : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.loaded()) << sim.error();
        ASSERT_TRUE(sim.start());
        handler = std::make_unique<T_Orvel_Handler>(nullptr);
        handlerRef = handler.get();
    }
    void TearDown() override
    {
        for (QThread *w : {static_cast<QThread *>(scan.data()), static_cast<QThread *>(meas.data())})
            if (w)
                static_cast<TWorkerThread *>(w)->Stop();
        EXPECT_TRUE(wait_until::pumping([this] { return !scan && !meas; }));
    }

    zorbit_test::SimControl sim;
    std::unique_ptr<T_Orvel_Handler> handler;
    T_Orvel_Handler *handlerRef = nullptr;
    FakeGui gui;
    QPointer<TScanThread> scan;
    QPointer<TMeasThread> meas;
};

} // namespace

TEST_F(Workers, ScanInitialisesOnceThenReadsEveryCycleAndEndsWithItsFlags)
{
    scan = TScanThread::Create(&gui, &gui, &handlerRef, 20);
    ASSERT_TRUE(wait_until::pumping([&] { return gui.count("update_single_meas") >= 3; }));
    EXPECT_TRUE(scan->scan_activ());
    scan->Stop();
    ASSERT_TRUE(wait_until::pumping([&] { return scan.isNull(); })) << "the worker deletes itself";

    const QStringList first = gui.calls.mid(0, 8);
    EXPECT_EQ(first, (QStringList{"disable_meas", "disable_readdress", "show_slaveAddr", "update_status_Gui",
                                  "show_pressure_scaling", "update_status_Gui", "memory_map_display",
                                  "update_single_meas"}));
    EXPECT_EQ(gui.count("show_slaveAddr"), 1) << "initialised once per connection";
    EXPECT_EQ(gui.calls.mid(gui.calls.size() - 2), (QStringList{"enable_meas", "enable_readdress"}));
    EXPECT_EQ(gui.count("show_scan_error"), 0);
    EXPECT_FALSE(gui.offMainThread);
}

TEST_F(Workers, ScanWithoutAdapterEmptiesThePanelEveryCycleAndReconnects)
{
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 1));
    scan = TScanThread::Create(&gui, &gui, &handlerRef, 20);
    ASSERT_TRUE(wait_until::pumping([&] { return gui.count("show_scan_error") >= 2; }));
    EXPECT_EQ(gui.count("show_slaveAddr"), 0);
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 0));
    EXPECT_TRUE(wait_until::pumping([&] { return gui.count("update_single_meas") >= 1; })) << "found again without user action";
}

TEST_F(Workers, StoppedBeforeTheFirstCycleStillSetsItsFlags)
{
    scan = TScanThread::Create(&gui, &gui, &handlerRef, 500);
    scan->Stop();
    ASSERT_TRUE(wait_until::pumping([&] { return scan.isNull(); }));
    EXPECT_TRUE(gui.calls.contains("enable_meas"));
    EXPECT_EQ(gui.calls.mid(gui.calls.size() - 2), (QStringList{"enable_meas", "enable_readdress"}));
}

TEST_F(Workers, MeasurementRecoversAfterTheTransmitterCameBack)
{
    ASSERT_TRUE(handler->detect_dongle());
    ASSERT_TRUE(handler->enable_IIC());
    ASSERT_TRUE(handler->get_slave_address());
    meas = TMeasThread::Create(&gui, &gui, &handlerRef, 10);
    ASSERT_TRUE(wait_until::pumping([&] { return gui.count("updateGui_meas") >= 3; }));
    EXPECT_EQ(gui.calls.mid(0, 2), (QStringList{"disable_readdress", "disable_scan"}));

    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_REMOVED, 1));
    ASSERT_TRUE(wait_until::pumping([&] { return gui.commErrors >= 2; })) << "a notice for every failed measurement";
    const int shownBefore = gui.count("updateGui_meas");
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_REMOVED, 0));
    EXPECT_TRUE(wait_until::pumping([&] { return gui.count("updateGui_meas") > shownBefore + 2; }));
    EXPECT_GE(gui.count("show_slaveAddr"), 1);

    meas->Stop();
    ASSERT_TRUE(wait_until::pumping([&] { return meas.isNull(); }));
    EXPECT_EQ(gui.calls.mid(gui.calls.size() - 2), (QStringList{"enable_readdress", "enable_scan"}));
    EXPECT_FALSE(gui.offMainThread);
}

TEST_F(Workers, MeasurementPaceFollowsTheDelay)
{
    ASSERT_TRUE(handler->detect_dongle());
    ASSERT_TRUE(handler->enable_IIC());
    ASSERT_TRUE(handler->get_slave_address());
    meas = TMeasThread::Create(&gui, &gui, &handlerRef, 10);
    ASSERT_TRUE(wait_until::pumping([&] { return gui.count("updateGui_meas") >= 5; }));
    meas->Set_delay(60000);
    EXPECT_EQ(meas->Get_delay(), 60000u);
    QTest::qWait(300);
    const int settled = gui.count("updateGui_meas");
    QTest::qWait(600);
    EXPECT_LE(gui.count("updateGui_meas"), settled + 1) << "the long wait applies from the next cycle";
    meas->Stop();
    EXPECT_TRUE(wait_until::pumping([&] { return meas.isNull(); }, 2000)) << "stopping ends the wait at once";
}

TEST_F(Workers, ABusyWindowDoesNotHoldUpTheRun)
{
    ASSERT_TRUE(handler->detect_dongle());
    ASSERT_TRUE(handler->enable_IIC());
    ASSERT_TRUE(handler->get_slave_address());
    meas = TMeasThread::Create(&gui, &gui, &handlerRef, 10);
    ASSERT_TRUE(wait_until::pumping([&] { return gui.count("updateGui_meas") >= 1; }));
    const int before = gui.count("updateGui_meas");
    // The main thread does something else for a while and serves nothing.
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    QCoreApplication::processEvents();
    EXPECT_GE(gui.count("updateGui_meas"), before + 5) << "measured on while the window was busy";
    meas->Stop();
    ASSERT_TRUE(wait_until::pumping([&] { return meas.isNull(); }));
    EXPECT_FALSE(gui.offMainThread);
}

TEST_F(Workers, AnErrorEndsTheWorkerWithItsMessage)
{
    QPointer<FailingWorker> worker(new FailingWorker(&gui, &gui, &handlerRef));
    worker->start();
    ASSERT_TRUE(wait_until::pumping([&] { return worker.isNull(); }));
    EXPECT_EQ(gui.calls, (QStringList{"disable_scan", "disable_meas", "updateGui", "enable_scan", "enable_meas"}));
    EXPECT_EQ(gui.errorMessage, QStringLiteral("Error Measure Thread:std::runtime_error -> boom"));
}

TEST_F(Workers, WithoutAWindowNothingIsCalled)
{
    scan = TScanThread::Create(nullptr, nullptr, &handlerRef, 10);
    QTest::qWait(200);
    scan->Stop();
    ASSERT_TRUE(wait_until::pumping([&] { return scan.isNull(); }));
    EXPECT_TRUE(gui.calls.isEmpty());
}

TEST_F(Workers, AWorkerWhoseWindowGoesEndsWithoutItsWaitingCall)
{
    auto window = std::make_unique<QObject>();
    scan = TScanThread::Create(window.get(), &gui, &handlerRef, 10);
    // Its first synchronised call waits: this thread serves no events yet.
    ASSERT_TRUE(wait_until::without_pumping([&] { return scan->scan_activ(); }));
    window.reset();
    ASSERT_TRUE(wait_until::pumping([&] { return scan.isNull(); })) << "no Stop needed";
    EXPECT_TRUE(gui.calls.isEmpty()) << gui.calls.join(u' ').toStdString();
}
