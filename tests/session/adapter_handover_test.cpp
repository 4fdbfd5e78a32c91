// The start timers' hand-over of the adapter: the last request wins, nobody is handed it while
// somebody holds it, and closing ends all hand-overs.
#include "session/adapter_handover.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <string>

namespace {

class AdapterHandover : public ::testing::Test
{
protected:
    QTimer scan, meas, readdress;
    bool worker = false;
    TAdapterHandover handover{scan, meas, readdress, [this] { return worker; }};

    // Fresh timers, then the steps: 's', 'm', 'r' arm that timer, 'c' closes.
    void run(TAdapterHandover &h, const std::string &steps)
    {
        for (QTimer *t : {&scan, &meas, &readdress})
            t->stop();
        for (char step : steps) {
            switch (step) {
            case 's': h.arm(scan); break;
            case 'm': h.arm(meas); break;
            case 'r': h.arm(readdress); break;
            default: h.close(); break;
            }
        }
    }
    std::string active() const
    {
        return std::string(scan.isActive() ? "s" : "") + (meas.isActive() ? "m" : "") +
               (readdress.isActive() ? "r" : "");
    }
};

TEST_F(AdapterHandover, TheLastRequestWinsAndClosingEndsThemAll)
{
    const struct {
        const char *steps;
        const char *active;
    } cases[] = {
        {"s", "s"}, {"sm", "m"}, {"smr", "r"}, {"rs", "s"}, {"mm", "m"}, {"mrm", "m"},
        {"mc", ""}, {"cs", ""},  {"rcm", ""},
    };
    for (const auto &c : cases) {
        TAdapterHandover fresh{scan, meas, readdress, [this] { return worker; }};
        run(fresh, c.steps);
        EXPECT_EQ(active(), c.active) << c.steps;
    }
}

TEST_F(AdapterHandover, ClaimedAndAvailable)
{
    const struct {
        const char *name;
        bool worker;
        bool readdressing;
        const char *steps;
        bool claimed;
        bool available;
    } cases[] = {
        {"nobody", false, false, "", false, true},
        // A scan waits for the adapter only when nobody else wants it.
        {"scan requested", false, false, "s", false, true},
        {"measurement requested", false, false, "m", true, true},
        {"re-addressing requested", false, false, "r", true, true},
        {"worker exists", true, false, "", true, false},
        {"re-addressing", false, true, "", true, false},
        {"closing", false, false, "c", true, false},
    };
    for (const auto &c : cases) {
        worker = c.worker;
        TAdapterHandover fresh{scan, meas, readdress, [this] { return worker; }};
        fresh.set_readdressing(c.readdressing);
        run(fresh, c.steps);
        EXPECT_EQ(fresh.claimed(), c.claimed) << c.name;
        EXPECT_EQ(fresh.available(), c.available) << c.name;
        EXPECT_EQ(fresh.worker_exists(), c.worker) << c.name;
    }
}

TEST_F(AdapterHandover, ClosingWaitsForTheWorkersWhileServingEvents)
{
    run(handover, "m");
    worker = true;
    int stops = 0;
    // The worker goes only when the main thread serves its last call.
    const bool ended = handover.close_and_wait(
        [&] {
            ++stops;
            QTimer::singleShot(30, [this] { worker = false; });
        },
        5000);
    EXPECT_TRUE(ended);
    EXPECT_EQ(stops, 1);
    EXPECT_EQ(active(), "");
    EXPECT_TRUE(handover.closing());
    handover.arm(scan);
    EXPECT_EQ(active(), "");
}

TEST_F(AdapterHandover, ClosingGivesUpOnAWorkerThatDoesNotEnd)
{
    worker = true;
    EXPECT_FALSE(handover.close_and_wait([] {}, 50));
}

} // namespace
