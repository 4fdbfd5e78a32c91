// The traffic record holds every report written and read, in order, with pipe,
// direction and bytes.
#include "sim_bus.h"

namespace zorbit_test {
namespace {

using SimTraffic = SimBusTest;

Bytes bytesOf(const iowsim_report &report) {
    return Bytes(report.data, report.data + report.length);
}

Bytes padded(Bytes bytes, std::size_t size) {
    bytes.resize(size, 0);
    return bytes;
}

TEST_F(SimTraffic, RecordsEveryReportInOrder) {
    sim.iowsim_clear_traffic();
    setSupply(true);
    i2cWrite(kMainAddress, {0x00});
    i2cRead(kMainAddress, 2);

    const std::vector<iowsim_report> traffic = sim.takeTraffic();
    struct Expected {
        int direction;
        unsigned long pipe;
        Bytes bytes;
    } const expected[] = {
        {IOWSIM_TO_ADAPTER, 0, {0x00, 0xFF, 0xA0, 0xFF, 0xFF, 0xFF, 0x08, 0xFF}},
        {IOWSIM_TO_ADAPTER, 1, padded({0x02, 0xC2, 0x50, 0x00}, 64)},
        {IOWSIM_FROM_ADAPTER, 1, padded({0x02, 0x00}, 64)},
        {IOWSIM_TO_ADAPTER, 1, padded({0x03, 0x02, 0x51}, 64)},
        {IOWSIM_FROM_ADAPTER, 1, padded({0x03, 0x02, 0x40, 0x1C}, 64)},
    };
    ASSERT_EQ(traffic.size(), std::size(expected));
    for (std::size_t i = 0; i < traffic.size(); ++i) {
        EXPECT_EQ(traffic[i].direction, expected[i].direction) << i;
        EXPECT_EQ(traffic[i].pipe, expected[i].pipe) << i;
        EXPECT_EQ(bytesOf(traffic[i]), expected[i].bytes) << i;
    }
    EXPECT_EQ(sim.iowsim_traffic_size(), 0U) << "taking clears the record";
}

TEST_F(SimTraffic, TakesTheOldestFirstInPortions) {
    sim.iowsim_clear_traffic();
    for (std::uint8_t command : {0x01, 0x02, 0x03}) i2cWrite(kMainAddress, {command});
    iowsim_report part[4] = {};
    ASSERT_EQ(sim.iowsim_take_traffic(part, 4), 4U);
    EXPECT_EQ(part[0].data[3], 0x01);
    EXPECT_EQ(part[2].data[3], 0x02);
    ASSERT_EQ(sim.iowsim_take_traffic(part, 4), 2U);
    EXPECT_EQ(part[0].data[3], 0x03);
    EXPECT_EQ(part[1].direction, IOWSIM_FROM_ADAPTER);
}

TEST_F(SimTraffic, NothingIsRecordedForTimeOutsAndRefusedReports) {
    sim.IowKitSetTimeout(handle, 20);
    sim.iowsim_clear_traffic();
    EXPECT_TRUE(readReport(1).empty());
    char shortReport[8] = {};
    EXPECT_EQ(sim.IowKitWrite(handle, 1, shortReport, 8), 0UL);
    EXPECT_EQ(sim.iowsim_traffic_size(), 0U);
}

TEST_F(SimTraffic, ReloadStartsAnEmptyRecord) {
    i2cWrite(kMainAddress, {0x00});
    ASSERT_GT(sim.iowsim_traffic_size(), 0U);
    ASSERT_TRUE(sim.start());
    EXPECT_EQ(sim.iowsim_traffic_size(), 0U);
}

}  // namespace
}  // namespace zorbit_test
