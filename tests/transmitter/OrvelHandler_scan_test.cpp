#include "handler_fixture.h"

namespace {

const char *const TwoTransmitters = "[transmitter.high]\naddress = 0x40\n[transmitter.low]\naddress = 0x28\n";
const char *const AtZero = "[transmitter.zero]\naddress = 0x00\n";
const char *const Blank = "[transmitter.gone]\naddress = 0x28\npresent = false\n";

struct Bus {
    const char *name;
    const char *scenario;
    std::vector<int> addresses;
};

class Scan : public HandlerOnSim, public ::testing::WithParamInterface<Bus>
{
protected:
    std::string scenario() override { return scenarioFile(GetParam().scenario); }
};

std::vector<int> listed(const T_Orvel_Handler &h)
{
    std::vector<int> out;
    for (const T_SlaveAddr &a : h.Get_slave_addr_list()) {
        EXPECT_EQ(a.Get_hex_addr(), T_SlaveAddr::hex_text(a.Get_int_Addr()));
        out.push_back(a.Get_int_Addr());
    }
    return out;
}

} // namespace

TEST_P(Scan, ListsEveryAnsweringAddressAndTakesTheLowest)
{
    const std::vector<int> expected = GetParam().addresses;
    ASSERT_NO_FATAL_FAILURE(connect());
    handler->Get_Device().Set_slave_addr(0x55);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(handler->get_slave_address(), !expected.empty());
        EXPECT_EQ(listed(*handler), expected) << "entries never accumulate";
        EXPECT_EQ(handler->Get_Device().Get_slave_addr(), expected.empty() ? 0 : expected.front());
    }
    EXPECT_TRUE(lines.empty()) << "the scan does not log";
}

INSTANTIATE_TEST_SUITE_P(Buses, Scan,
                         ::testing::Values(Bus{"one", "", {0x28}}, Bus{"two", TwoTransmitters, {0x28, 0x40}},
                                           Bus{"atZero", AtZero, {0x00}}, Bus{"none", Blank, {}}),
                         [](const auto &info) { return std::string(info.param.name); });

using ScanReports = HandlerOnSim;

TEST_F(ScanReports, ProbesAll128AddressesInOrder)
{
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(handler->get_slave_address());
    const auto heads = writtenHeads(4);
    ASSERT_EQ(heads.size(), 128u);
    for (int a = 0; a < 128; ++a)
        EXPECT_EQ(heads[size_t(a)], (Bytes{0x03, 0x02, uint8_t(a * 2 + 1), 0x00})) << a;
}

TEST_F(ScanReports, WithoutAnAdapterTheDeviceAddressStays)
{
    handler->Get_Device().Set_slave_addr(0x33);
    EXPECT_FALSE(handler->get_slave_address());
    EXPECT_EQ(handler->Get_Device().Get_slave_addr(), 0x33);
    EXPECT_TRUE(handler->Get_slave_addr_list().isEmpty());
}
