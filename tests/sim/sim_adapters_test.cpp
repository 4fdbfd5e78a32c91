// Several IO-Warriors attached at once, as the maker's library sees them: opening takes them
// all and hands out the first, each handle has its own identity and bus, closing closes all,
// and the state file keeps each adapter's transmitters apart.
#include "sim_bus.h"

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

namespace zorbit_test {
namespace {

using std::chrono::milliseconds;

// Three adapters; the same transmitter name on two buses. The third is unplugged.
constexpr const char *kThree =
    "[adapter]\nserial = 0000AAAA\n[transmitter.main]\naddress = 0x28\n"
    "[adapter.second]\nserial = 0000BBBB\nproduct_id = 0x1500\n"
    "[transmitter.main]\naddress = 0x28\n[transmitter.gauge]\naddress = 0x40\n"
    "[adapter.third]\nserial = 0000CCCC\nplugged = false\n[transmitter.t]\naddress = 0x11\n";

// Two IO-Warrior 56, each with a transmitter called main, at different addresses.
constexpr const char *kTwo =
    "[adapter]\nserial = 0000AAAA\n[transmitter.main]\naddress = 0x28\n"
    "[adapter.second]\nserial = 0000BBBB\n[transmitter.main]\naddress = 0x30\n";

class SimAdapters : public SimBusTest {
public:
    std::string serialOf(IOWKIT_HANDLE h) {
        unsigned short units[IOWKIT_SERIAL_NUMBER_UNITS] = {};
        if (!sim.IowKitGetSerialNumber(h, units)) return "<none>";
        std::string text;
        for (int i = 0; units[i] != 0; ++i) text += static_cast<char>(units[i]);
        return text;
    }
    // Talks to the n-th open adapter from now on, with its I2C function on.
    void use(unsigned long n) {
        handle = sim.IowKitGetDeviceHandle(n);
        ASSERT_NE(handle, nullptr) << n;
        sim.IowKitSetTimeout(handle, 100);
        setI2c(true);
    }
    iowsim_transmitter_info transmitterAt(int adapter, int index) {
        iowsim_transmitter_info info{};
        EXPECT_EQ(sim.iowsim_get_transmitter_at(adapter, index, &info), 1) << adapter << "/" << index;
        return info;
    }
    std::string stateText() {
        std::ifstream in(sim.statePath());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(SimAdapters, OpeningTakesEveryPluggedAdapterAndHandsOutTheFirst) {
    ASSERT_TRUE(restart(kThree));
    EXPECT_EQ(sim.iowsim_adapter_count(), 3);
    EXPECT_EQ(sim.IowKitGetNumDevs(), 2UL) << "the unplugged one is not opened";
    struct Case {
        unsigned long n;
        const char *serial;
        unsigned long product_id;
    } const cases[] = {{1, "0000AAAA", 0x1503}, {2, "0000BBBB", 0x1500}};
    std::vector<IOWKIT_HANDLE> handles;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.n);
        const IOWKIT_HANDLE h = sim.IowKitGetDeviceHandle(c.n);
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(serialOf(h), c.serial);
        EXPECT_EQ(sim.IowKitGetProductId(h), c.product_id);
        for (IOWKIT_HANDLE other : handles) EXPECT_NE(h, other) << "each adapter has its own handle";
        handles.push_back(h);
    }
    EXPECT_EQ(handles.front(), handle) << "the open hands out the first";
    for (unsigned long n : {0UL, 3UL, 17UL}) EXPECT_EQ(sim.IowKitGetDeviceHandle(n), nullptr) << n;

    EXPECT_EQ(sim.iowsim_adapter_index("0000CCCC"), 2);
    EXPECT_EQ(sim.iowsim_adapter_index("0000DDDD"), -1);
    iowsim_adapter_info info{};
    ASSERT_TRUE(sim.iowsim_get_adapter_at(2, &info));
    EXPECT_EQ(std::string(info.serial), "0000CCCC");
    EXPECT_FALSE(info.open);
    EXPECT_FALSE(sim.iowsim_get_adapter_at(3, &info));

    ASSERT_TRUE(sim.iowsim_set_fault_at(2, -1, IOWSIM_FAULT_UNPLUGGED, 0));
    handle = sim.IowKitOpenDevice();
    EXPECT_EQ(sim.IowKitGetNumDevs(), 3UL) << "plugged in, it is opened with the others";
    EXPECT_EQ(serialOf(sim.IowKitGetDeviceHandle(3)), "0000CCCC");
}

TEST_F(SimAdapters, ExampleOfTwoAdaptersBuildsBothBuses) {
    std::string error;
    ASSERT_TRUE(sim.start(IOWSIM_TWO_ADAPTERS_SCENARIO, &error)) << error;
    open();
    EXPECT_EQ(sim.IowKitGetNumDevs(), 2UL);
    EXPECT_EQ(serialOf(handle), "0000C0DE");
    EXPECT_EQ(scan(), std::vector<int>{0x28});
    ASSERT_NO_FATAL_FAILURE(use(2));
    EXPECT_EQ(serialOf(handle), "0000BEEF");
    EXPECT_EQ(scan(), (std::vector<int>{0x28, 0x40}));
}

TEST_F(SimAdapters, WithTheFirstUnpluggedTheOpenHandsOutTheNext) {
    ASSERT_TRUE(restart(kTwo));
    ASSERT_TRUE(sim.iowsim_set_fault_at(0, -1, IOWSIM_FAULT_UNPLUGGED, 1));
    EXPECT_EQ(sim.IowKitGetNumDevs(), 1UL) << "an unplugged adapter is no longer counted";
    EXPECT_EQ(serialOf(sim.IowKitGetDeviceHandle(1)), "0000BBBB");
    const IOWKIT_HANDLE opened = sim.IowKitOpenDevice();
    EXPECT_EQ(serialOf(opened), "0000BBBB");
    ASSERT_TRUE(sim.iowsim_set_fault_at(1, -1, IOWSIM_FAULT_UNPLUGGED, 1));
    EXPECT_EQ(sim.IowKitOpenDevice(), nullptr) << "none attached";
    EXPECT_EQ(sim.IowKitGetNumDevs(), 0UL);
}

TEST_F(SimAdapters, EachAdapterHasItsOwnBus) {
    ASSERT_TRUE(restart(kThree));
    EXPECT_EQ(scan(), std::vector<int>{0x28});
    for (const iowsim_report &r : sim.takeTraffic()) ASSERT_EQ(r.adapter, 0);
    ASSERT_NO_FATAL_FAILURE(use(2));
    EXPECT_EQ(scan(), (std::vector<int>{0x28, 0x40}));
    for (const iowsim_report &r : sim.takeTraffic()) ASSERT_EQ(r.adapter, 1) << "the record names the adapter";

    // Re-addressing main on the second bus leaves the first bus's main alone.
    ASSERT_NO_FATAL_FAILURE(rewrite(0x28, 0x31));
    powerCycle();
    EXPECT_EQ(scan(), (std::vector<int>{0x31, 0x40}));
    EXPECT_EQ(transmitterAt(1, 0).current_page, 1);
    EXPECT_EQ(transmitterAt(0, 0).address, 0x28);
    EXPECT_EQ(transmitterAt(0, 0).current_page, 0);

    // Supply pins and faults are the adapter's own.
    setSupply(false);
    EXPECT_FALSE(transmitterAt(1, 0).powered);
    EXPECT_TRUE(transmitterAt(0, 0).powered);
    ASSERT_TRUE(sim.iowsim_set_fault_at(1, 1, IOWSIM_FAULT_NACK_ALL, 1));
    EXPECT_FALSE(sim.iowsim_set_fault_at(1, 2, IOWSIM_FAULT_NACK_ALL, 1)) << "the second bus has two";
    EXPECT_FALSE(sim.iowsim_set_fault_at(3, 0, IOWSIM_FAULT_NACK_ALL, 1)) << "no fourth adapter";
    EXPECT_EQ(sim.iowsim_transmitter_count_at(1), 2);
    EXPECT_EQ(sim.iowsim_transmitter_count_at(3), -1);
    EXPECT_EQ(sim.iowsim_transmitter_count(), 1) << "without an index: the first adapter";
}

TEST_F(SimAdapters, ClosingAnyOfThemClosesThemAll) {
    ASSERT_TRUE(restart(kTwo));
    const IOWKIT_HANDLE first = handle;
    const IOWKIT_HANDLE second = sim.IowKitGetDeviceHandle(2);
    int foreign = 0;
    sim.IowKitCloseDevice(&foreign);
    EXPECT_EQ(sim.IowKitGetNumDevs(), 2UL) << "a foreign handle closes nothing";

    sim.IowKitCloseDevice(second);
    EXPECT_EQ(sim.IowKitGetNumDevs(), 0UL);
    char report[64] = {0x01, 0x01};
    for (IOWKIT_HANDLE h : {first, second}) {
        EXPECT_EQ(sim.IowKitWrite(h, 1, report, 64), 0UL);
        EXPECT_EQ(sim.IowKitGetProductId(h), 0UL);
    }
    EXPECT_EQ(sim.IowKitOpenDevice(), first) << "the handles stay the same";
    EXPECT_EQ(sim.IowKitGetDeviceHandle(2), second);
}

TEST_F(SimAdapters, AnUnpluggedAdapterEndsOnlyItsOwnWaitingRead) {
    ASSERT_TRUE(restart(kTwo));
    sim.IowKitSetTimeout(handle, 400);
    auto reader = std::async(std::launch::async, [this] {
        const auto start = std::chrono::steady_clock::now();
        readReport(1);
        return std::chrono::steady_clock::now() - start;
    });
    std::this_thread::sleep_for(milliseconds(50));
    ASSERT_TRUE(sim.iowsim_set_fault_at(1, -1, IOWSIM_FAULT_UNPLUGGED, 1));
    EXPECT_GE(reader.get(), milliseconds(380)) << "the first adapter's read runs to its timeout";
}

TEST_F(SimAdapters, StateFileKeepsEachAdaptersTransmittersApart) {
    ASSERT_TRUE(restart(kTwo));
    ASSERT_NO_FATAL_FAILURE(use(2));
    ASSERT_NO_FATAL_FAILURE(rewrite(0x30, 0x41));
    const std::string text = stateText();
    EXPECT_NE(text.find("[transmitter.main]"), std::string::npos) << text;
    EXPECT_NE(text.find("[adapter.0000BBBB.transmitter.main]\ncurrent_page = 1"), std::string::npos) << text;

    ASSERT_TRUE(restart(kTwo));
    EXPECT_EQ(transmitterAt(1, 0).address, 0x41) << "the second adapter's transmitter kept its new address";
    EXPECT_EQ(transmitterAt(0, 0).address, 0x28) << "its namesake on the first adapter did not take it";
    EXPECT_EQ(transmitterAt(0, 0).current_page, 0);

    // The second adapter's serial keys its memory: under another serial it starts afresh.
    std::string renamed = kTwo;
    renamed.replace(renamed.find("0000BBBB"), 8, "0000BBBC");
    const std::string path = sim.writeFile("scenario.ini", renamed);
    ASSERT_TRUE(sim.start(path));
    EXPECT_EQ(transmitterAt(1, 0).address, 0x30);
}

TEST_F(SimAdapters, AStateFileOfOneAdapterStillLoads) {
    // As a simulation of one adapter wrote it before there could be several.
    std::string page0 = "1C38 04D2 0028", page1 = "1C38 04D2 0041";
    for (int w = 3; w < 24; ++w) {
        page0 += " 0000";
        page1 += " 0000";
    }
    sim.writeFile("state.ini", "; Memory of the simulated transmitters.\n[state]\nscenario = default\n\n"
                               "[transmitter.main]\ncurrent_page = 1\npage0 = " +
                                   page0 + "\npage1 = " + page1 + "\npage2 = " + page0 + "\npage3 = " + page0 + "\n");
    ASSERT_TRUE(restart());
    EXPECT_EQ(transmitter(0).address, 0x41);
    EXPECT_EQ(transmitter(0).current_page, 1);
    EXPECT_EQ(page(0, 1)[0x01], 0x04D2);
}

}  // namespace
}  // namespace zorbit_test
