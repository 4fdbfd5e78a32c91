// Writing a saved memory image back through the re-addressing procedure: a transmitter whose
// page was cut off in the middle of a write, even before its first word, gets its saved image
// back; an image of another transmitter, or one the procedure may not write, is refused before
// anything is written.
#include "readdress_fixture.h"

#include <string>

using readdress::Refusal;
using readdress::Step;

namespace {

constexpr uint8_t OldAddress = 0x28;
constexpr uint8_t NewAddress = 0x30;

class Restore : public ReaddressOnSim
{
protected:
    // A half-written chip may report its memory read as failed.
    void scan() { ReaddressOnSim::scan(false, false); }
    readdress::Outcome restore(const T_DeviceMemory &saved, bool yes = true)
    {
        return readdress::restore(*handler, saved, [yes](uint8_t) { return yes; });
    }
    size_t writtenCount()
    {
        size_t n = 0;
        for (const iowsim_report &r : sim.takeTraffic())
            n += r.direction == IOWSIM_TO_ADAPTER;
        return n;
    }
    // Re-addresses to NewAddress and pulls the adapter once `words` words of the page are written.
    void cut_write_after(unsigned long words)
    {
        bool armed = false;
        const readdress::Outcome cut = readdress::readdress(
            *handler, NewAddress, [](uint8_t) { return true; }, [&](Step step, bool ok) {
                // The page-opening report comes first, then one report a word.
                if (step == Step::Check && ok)
                    armed = sim.iowsim_arm_fault(0, IOWSIM_FAULT_UNPLUGGED, 1, 1 + words);
            });
        sim.iowsim_clear_faults();
        ASSERT_TRUE(armed);
        ASSERT_EQ(cut.failed, Step::Write);
    }
};

struct CutCase {
    const char *name;
    unsigned long words; // written before the adapter was pulled
    int answers_at;      // where the half-written transmitter answers
};

// Another transmitter beside it, so the search has one to pass over.
class HalfWritten : public Restore, public ::testing::WithParamInterface<CutCase>
{
protected:
    std::string scenario() override
    {
        return scenarioFile("[transmitter.main]\naddress = 0x28\n[transmitter.other]\naddress = 0x40\nproduct = F00815E12P0300\n");
    }
};

const CutCase CutCases[] = {
    // A page is blank when it is opened: cut before its first words, it holds no product code yet.
    {"NothingWritten", 0, 0x00},
    {"FirstWordOnly", 1, 0x00},
    {"ProductCodeOnly", 2, 0x00},
    {"WithTheNewAddress", 3, NewAddress},
    {"TenWords", 10, NewAddress},
    {"AllButTheLastWord", 22, NewAddress},
};

} // namespace

TEST_P(HalfWritten, GetsItsSavedImageBackWithAValidChecksum)
{
    const CutCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(scan());
    const T_DeviceMemory saved = handler->Get_Device().Get_memory_page();
    ASSERT_NO_FATAL_FAILURE(cut_write_after(c.words));
    {
        const iowsim_transmitter_info cut = transmitter();
        ASSERT_EQ(cut.current_page, 1);
        ASSERT_NE(words(saved), std::vector<uint16_t>(cut.pages[1], cut.pages[1] + 0x17)) << "half written";
    }

    ASSERT_NO_FATAL_FAILURE(scan());
    ASSERT_EQ(handler->Get_Device().Get_slave_addr(), c.answers_at);
    EXPECT_EQ(transmitter().memory_error, 1) << "a cut-off page fails its checksum";

    handler->Get_Device().Set_slave_addr(0x40);
    const readdress::Owner owner = readdress::find_owner(*handler, saved);
    ASSERT_EQ(int(owner.refusal), int(Refusal::None));
    ASSERT_EQ(owner.address, c.answers_at) << "found by what it holds, not by the selection";
    ASSERT_EQ(handler->Get_Device().Get_slave_addr(), c.answers_at);

    const readdress::Outcome outcome = restore(saved);
    EXPECT_TRUE(outcome.succeeded()) << int(outcome.failed) << " refusal " << int(outcome.refusal);
    EXPECT_EQ(outcome.answers_at, OldAddress);
    EXPECT_TRUE(holds(words(saved), OldAddress));
    EXPECT_EQ(transmitter().current_page, 2) << "the restore uses one more page";
    EXPECT_EQ(handler->Get_Device().Get_slave_addr(), OldAddress);
}

INSTANTIATE_TEST_SUITE_P(Cuts, HalfWritten, ::testing::ValuesIn(CutCases),
                         [](const ::testing::TestParamInfo<CutCase> &info) { return std::string(info.param.name); });

TEST_F(Restore, ABlankRestDoesNotHideAnotherProductCode)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    T_DeviceMemory saved = handler->Get_Device().Get_memory_page();
    ASSERT_NO_FATAL_FAILURE(cut_write_after(1)); // Cust_ID0 written, the rest still 0
    ASSERT_NO_FATAL_FAILURE(scan());
    saved.at(0x00).setValue(saved.at(0x00).value() ^ 0x0100);
    const readdress::Outcome outcome = restore(saved);
    EXPECT_EQ(outcome.failed, Step::Check);
    EXPECT_EQ(outcome.refusal, Refusal::OtherProduct);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(transmitter().current_page, 1);
}

TEST_F(Restore, AHealthyTransmitterTakesItsOwnImageAtTheCostOfOnePage)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    const T_DeviceMemory saved = handler->Get_Device().Get_memory_page();
    const readdress::Outcome outcome = restore(saved);
    EXPECT_TRUE(outcome.succeeded());
    EXPECT_TRUE(outcome.written);
    EXPECT_TRUE(holds(words(saved), OldAddress));
    EXPECT_EQ(transmitter().current_page, 1);
}

TEST_F(Restore, DecliningWritesNothing)
{
    ASSERT_NO_FATAL_FAILURE(scan());
    const readdress::Outcome outcome = restore(handler->Get_Device().Get_memory_page(), false);
    EXPECT_EQ(outcome.failed, Step::Confirm);
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(transmitter().current_page, 0);
    EXPECT_EQ(transmitter().command_mode, 0);
}

namespace {

struct RefusedCase {
    const char *name;
    const char *scenario;            // empty: one transmitter at 0x28
    int word;                        // the saved image's word changed, -1 none
    uint16_t value;
    bool complete;
    Refusal refusal;
    bool before_traffic;             // refused before anything is sent
};

class RefusedImage : public Restore, public ::testing::WithParamInterface<RefusedCase>
{
protected:
    std::string scenario() override { return scenarioFile(GetParam().scenario); }
};

// clang-format off
const RefusedCase RefusedCases[] = {
    {"OtherCustId0", "", 0x00, 0x1C39, true, Refusal::OtherProduct, false},
    {"OtherCustId1", "", 0x01, 0x04D3, true, Refusal::OtherProduct, false},
    {"IncompleteImage", "", -1, 0, false, Refusal::Incomplete, true},
    {"BlankImage", "", -2, 0, true, Refusal::NotCalibrated, true},
    {"AddressOfAnotherTransmitter", "[transmitter.a]\naddress = 0x28\n[transmitter.b]\naddress = 0x40\n", 0x02, 0x0040, true, Refusal::AddressInUse, true},
    {"NoPageLeft", "[transmitter.t]\naddress = 0x28\npage = 3\n", -1, 0, true, Refusal::NoChangeLeft, true},
};
// clang-format on

} // namespace

TEST_P(RefusedImage, NothingIsWritten)
{
    const RefusedCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(scan());
    const int page = transmitter().current_page;
    T_DeviceMemory saved = handler->Get_Device().Get_memory_page();
    if (c.word >= 0)
        saved.at(c.word).setValue(c.value);
    if (c.word == -2)
        for (T_32Bit *reg : saved.compared_registers())
            reg->setValue(0);
    saved.Set_complete(c.complete);

    const readdress::Outcome outcome = restore(saved);
    EXPECT_EQ(outcome.failed, Step::Check);
    EXPECT_EQ(int(outcome.refusal), int(c.refusal));
    EXPECT_FALSE(outcome.written);
    EXPECT_EQ(transmitter().current_page, page);
    EXPECT_EQ(transmitter().command_mode, 0);
    if (c.before_traffic) {
        EXPECT_EQ(writtenCount(), 0u);
    }
}

INSTANTIATE_TEST_SUITE_P(Refusals, RefusedImage, ::testing::ValuesIn(RefusedCases),
                         [](const ::testing::TestParamInfo<RefusedCase> &info) { return std::string(info.param.name); });

namespace {

struct OwnerCase {
    const char *name;
    const char *scenario;
    uint8_t source;  // the transmitter whose image is saved
    int word;        // the saved image's word changed, -1 none
    uint16_t value;
    Refusal refusal;
    QList<int> matching;
};

const char *const ThreeTransmitters = "[transmitter.main]\naddress = 0x28\n"
                                      "[transmitter.gauge]\naddress = 0x40\nproduct = F00815E12P0300\n"
                                      "[transmitter.third]\naddress = 0x50\nproduct = F00001E01P0001\n";

class FindOwner : public Restore, public ::testing::WithParamInterface<OwnerCase>
{
protected:
    std::string scenario() override { return scenarioFile(GetParam().scenario); }
};

// clang-format off
const OwnerCase OwnerCases[] = {
    {"NotTheSelectedOne", ThreeTransmitters, 0x40, -1, 0, Refusal::None, {0x40}},
    {"TheSelectedOne", ThreeTransmitters, 0x28, -1, 0, Refusal::None, {0x28}},
    {"ItsOwnAddressDoesNotCount", ThreeTransmitters, 0x50, 0x02, 0x0033, Refusal::None, {0x50}},
    {"AnotherProductCode", ThreeTransmitters, 0x40, 0x01, 0x1234, Refusal::NotOnBus, {}},
    {"AnotherCalibration", ThreeTransmitters, 0x40, 0x15, 0x4121, Refusal::NotOnBus, {}},
    {"TwoWithTheSameIdentity", "[transmitter.a]\naddress = 0x28\n[transmitter.b]\naddress = 0x30\n", 0x30, -1, 0,
     Refusal::TwoMatch, {0x28, 0x30}},
};
// clang-format on

} // namespace

TEST_P(FindOwner, ByIdentityAmongTheBus)
{
    const OwnerCase &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(scan());
    handler->Get_Device().Set_slave_addr(c.source);
    ASSERT_TRUE(handler->get_device_memory());
    T_DeviceMemory saved = handler->Get_Device().Get_memory_page();
    if (c.word >= 0)
        saved.at(c.word).setValue(c.value);
    // The main window has another transmitter selected.
    const uint8_t selected = c.source == 0x28 ? 0x40 : 0x28;
    handler->Get_Device().Set_slave_addr(selected);
    ASSERT_TRUE(handler->get_device_memory());
    const int page = transmitter().current_page;

    const readdress::Owner owner = readdress::find_owner(*handler, saved);
    EXPECT_EQ(int(owner.refusal), int(c.refusal));
    EXPECT_EQ(owner.matching, c.matching);
    if (c.refusal == Refusal::None) {
        EXPECT_EQ(owner.address, c.source);
        EXPECT_EQ(handler->Get_Device().Get_slave_addr(), c.source);
        EXPECT_EQ(words(handler->Get_Device().Get_memory_page())[0x15], words(saved)[0x15]) << "its image was read";
    } else {
        EXPECT_LT(owner.address, 0);
    }
    EXPECT_EQ(transmitter().current_page, page) << "the search writes nothing";
}

INSTANTIATE_TEST_SUITE_P(Owners, FindOwner, ::testing::ValuesIn(OwnerCases),
                         [](const ::testing::TestParamInfo<OwnerCase> &info) { return std::string(info.param.name); });
