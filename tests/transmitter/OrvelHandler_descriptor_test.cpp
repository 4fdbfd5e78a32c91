// The maker's library closes descriptor 0 each time it closes the adapter, also when opening
// over one still open; files the program opened must not be the ones it closes.
#include "handler_fixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <string>

using Descriptors = HandlerOnSim;

namespace {

// For its lifetime descriptor 0 holds a file of the test's own, as standard input would.
class OwnDescriptorZero
{
public:
    explicit OwnDescriptorZero(const std::string &path) : f_path(path), f_saved(::dup(0))
    {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd > 0) {
            ::dup2(fd, 0);
            ::close(fd);
        }
        f_ok = fd >= 0 && ::fstat(0, &f_st) == 0;
    }
    ~OwnDescriptorZero()
    {
        if (f_saved >= 0) {
            ::dup2(f_saved, 0);
            ::close(f_saved);
        } else {
            ::close(0);
        }
    }
    OwnDescriptorZero(const OwnDescriptorZero &) = delete;
    OwnDescriptorZero &operator=(const OwnDescriptorZero &) = delete;

    bool ok() const { return f_ok; }
    // Descriptor 0 is still the test's file, open, and takes what is written to it.
    bool intact(const std::string &line) const
    {
        struct stat now {};
        if (::fstat(0, &now) != 0 || now.st_dev != f_st.st_dev || now.st_ino != f_st.st_ino)
            return false;
        if (::write(0, line.data(), line.size()) != ssize_t(line.size()))
            return false;
        std::ifstream in(f_path);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        return text.size() >= line.size() && text.compare(text.size() - line.size(), line.size(), line) == 0;
    }

private:
    std::string f_path;
    int f_saved;
    struct stat f_st {};
    bool f_ok = false;
};

struct CloseCase {
    const char *name;
    std::function<void(T_Orvel_Handler &h, zorbit_test::SimControl &sim)> closes;
};

std::ostream &operator<<(std::ostream &os, const CloseCase &c)
{
    return os << c.name;
}

// Each ends the adapter's connection and opens it again.
const CloseCase CloseCases[] = {
    {"ReopenAfterATimeOut",
     [](T_Orvel_Handler &h, zorbit_test::SimControl &sim) {
         sim.iowsim_set_fault(0, IOWSIM_FAULT_DROP_ANSWERS, 1);
         for (int i = 0; i < T_Orvel_Handler::SilentRequestsLimit; ++i)
             h.answers_at(0x28);
         EXPECT_TRUE(h.Get_adapter_lost());
         sim.iowsim_set_fault(0, IOWSIM_FAULT_DROP_ANSWERS, 0);
         EXPECT_TRUE(h.detect_dongle());
     }},
    {"ReopenOverAnOpenAdapter", [](T_Orvel_Handler &h, zorbit_test::SimControl &) { EXPECT_TRUE(h.detect_dongle()); }},
    {"UnloadAndOpen",
     [](T_Orvel_Handler &h, zorbit_test::SimControl &) {
         h.unload();
         EXPECT_TRUE(h.detect_dongle());
     }},
};

class ClosingTheAdapter : public HandlerOnSim, public ::testing::WithParamInterface<CloseCase>
{
};

} // namespace

TEST_P(ClosingTheAdapter, LeavesTheProgramsDescriptorZeroAndTheAdapterWorks)
{
    const OwnDescriptorZero zero(sim.tempDir() + "/stdin.txt");
    ASSERT_TRUE(zero.ok());
    ASSERT_NO_FATAL_FAILURE(connect());
    ASSERT_TRUE(zero.intact("connected\n"));
    for (int round = 0; round < 2; ++round) {
        GetParam().closes(*handler, sim);
        EXPECT_TRUE(zero.intact("round " + std::to_string(round) + "\n")) << "round " << round;
        ASSERT_TRUE(handler->enable_IIC());
        // A scan, as after every opening: it finds the transmitter.
        EXPECT_TRUE(handler->get_slave_address()) << "round " << round;
        EXPECT_EQ(handler->Get_Device().Get_slave_addr(), 0x28);
        EXPECT_FALSE(handler->Get_adapter_lost());
    }
    EXPECT_EQ(adapter().open, 1);
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingTheAdapter, ::testing::ValuesIn(CloseCases),
                         [](const ::testing::TestParamInfo<CloseCase> &info) { return std::string(info.param.name); });

TEST_F(Descriptors, FileOpenedBetweenReconnectsReceivesEveryLine)
{
    ASSERT_TRUE(handler->detect_dongle());
    handler->unload(); // the library's first close of descriptor 0
    const std::string path = sim.tempDir() + "/lines.txt";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    ASSERT_GE(fd, 0);
    EXPECT_NE(fd, 0) << "descriptor 0 was open again";
    int written = 0;
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(handler->detect_dongle());
        for (const char *when : {"open", "closed"}) {
            const std::string line = std::to_string(i) + " " + when + "\n";
            written += ::write(fd, line.data(), line.size()) == ssize_t(line.size());
            if (std::string(when) == "open")
                handler->unload();
        }
    }
    EXPECT_EQ(::close(fd), 0);
    EXPECT_EQ(written, 100);
    std::ifstream in(path);
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    EXPECT_EQ(lines, 100);
}

TEST_F(Descriptors, ClosedDescriptorZeroIsReopenedAtConstruction)
{
    const int saved = ::dup(0);
    ASSERT_GE(saved, 0);
    ::close(0);
    handler.reset();
    handler = std::make_unique<T_Orvel_Handler>(nullptr);
    EXPECT_NE(fcntl(0, F_GETFD), -1);
    ::dup2(saved, 0);
    ::close(saved);
}
