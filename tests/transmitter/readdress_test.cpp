// The re-addressing procedure against the simulated adapter, with faults that start at every
// step of it: success is reported only when the transmitter holds exactly the intended image
// and answers at the new address.
#include "readdress_fixture.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <ostream>
#include <string>

using readdress::Refusal;
using readdress::Step;

namespace {

constexpr uint8_t OldAddress = 0x28;
constexpr uint8_t NewAddress = 0x30;

const char *name_of(Step step)
{
    static const char *const names[] = {"None",     "DetectDongle", "DisableI2c",     "DisableSpi",
                                        "SwitchOff", "SwitchOn",    "EnableI2c",      "CommandMode",
                                        "Check",    "Confirm",      "Write",          "Verify",
                                        "Checksum", "SwitchOffAfter", "SwitchOnAfter", "NewAddress"};
    return names[int(step)];
}

// The steps in the order they use the bus.
const std::vector<Step> BusSteps = {Step::DisableI2c, Step::DisableSpi, Step::SwitchOff,      Step::SwitchOn,
                                    Step::EnableI2c,  Step::CommandMode, Step::Check,         Step::Write,
                                    Step::Verify,     Step::Checksum,   Step::SwitchOffAfter, Step::SwitchOnAfter,
                                    Step::NewAddress};

class Readdress : public ReaddressOnSim
{
protected:
    // A whole scan cycle, its measurement included.
    void scan() { ReaddressOnSim::scan(true); }
    // The image the transmitter must hold after a change to `address`.
    std::vector<uint16_t> intended(uint8_t address)
    {
        std::vector<uint16_t> image = words(handler->Get_Device().Get_memory_page());
        image[0x02] = address;
        return image;
    }
    readdress::Outcome run(uint8_t address = NewAddress, bool yes = true)
    {
        return readdress::readdress(*handler, address, [yes](uint8_t) { return yes; },
                                    [this](Step step, bool ok) { steps.push_back({step, ok}); });
    }
    size_t writtenCount()
    {
        size_t n = 0;
        for (const iowsim_report &r : sim.takeTraffic())
            n += r.direction == IOWSIM_TO_ADAPTER;
        return n;
    }

    std::vector<std::pair<Step, bool>> steps;
};

// Reports the program writes before each step starts, from one clean run.
std::map<Step, unsigned long> step_starts(zorbit_test::SimControl &sim, T_Orvel_Handler &h)
{
    std::map<Step, unsigned long> starts;
    unsigned long written = 0;
    Step next = BusSteps.front();
    starts[next] = 0;
    readdress::readdress(h, NewAddress, [](uint8_t) { return true; }, [&](Step step, bool) {
        for (const iowsim_report &r : sim.takeTraffic())
            written += r.direction == IOWSIM_TO_ADAPTER;
        const auto it = std::find(BusSteps.begin(), BusSteps.end(), step);
        if (it != BusSteps.end() && it + 1 != BusSteps.end())
            starts[*(it + 1)] = written;
    });
    return starts;
}

struct FaultCase {
    const char *name;
    int fault;  // iowsim_fault
    int value;
    Step start; // the fault starts with the first report of this step
    int offset; // … plus so many reports into it
    Step failed;
    Refusal refusal;
};

std::ostream &operator<<(std::ostream &os, const FaultCase &c)
{
    return os << c.name << " from " << name_of(c.start) << "+" << c.offset;
}

// clang-format off
const FaultCase Cases[] = {
    // The transmitter refuses one command.
    {"NackCommandMode", IOWSIM_FAULT_NACK_COMMAND, 0xA9, Step::DisableI2c, 0, Step::CommandMode, Refusal::None},
    {"NackOpenPage", IOWSIM_FAULT_NACK_COMMAND, 0x5E, Step::DisableI2c, 0, Step::Write, Refusal::None},
    {"NackWriteCustId0", IOWSIM_FAULT_NACK_COMMAND, 0x40, Step::DisableI2c, 0, Step::Write, Refusal::None},
    {"NackWriteComConfig", IOWSIM_FAULT_NACK_COMMAND, 0x42, Step::DisableI2c, 0, Step::Write, Refusal::None},
    {"NackWriteTcg", IOWSIM_FAULT_NACK_COMMAND, 0x47, Step::DisableI2c, 0, Step::Write, Refusal::None},
    {"NackWriteScaling4", IOWSIM_FAULT_NACK_COMMAND, 0x56, Step::DisableI2c, 0, Step::Write, Refusal::None},
    {"NackChecksum", IOWSIM_FAULT_NACK_COMMAND, 0xAA, Step::DisableI2c, 0, Step::Checksum, Refusal::None},
    {"NackScaling1ReadCommandInTheCheck", IOWSIM_FAULT_NACK_COMMAND, 0x13, Step::Check, 0, Step::Check, Refusal::Incomplete},
    {"NackReadOfScaling1InTheVerification", IOWSIM_FAULT_NACK_READ_AFTER, 0x13, Step::Verify, 0, Step::Verify, Refusal::None},
    {"NackReadOfComConfigAfterThePowerCycle", IOWSIM_FAULT_NACK_READ_AFTER, 0x02, Step::NewAddress, 0, Step::NewAddress, Refusal::None},
    // The chip acknowledges a word but does not store it.
    {"IgnoreCustId0", IOWSIM_FAULT_IGNORE_WRITE, 0x00, Step::DisableI2c, 0, Step::Verify, Refusal::None},
    {"IgnoreComConfig", IOWSIM_FAULT_IGNORE_WRITE, 0x02, Step::DisableI2c, 0, Step::Verify, Refusal::None},
    {"IgnoreTcg", IOWSIM_FAULT_IGNORE_WRITE, 0x07, Step::DisableI2c, 0, Step::Verify, Refusal::None},
    {"IgnoreAux", IOWSIM_FAULT_IGNORE_WRITE, 0x11, Step::DisableI2c, 0, Step::Verify, Refusal::None},
    {"IgnoreScaling3", IOWSIM_FAULT_IGNORE_WRITE, 0x15, Step::DisableI2c, 0, Step::Verify, Refusal::None},
    // Whole-bus faults in the middle of a step.
    {"ArbitrationLostAfterTenWords", IOWSIM_FAULT_ARBITRATION_LOST, 1, Step::Write, 11, Step::Write, Refusal::None},
    {"ArbitrationLostInTheVerification", IOWSIM_FAULT_ARBITRATION_LOST, 1, Step::Verify, 4, Step::Verify, Refusal::None},
    {"UnpluggedAfterTenWords", IOWSIM_FAULT_UNPLUGGED, 1, Step::Write, 11, Step::Write, Refusal::None},
    {"UnpluggedBeforeSwitchingOn", IOWSIM_FAULT_UNPLUGGED, 1, Step::SwitchOnAfter, 0, Step::SwitchOnAfter, Refusal::None},
    {"RemovedInTheWrite", IOWSIM_FAULT_REMOVED, 1, Step::Write, 5, Step::Write, Refusal::None},
    {"RemovedAfterThePowerCycle", IOWSIM_FAULT_REMOVED, 1, Step::NewAddress, 0, Step::NewAddress, Refusal::None},
    {"BusyInTheCommandModeCheck", IOWSIM_FAULT_HOLD_BUSY, 1, Step::CommandMode, 0, Step::CommandMode, Refusal::None},
    {"BusyInTheImageCheck", IOWSIM_FAULT_HOLD_BUSY, 1, Step::Check, 0, Step::Check, Refusal::Incomplete},
    {"HardwareErrorInTheVerification", IOWSIM_FAULT_HARDWARE_ERROR, 1, Step::Verify, 0, Step::Verify, Refusal::None},
    {"NackAllFromTheChecksum", IOWSIM_FAULT_NACK_ALL, 1, Step::Checksum, 0, Step::Checksum, Refusal::None},
    {"DroppedAnswersInTheCommandMode", IOWSIM_FAULT_DROP_ANSWERS, 1, Step::CommandMode, 0, Step::CommandMode, Refusal::None},
};
// clang-format on

class FaultMatrix : public Readdress, public ::testing::WithParamInterface<FaultCase>
{
};

} // namespace

TEST_P(FaultMatrix, FailsAtItsStepAndNeverReportsAFalseSuccess)
{
    const FaultCase &c = GetParam();
    // Where each step starts, from a clean run; then the same bus again, as it was.
    ASSERT_NO_FATAL_FAILURE(scan());
    const std::map<Step, unsigned long> starts = step_starts(sim, *handler);
    std::remove(sim.statePath().c_str());
    ASSERT_TRUE(sim.start(scenario()));
    ASSERT_NO_FATAL_FAILURE(scan());
    ASSERT_EQ(transmitter().address, OldAddress);
    ASSERT_EQ(starts.count(c.start), 1u);
    const std::vector<uint16_t> words = intended(NewAddress);
    const int page = transmitter().current_page;

    ASSERT_TRUE(sim.iowsim_arm_fault(0, iowsim_fault(c.fault), c.value, starts.at(c.start) + unsigned(c.offset)));
    const readdress::Outcome outcome = run();
    sim.iowsim_clear_faults();

    EXPECT_EQ(name_of(outcome.failed), std::string(name_of(c.failed)));
    EXPECT_EQ(int(outcome.refusal), int(c.refusal));
    if (outcome.succeeded()) {
        EXPECT_TRUE(holds(words, NewAddress));
    }
    if (outcome.failed == Step::Check) {
        EXPECT_EQ(transmitter().current_page, page) << "a refusal writes nothing";
    }
    EXPECT_EQ(outcome.written, int(c.failed) >= int(Step::Write));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<FaultCase> &info) { return std::string(info.param.name); });

namespace {

// A step that fails once the bus is in use; the fault lasts, or hits one report only.
struct StopCase {
    const char *name;
    int fault; // iowsim_fault
    int value;
    Step start; // the fault starts with the first report of this step
    int offset;
    bool once; // a refused report: the next one is taken again
    Step failed;
    int answers_at;
    bool powered; // the transmitter has its supply at the end
};

std::ostream &operator<<(std::ostream &os, const StopCase &c)
{
    return os << c.name;
}

constexpr int Nowhere = readdress::AnswersNowhere;
constexpr int Unknown = readdress::AnswersUnknown;

// clang-format off
const StopCase StopCases[] = {
    // Powering up into command mode: nothing written, the transmitter stays at its address.
    {"SpiOffRefused", IOWSIM_FAULT_REFUSE_WRITE, 0x0800, Step::DisableSpi, 0, false, Step::DisableSpi, OldAddress, true},
    {"SupplyOffRefusedOnce", IOWSIM_FAULT_REFUSE_WRITE, 0x0000, Step::SwitchOff, 0, true, Step::SwitchOff, OldAddress, true},
    {"SupplyOnRefusedOnce", IOWSIM_FAULT_REFUSE_WRITE, 0x00FF, Step::SwitchOn, 0, true, Step::SwitchOn, OldAddress, true},
    {"I2cOnRefusedOnce", IOWSIM_FAULT_REFUSE_WRITE, 0x0101, Step::EnableI2c, 0, true, Step::EnableI2c, OldAddress, true},
    {"BusyInCommandMode", IOWSIM_FAULT_HOLD_BUSY, 1, Step::CommandMode, 0, false, Step::CommandMode, OldAddress, true},
    {"TestReadRefusedInCommandMode", IOWSIM_FAULT_NACK_READ_AFTER, 0x01, Step::CommandMode, 0, false, Step::CommandMode, OldAddress, true},
    // Writing: the transmitter comes up with whatever address its new page holds.
    {"AddressWordRefused", IOWSIM_FAULT_NACK_COMMAND, 0x42, Step::DisableI2c, 0, false, Step::Write, 0x00, true},
    {"WordLostInTheVerification", IOWSIM_FAULT_IGNORE_WRITE, 0x11, Step::DisableI2c, 0, false, Step::Verify, NewAddress, true},
    {"ChecksumRefused", IOWSIM_FAULT_NACK_COMMAND, 0xAA, Step::DisableI2c, 0, false, Step::Checksum, NewAddress, true},
    {"SupplyOffAfterWritingRefusedOnce", IOWSIM_FAULT_REFUSE_WRITE, 0x0000, Step::SwitchOffAfter, 0, true, Step::SwitchOffAfter, NewAddress, true},
    {"SupplyOnAfterWritingRefusedOnce", IOWSIM_FAULT_REFUSE_WRITE, 0x00FF, Step::SwitchOnAfter, 0, true, Step::SwitchOnAfter, NewAddress, true},
    // Where nothing can be found, or nothing can be asked.
    {"RemovedInTheWrite", IOWSIM_FAULT_REMOVED, 1, Step::Write, 5, false, Step::Write, Nowhere, false},
    {"AdapterSilentInCommandMode", IOWSIM_FAULT_DROP_ANSWERS, 1, Step::CommandMode, 0, false, Step::CommandMode, Unknown, true},
    {"UnpluggedInTheWrite", IOWSIM_FAULT_UNPLUGGED, 1, Step::Write, 11, false, Step::Write, Unknown, false},
    {"SupplyOnRefused", IOWSIM_FAULT_REFUSE_WRITE, 0x00FF, Step::SwitchOn, 0, false, Step::SwitchOn, Unknown, false},
};
// clang-format on

class FailedStep : public Readdress, public ::testing::WithParamInterface<StopCase>
{
};

} // namespace

TEST_P(FailedStep, LeavesTheTransmitterOutOfCommandModeAndSaysWhereItAnswers)
{
    const StopCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(scan());
    const std::map<Step, unsigned long> starts = step_starts(sim, *handler);
    std::remove(sim.statePath().c_str());
    ASSERT_TRUE(sim.start(scenario()));
    ASSERT_NO_FATAL_FAILURE(scan());
    const unsigned long at = starts.at(c.start) + unsigned(c.offset);
    ASSERT_TRUE(sim.iowsim_arm_fault(0, iowsim_fault(c.fault), c.value, at));
    // The refused report is not counted: the clearing starts with the report after it.
    if (c.once) {
        ASSERT_TRUE(sim.iowsim_arm_fault(0, iowsim_fault(c.fault), -1, at + 1));
    }

    const readdress::Outcome outcome = run();
    const iowsim_transmitter_info chip = transmitter();
    sim.iowsim_clear_faults();

    EXPECT_EQ(name_of(outcome.failed), std::string(name_of(c.failed)));
    EXPECT_EQ(outcome.answers_at, c.answers_at);
    EXPECT_EQ(chip.powered, int(c.powered));
    if (chip.powered) {
        EXPECT_EQ(chip.command_mode, 0);
    }
    if (c.answers_at >= 0) {
        EXPECT_EQ(chip.address, c.answers_at) << "where the chip itself answers";
        EXPECT_EQ(handler->Get_Device().Get_slave_addr(), c.answers_at);
    } else {
        EXPECT_EQ(handler->Get_Device().Get_slave_addr(), OldAddress);
    }
    // The failed step is the last one told: the face shows its failure, not the power cycle.
    ASSERT_FALSE(steps.empty());
    EXPECT_EQ(name_of(steps.back().first), std::string(name_of(c.failed)));
    EXPECT_FALSE(steps.back().second);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedStep, ::testing::ValuesIn(StopCases),
                         [](const ::testing::TestParamInfo<StopCase> &info) { return std::string(info.param.name); });

// Every fault at every step: whatever is reported, a success is real.
class Sweep : public Readdress, public ::testing::WithParamInterface<std::tuple<int, Step>>
{
};

TEST_P(Sweep, SuccessOnlyWhenTheTransmitterHoldsTheImageAtTheNewAddress)
{
    const auto [fault, start] = GetParam();
    ASSERT_NO_FATAL_FAILURE(scan());
    const std::vector<uint16_t> words = intended(NewAddress);
    const int page = transmitter().current_page;
    // The fault starts with the first report of the step; the step's place is counted on the fly.
    size_t before = 0;
    bool armed = false;
    auto arm = [&](Step finished) {
        before += writtenCount();
        const auto it = std::find(BusSteps.begin(), BusSteps.end(), finished);
        if (!armed && it != BusSteps.end() && it + 1 != BusSteps.end() && *(it + 1) == start) {
            armed = sim.iowsim_arm_fault(0, iowsim_fault(fault), fault == IOWSIM_FAULT_IGNORE_WRITE ? 0x02 : 1, 0);
            ASSERT_TRUE(armed);
        }
    };
    if (start == BusSteps.front())
        armed = sim.iowsim_arm_fault(0, iowsim_fault(fault), fault == IOWSIM_FAULT_IGNORE_WRITE ? 0x02 : 1, 0);
    const readdress::Outcome outcome =
        readdress::readdress(*handler, NewAddress, [](uint8_t) { return true; }, [&](Step s, bool) { arm(s); });
    sim.iowsim_clear_faults();
    EXPECT_TRUE(armed || outcome.failed != Step::None) << "the step was reached";
    if (outcome.succeeded()) {
        EXPECT_TRUE(holds(words, NewAddress));
    }
    if (!outcome.written) {
        EXPECT_EQ(transmitter().current_page, page);
    }
    if (outcome.succeeded()) {
        EXPECT_EQ(outcome.answers_at, NewAddress);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, Sweep,
    ::testing::Combine(::testing::Values(IOWSIM_FAULT_NACK_ALL, IOWSIM_FAULT_ARBITRATION_LOST, IOWSIM_FAULT_UNPLUGGED,
                                         IOWSIM_FAULT_REMOVED, IOWSIM_FAULT_HOLD_BUSY, IOWSIM_FAULT_HARDWARE_ERROR,
                                         IOWSIM_FAULT_IGNORE_WRITE, IOWSIM_FAULT_BUSY_ANSWERS),
                       ::testing::ValuesIn(BusSteps)),
    [](const ::testing::TestParamInfo<std::tuple<int, Step>> &info) {
        return "fault" + std::to_string(std::get<0>(info.param)) + "_" + name_of(std::get<1>(info.param));
    });

TEST_F(Readdress, CleanChangeMovesTheTransmitterAndReportsEveryStep)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    const std::vector<uint16_t> words = intended(NewAddress);
    const readdress::Outcome outcome = run();
    EXPECT_TRUE(outcome.succeeded()) << name_of(outcome.failed);
    EXPECT_TRUE(outcome.written);
    EXPECT_EQ(outcome.answers_at, NewAddress);
    EXPECT_TRUE(holds(words, NewAddress));
    EXPECT_EQ(transmitter().current_page, 1);
    std::vector<Step> reported;
    for (const auto &[step, ok] : steps) {
        reported.push_back(step);
        EXPECT_TRUE(ok) << name_of(step);
    }
    EXPECT_EQ(reported, BusSteps);
    EXPECT_EQ(handler->Get_Device().Get_slave_addr(), NewAddress);
}

TEST_F(Readdress, DecliningPowersOutOfCommandModeAndWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    const readdress::Outcome outcome = run(NewAddress, false);
    EXPECT_EQ(outcome.failed, Step::Confirm);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(outcome.answers_at, OldAddress);
    EXPECT_EQ(transmitter().current_page, 0);
    EXPECT_EQ(transmitter().command_mode, 0);
    EXPECT_EQ(transmitter().address, OldAddress);
}

namespace {

struct RefusalCase {
    const char *name;
    const char *scenario; // empty: the default transmitter at 0x28
    uint8_t address;
    Refusal refusal;
};

class Refusals : public Readdress, public ::testing::WithParamInterface<RefusalCase>
{
protected:
    std::string scenario() override { return scenarioFile(GetParam().scenario); }
};

// clang-format off
const RefusalCase RefusalCases[] = {
    {"OwnAddress", "", OldAddress, Refusal::AddressInUse},
    {"OtherTransmittersAddress", "[transmitter.a]\naddress = 0x28\n[transmitter.b]\naddress = 0x40\n", 0x40, Refusal::AddressInUse},
    {"NoChangeLeft", "[transmitter.t]\naddress = 0x28\npage = 3\n", NewAddress, Refusal::NoChangeLeft},
    {"MemoryError", "[transmitter.t]\naddress = 0x28\nchecksum = bad\n", NewAddress, Refusal::MemoryError},
};
// clang-format on

} // namespace

TEST_P(Refusals, NothingIsSentToTheTransmitter)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    const readdress::Outcome outcome = run(GetParam().address);
    EXPECT_EQ(outcome.failed, Step::Check);
    EXPECT_EQ(int(outcome.refusal), int(GetParam().refusal));
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(writtenCount(), 0u) << "refused before any bus traffic";
}

INSTANTIATE_TEST_SUITE_P(Refusals, Refusals, ::testing::ValuesIn(RefusalCases),
                         [](const ::testing::TestParamInfo<RefusalCase> &info) { return std::string(info.param.name); });

TEST_F(Readdress, AnImageFromAnotherScanIsNotWritten)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    // A new address scan: the image read before may belong to another transmitter now.
    ASSERT_TRUE(handler->get_slave_address());
    EXPECT_EQ(run().refusal, Refusal::Incomplete);
    EXPECT_EQ(writtenCount(), 128u) << "only the address scan itself";
}

TEST_F(Readdress, AnImageThatNoLongerMatchesTheTransmitterIsNotWritten)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    handler->Get_Device().Get_memory_page().Get_Tcg().setValue(0x1234); // as if another chip had been read
    const readdress::Outcome outcome = run();
    EXPECT_EQ(outcome.failed, Step::Check);
    EXPECT_EQ(outcome.refusal, Refusal::OtherImage);
    EXPECT_EQ(transmitter().current_page, 0);
    EXPECT_EQ(transmitter().command_mode, 0) << "powered out of command mode";
}

TEST_F(Readdress, AnUncalibratedImageIsNotWritten)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    for (T_32Bit *reg : handler->Get_Device().Get_memory_page().compared_registers())
        reg->setValue(0);
    EXPECT_EQ(run().refusal, Refusal::NotCalibrated);
}
