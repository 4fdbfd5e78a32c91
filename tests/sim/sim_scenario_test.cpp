// Scenario files: the example shipped with the simulator, the encoded words,
// and the messages for files that cannot be used.
#include "sim_bus.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace zorbit_test {
namespace {

using SimScenario = SimBusTest;

TEST_F(SimScenario, ExampleScenarioBuildsItsBus) {
    std::string error;
    ASSERT_TRUE(sim.start(IOWSIM_DEMO_SCENARIO, &error)) << error;
    open();
    ASSERT_EQ(sim.iowsim_transmitter_count(), 5);
    EXPECT_EQ(scan(), (std::vector<int>{0x00, 0x28, 0x30, 0x40})) << "the flaky one is not inserted yet";
    EXPECT_EQ(word(0x40, 0x20), 0x4000) << "gauge: one change left";
    EXPECT_EQ(word(0x00, 0x20), 0x6000) << "zero: none left";
    ASSERT_TRUE(sim.iowsim_set_fault(4, IOWSIM_FAULT_REMOVED, 0));
    EXPECT_EQ(i2cWrite(0x51, {0xAC}), 0x80) << "flaky: measurement refused";
    EXPECT_EQ(word(0x51, 0x20), 0x8000) << "flaky: data corrected";

    i2cWrite(0x40, {0xAC});
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(i2cRead(0x40, 5), (Bytes{0x05, 0x40, 0x60, 0x00, 0x48, 0x00})) << "gauge: fixed measurement";
}

TEST_F(SimScenario, IdentityKeysAreEncodedIntoTheWords) {
    ASSERT_TRUE(restart("[transmitter.t]\naddress = 0x28\nrange = -1 10\nmode = PAA\ndate = 31.12.2041\n"
                        "product = F65535E63P1023\n"));
    EXPECT_EQ(word(kMainAddress, 0x00), 0xFFFF);
    EXPECT_EQ(word(kMainAddress, 0x01), 0xFFFF);
    EXPECT_EQ(word(kMainAddress, 0x12), 31 << 11 | 12 << 7 | 31 << 2 | 2);
    EXPECT_EQ(word(kMainAddress, 0x13), 0xBF80);
    EXPECT_EQ(word(kMainAddress, 0x14), 0x0000);
    EXPECT_EQ(word(kMainAddress, 0x15), 0x4120);
}

TEST_F(SimScenario, WordsGiveTheWholePage) {
    std::string words;
    for (int w = 0; w < 0x17; ++w) {
        char hex[8];
        std::snprintf(hex, sizeof hex, " %04X", w == 2 ? 0x15 : 0x1000 + w);
        words += hex;
    }
    ASSERT_TRUE(restart("[transmitter.t]\nwords =" + words + "\nchecksum = 0x1234\npage = 1\n"));
    EXPECT_EQ(scan(), std::vector<int>{0x15});
    EXPECT_EQ(word(0x15, 0x16), 0x1016);
    EXPECT_EQ(word(0x15, 0x17), 0x1234);
    EXPECT_EQ(status(0x15), 0x44) << "a checksum that does not match";
    EXPECT_EQ(page(0, 0)[0x16], 0x1016) << "earlier pages hold the same image";
}

TEST_F(SimScenario, UnusableFilesAreRefusedWithTheLine) {
    struct Case {
        const char *text, *message;
    } const cases[] = {
        {"[adapter]\nlatency = 3\n", ":2: latency is not a key"},
        {"[transmitter.a]\naddress = 0x80\n", ":2: address expects a number from 0 to 127"},
        {"[transmitter.a]\nmode = XX\n", ":2: mode expects PR, PA or PAA"},
        {"[transmitter.a]\ndate = 1.1.2009\n", ":2: date expects"},
        {"[transmitter.a]\nproduct = F1E2\n", ":2: product expects"},
        {"[transmitter.a]\nwords = 1 2 3\n", ":2: words expects 23 words"},
        {"[transmitter.a]\n[transmitter.a]\n", ":2: transmitter named twice"},
        {"[bus]\n", ":1: unknown section [bus]"},
        {"address = 1\n", ":1: key outside a section"},
        {"[adapter]\nsupply_pin = 7.0\n", ":2: supply_pin expects port.bit"},
        {"[adapter]\nplugged = maybe\n", ":2: plugged expects true or false"},
        {"[adapter]\nlate_answer = 0 100\n", ":2: late_answer expects none or <request number>"},
        {"[adapter]\nlate_answer = 3\n", ":2: late_answer expects none or <request number>"},
        {"[adapter]\nclose_descriptor_zero = 2\n", ":2: close_descriptor_zero expects true or false"},
        {"[adapter]\nserial = a.b\n", ":2: serial expects 1 to 8 letters, digits"},
        {"[adapter]\nserial = 0000000AA\n", ":2: serial expects 1 to 8"},
        {"[adapter.b]\n", ":1: serial 0000C0DE is another adapter's already"},
        {"[adapter]\nserial = A1\n[adapter.b]\nserial = B1\n[adapter.c]\nserial = A1\n",
         ":5: serial A1 is another adapter's already"},
        {"[adapter.b]\nserial = B\n[transmitter.a]\n[transmitter.a]\n", ":4: transmitter named twice"},
        {"[adapter.b]\nproduct_id = 0x10000\n", ":2: product_id expects a number"},
    };
    for (const Case &c : cases) {
        const std::string path = sim.writeFile("bad.ini", c.text);
        char error[256] = {};
        EXPECT_FALSE(sim.iowsim_load_scenario(path.c_str(), nullptr, error, sizeof error)) << c.text;
        EXPECT_NE(std::string(error).find(c.message), std::string::npos) << error;
        EXPECT_EQ(std::string(error).rfind(path, 0), 0U) << "names the file: " << error;
    }
    EXPECT_EQ(sim.IowKitGetProductId(handle), 0x1503UL) << "the running simulation is kept";
    char error[256] = {};
    EXPECT_FALSE(sim.iowsim_load_scenario("/nonexistent.ini", nullptr, error, sizeof error));
    EXPECT_NE(std::string(error).find("cannot be opened"), std::string::npos);
}

}  // namespace
}  // namespace zorbit_test
