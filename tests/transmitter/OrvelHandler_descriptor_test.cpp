// The maker's library closes descriptor 0 each time it closes the adapter; files the program
// opened must not be the ones it closes.
#include "handler_fixture.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <string>

using Descriptors = HandlerOnSim;

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
