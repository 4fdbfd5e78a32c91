// Two IO-Warriors attached: the handler keeps the one with the chosen serial (the first when none
// is chosen), talks only to it, closes what the library opened, lists them all, and shows its
// traffic to a sink.
#include "handler_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *TwoAdapters =
    "[adapter]\nserial = 0000C0DE\n[transmitter.main]\naddress = 0x28\n"
    "[adapter.second]\nserial = 0000BEEF\n[transmitter.main]\naddress = 0x28\n[transmitter.gauge]\naddress = 0x40\n";

class Adapters : public HandlerOnSim
{
protected:
    std::string scenario() override { return scenarioFile(TwoAdapters); }

    iowsim_adapter_info adapterAt(int index)
    {
        iowsim_adapter_info info{};
        EXPECT_TRUE(sim.iowsim_get_adapter_at(index, &info));
        return info;
    }
    std::vector<int> found() const
    {
        std::vector<int> out;
        for (const T_SlaveAddr &a : handler->Get_slave_addr_list())
            out.push_back(a.Get_int_Addr());
        return out;
    }
};

TEST_F(Adapters, TheChosenSerialSelectsTheAdapterWhoseBusIsScanned)
{
    struct Case {
        const char *chosen;
        const char *serial;
        int adapter;
        std::vector<int> bus;
    } const cases[] = {{"", "0000C0DE", 0, {0x28}}, {"0000BEEF", "0000BEEF", 1, {0x28, 0x40}},
                       {"0000C0DE", "0000C0DE", 0, {0x28}}};
    const QList<T_Orvel_Handler::AdapterInfo> both = {{QStringLiteral("0000C0DE"), 0x1503},
                                                      {QStringLiteral("0000BEEF"), 0x1503}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.chosen);
        handler->Set_chosen_serial(QString::fromLatin1(c.chosen));
        forget();
        ASSERT_NO_FATAL_FAILURE(connect_traffic_kept());
        EXPECT_EQ(handler->Get_serial_no(), QString::fromLatin1(c.serial));
        EXPECT_EQ(handler->Get_numDevs(), 2u);
        EXPECT_EQ(handler->Get_adapters(), both);
        EXPECT_FALSE(handler->Get_chosen_missing());
        EXPECT_EQ(found(), c.bus);
        const std::vector<iowsim_report> traffic = sim.takeTraffic();
        ASSERT_FALSE(traffic.empty());
        for (const iowsim_report &r : traffic)
            ASSERT_EQ(r.adapter, c.adapter) << "every report goes through the chosen adapter";
        EXPECT_EQ(adapterAt(c.adapter).i2c_enabled, 1);
        EXPECT_EQ(adapterAt(1 - c.adapter).i2c_enabled, 0) << "the other adapter is left alone";
        handler->unload();
        for (int a : {0, 1})
            EXPECT_EQ(adapterAt(a).open, 0) << "closing closes what the library opened: " << a;
        ASSERT_TRUE(sim.start(scenario())) << "both adapters' functions off again";
    }
}

TEST_F(Adapters, AnUnknownSerialFailsSaysSoAndClosesWhatWasOpened)
{
    handler->Set_chosen_serial(QStringLiteral("0000FFFF"));
    EXPECT_FALSE(handler->detect_dongle());
    EXPECT_TRUE(handler->Get_chosen_missing());
    EXPECT_FALSE(handler->Get_adapter_open());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], (LogLine{catConverter, lError,
                                 QStringLiteral("No IO-Warrior adapter with serial number 0000FFFF : found 0000C0DE, 0000BEEF")}));
    for (int a : {0, 1})
        EXPECT_EQ(adapterAt(a).open, 0) << a;
    EXPECT_FALSE(handler->enable_IIC());
    EXPECT_TRUE(written().empty());

    handler->Set_chosen_serial(QStringLiteral("0000BEEF"));
    EXPECT_TRUE(handler->detect_dongle()) << "once it is attached after all";
    EXPECT_FALSE(handler->Get_chosen_missing());
}

TEST_F(Adapters, ReopeningTheChosenAdapterKeepsDescriptorZeroAndTheBus)
{
    // Descriptor 0 holds a file of the test's own, as standard input would.
    const std::string path = sim.tempDir() + "/stdin.txt";
    const int saved = ::dup(0);
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    ASSERT_GT(fd, 0);
    ::dup2(fd, 0);
    ::close(fd);
    struct stat before {};
    ASSERT_EQ(::fstat(0, &before), 0);

    handler->Set_chosen_serial(QStringLiteral("0000BEEF"));
    ASSERT_NO_FATAL_FAILURE(connect());
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        ASSERT_TRUE(handler->detect_dongle()) << "opening over the open adapters closes them first";
        ASSERT_TRUE(handler->enable_IIC());
        EXPECT_TRUE(handler->get_slave_address());
        EXPECT_EQ(found(), (std::vector<int>{0x28, 0x40}));
        handler->unload();
        EXPECT_EQ(adapterAt(0).open + adapterAt(1).open, 0);
        ASSERT_TRUE(handler->detect_dongle());
    }
    struct stat after {};
    EXPECT_EQ(::fstat(0, &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the library's closes of descriptor 0 missed the program's file";
    ::dup2(saved, 0);
    ::close(saved);
}

TEST_F(Adapters, ListingNamesEveryAdapterAndLeavesTheOpenStateAsItWas)
{
    sim.iowsim_set_product_id(0x1500);
    const QList<T_Orvel_Handler::AdapterInfo> both = {{QStringLiteral("0000C0DE"), 0x1500},
                                                      {QStringLiteral("0000BEEF"), 0x1503}};
    EXPECT_EQ(handler->list_adapters(), both);
    EXPECT_EQ(adapterAt(0).open + adapterAt(1).open, 0) << "opened for the look only";

    handler->Set_chosen_serial(QStringLiteral("0000BEEF"));
    ASSERT_NO_FATAL_FAILURE(connect());
    EXPECT_EQ(handler->list_adapters(), both);
    EXPECT_EQ(adapterAt(1).open, 1) << "the adapter in use stays open";
    EXPECT_TRUE(handler->get_slave_address());
    EXPECT_EQ(found(), (std::vector<int>{0x28, 0x40}));
    handler->unload();

    for (int a : {0, 1})
        ASSERT_TRUE(sim.iowsim_set_fault_at(a, -1, IOWSIM_FAULT_UNPLUGGED, 1));
    EXPECT_TRUE(handler->list_adapters().isEmpty());
}

TEST_F(Adapters, TheTrafficSinkSeesEveryReportAsTheAdapterDid)
{
    struct Seen {
        bool written;
        unsigned long pipe;
        Bytes bytes;
    };
    std::vector<Seen> seen;
    handler->set_traffic_sink([&](bool w, unsigned long pipe, const uint8_t *report, size_t length) {
        seen.push_back({w, pipe, Bytes(report, report + length)});
    });
    handler->Set_chosen_serial(QStringLiteral("0000BEEF"));
    ASSERT_NO_FATAL_FAILURE(connect_traffic_kept());
    handler->get_device_memory();
    const std::vector<iowsim_report> traffic = sim.takeTraffic();
    ASSERT_EQ(seen.size(), traffic.size());
    for (size_t i = 0; i < traffic.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].written, traffic[i].direction == IOWSIM_TO_ADAPTER);
        EXPECT_EQ(seen[i].pipe, traffic[i].pipe);
        EXPECT_EQ(seen[i].bytes, Bytes(traffic[i].data, traffic[i].data + traffic[i].length));
    }
    handler->set_traffic_sink(nullptr);
    seen.clear();
    handler->get_slave_address();
    EXPECT_TRUE(seen.empty());
}

} // namespace
