// Every fault of the simulator, raised once by a control call and once by a
// scenario setting, must show on the bus the way the program will meet it.
#include "sim_bus.h"

#include <filesystem>
#include <functional>

namespace zorbit_test {
namespace {

using SimFaults = SimBusTest;

struct FaultCase {
    const char *name;
    iowsim_fault fault;
    int value;
    const char *scenario;  // the same fault as scenario text
    std::function<void(SimBusTest &)> check;
};

void expectProbeRefused(SimBusTest &t) {
    EXPECT_EQ(t.i2cRead(kMainAddress, 2).at(0), 0x80);
}

const FaultCase kFaults[] = {
    {"nack all", IOWSIM_FAULT_NACK_ALL, 1, "[transmitter.t]\nnack = all\n",
     [](SimBusTest &t) {
         EXPECT_EQ(t.i2cRead(kMainAddress, 2).at(0), 0x80);
         EXPECT_EQ(t.i2cWrite(kMainAddress, {0x00}), 0x80);
     }},
    {"nack measurement", IOWSIM_FAULT_NACK_COMMAND, 0xAC, "[transmitter.t]\nnack = 0xAC\n",
     [](SimBusTest &t) {
         EXPECT_EQ(t.i2cWrite(kMainAddress, {0xAC}), 0x80);
         EXPECT_EQ(t.i2cWrite(kMainAddress, {0x00}), 0x00);
         EXPECT_EQ(t.i2cRead(kMainAddress, 3).at(0), 0x03);
     }},
    {"nack the read after Cust_ID0", IOWSIM_FAULT_NACK_READ_AFTER, 0x00, "[transmitter.t]\nnack_read_after = 0x00\n",
     [](SimBusTest &t) {
         EXPECT_EQ(t.i2cWrite(kMainAddress, {0x00}), 0x00);
         EXPECT_EQ(t.i2cRead(kMainAddress, 3).at(0), 0x80);
         EXPECT_EQ(t.i2cWrite(kMainAddress, {0x01}), 0x00);
         EXPECT_EQ(t.i2cRead(kMainAddress, 3).at(0), 0x03);
     }},
    {"refuse switching I2C off", IOWSIM_FAULT_REFUSE_WRITE, 0x0100, "[adapter]\nrefuse_write = 0x0100\n[transmitter.t]\n",
     [](SimBusTest &t) {
         EXPECT_EQ(t.writeReport(1, {0x01, 0x00, 0x81}), 0UL);
         EXPECT_EQ(t.writeReport(1, {0x01, 0x01, 0x81}), 64UL);
     }},
    {"busy for two answers", IOWSIM_FAULT_BUSY_ANSWERS, 2, "[transmitter.t]\nbusy_answers = 2\n",
     [](SimBusTest &t) {
         EXPECT_EQ(t.status(kMainAddress), 0x60);
         EXPECT_EQ(t.status(kMainAddress), 0x60);
         EXPECT_EQ(t.status(kMainAddress), 0x40);
     }},
    {"arbitration lost", IOWSIM_FAULT_ARBITRATION_LOST, 1, "[adapter]\narbitration_lost = true\n[transmitter.t]\n",
     [](SimBusTest &t) {  // the adapter sets bit 6 alone
         EXPECT_EQ(t.i2cWrite(kMainAddress, {0x00}), 0x40);
         EXPECT_EQ(t.i2cRead(kMainAddress, 3).at(0), 0x40);
     }},
    {"hold busy", IOWSIM_FAULT_HOLD_BUSY, 1, "[transmitter.t]\nhold_busy = true\n",
     [](SimBusTest &t) { EXPECT_EQ(t.status(kMainAddress), 0x60); }},
    {"hardware error", IOWSIM_FAULT_HARDWARE_ERROR, 1, "[transmitter.t]\nhardware_error = true\n",
     [](SimBusTest &t) { EXPECT_EQ(t.status(kMainAddress), 0x00); }},
    {"data corrected", IOWSIM_FAULT_DATA_CORRECTED, 1, "[transmitter.t]\ndata_corrected = true\n",
     [](SimBusTest &t) { EXPECT_EQ(t.word(kMainAddress, 0x20), 0x8000); }},
    {"drop answers", IOWSIM_FAULT_DROP_ANSWERS, 1, "[adapter]\ndrop_answers = true\n[transmitter.t]\n",
     [](SimBusTest &t) {
         EXPECT_EQ(t.i2cWrite(kMainAddress, {0x00}), kNoAnswer);
         EXPECT_TRUE(t.i2cRead(kMainAddress, 3).empty());
     }},
    {"removed", IOWSIM_FAULT_REMOVED, 1, "[transmitter.t]\npresent = false\n",
     [](SimBusTest &t) {
         expectProbeRefused(t);
         EXPECT_FALSE(t.transmitter(0).powered);
     }},
    {"ignore COM_Config write", IOWSIM_FAULT_IGNORE_WRITE, 0x02, "[transmitter.t]\nignore_write = 0x02\n",
     [](SimBusTest &t) {
         ASSERT_NO_FATAL_FAILURE(t.rewrite(kMainAddress, 0x41));
         const iowsim_transmitter_info info = t.transmitter(0);
         EXPECT_EQ(info.pages[1][0x02], 0) << "lost, the opened page stays blank there";
         EXPECT_EQ(info.pages[1][0x01], 0x04D2) << "the other words arrive";
     }},
};

TEST_F(SimFaults, EachFaultByControlCallAndByScenario) {
    for (const FaultCase &c : kFaults) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(restart("[transmitter.t]\n"));
        ASSERT_TRUE(sim.iowsim_set_fault(0, c.fault, c.value));
        {
            SCOPED_TRACE("control call");
            c.check(*this);
        }
        std::filesystem::remove(sim.statePath());  // the control-call run may have rewritten the memory
        ASSERT_TRUE(restart(c.scenario));
        {
            SCOPED_TRACE("scenario");
            c.check(*this);
        }
    }
}

TEST_F(SimFaults, ClearingFaultsRestoresNormalAnswers) {
    for (const FaultCase &c : kFaults) ASSERT_TRUE(sim.iowsim_set_fault(0, c.fault, c.value)) << c.name;
    sim.iowsim_clear_faults();
    EXPECT_EQ(i2cWrite(kMainAddress, {0xAC}), 0x00);
    EXPECT_EQ(status(kMainAddress) & ~0x20, 0x40);
    EXPECT_EQ(word(kMainAddress, 0x20), 0x0000);
}

TEST_F(SimFaults, RemovedTransmitterPowersUpAgainWhenInserted) {
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_REMOVED, 1));
    expectProbeRefused(*this);
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_REMOVED, 0));
    EXPECT_EQ(i2cRead(kMainAddress, 2).at(0), 0x02);
    i2cWrite(kMainAddress, {0xA9});
    EXPECT_EQ(status(kMainAddress), 0x48) << "insertion is a fresh power-up";
}

TEST_F(SimFaults, UnpluggedAdapterCannotBeOpenedUntilReplugged) {
    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 1));
    char report[64] = {0x01, 0x01};
    EXPECT_EQ(sim.IowKitWrite(handle, 1, report, 64), 0UL) << "the old handle is dead";
    EXPECT_EQ(sim.IowKitOpenDevice(), nullptr);
    EXPECT_EQ(sim.IowKitGetNumDevs(), 0UL);
    EXPECT_FALSE(transmitter(0).powered);

    ASSERT_TRUE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_UNPLUGGED, 0));
    EXPECT_EQ(sim.IowKitWrite(handle, 1, report, 64), 0UL) << "a replugged adapter must be opened again";
    open();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(i2cRead(kMainAddress, 2).at(0), 0x02);

    EXPECT_FALSE(restart("[adapter]\nplugged = false\n"));
    EXPECT_EQ(sim.IowKitOpenDevice(), nullptr) << "unplugged by the scenario";
}

TEST_F(SimFaults, AnotherProductId) {
    sim.iowsim_set_product_id(0x1500);
    EXPECT_EQ(sim.IowKitGetProductId(handle), 0x1500UL);
    ASSERT_TRUE(restart("[adapter]\nproduct_id = 0x1501\n"));
    EXPECT_EQ(sim.IowKitGetProductId(handle), 0x1501UL);
}

TEST_F(SimFaults, UnknownFaultOrTransmitterIsRefused) {
    EXPECT_FALSE(sim.iowsim_set_fault(1, IOWSIM_FAULT_HOLD_BUSY, 1));
    EXPECT_FALSE(sim.iowsim_set_fault(-1, IOWSIM_FAULT_HOLD_BUSY, 1));
    EXPECT_FALSE(sim.iowsim_set_fault(0, static_cast<iowsim_fault>(99), 1));
    EXPECT_FALSE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_COMMAND, 0x100));
    EXPECT_FALSE(sim.iowsim_set_fault(0, IOWSIM_FAULT_IGNORE_WRITE, 0x18));
}

}  // namespace
}  // namespace zorbit_test
