#include "cli/cli_signals.h"

#include "cli/cli_output.h"

#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#ifndef _WIN32
#include <csignal>
#include <pthread.h>
#include <unistd.h>
#endif

namespace cli_signals {

namespace {

enum class Mode { End, Stop, Hold };

std::mutex lock;
Mode mode = Mode::End;       // under the lock
bool told = false;           // under the lock
std::atomic<int> stop{0}; // the signal that asked to stop

#ifndef _WIN32
sigset_t quit_signals()
{
    sigset_t set;
    sigemptyset(&set);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, signal);
    return set;
}

void take(int signal)
{
    std::lock_guard<std::mutex> guard(lock);
    switch (mode) {
    case Mode::End:
        cli_output::error(cli_output::Kind::Interrupted, QStringLiteral("Interrupted; nothing was being written"),
                          128 + signal);
        // Nothing to finish: the journal and the outputs are written line by line.
        ::_exit(128 + signal);
    case Mode::Stop:
        if (stop == 0)
            stop = signal;
        break;
    case Mode::Hold:
        if (!std::exchange(told, true))
            cli_output::notice(cli_output::Kind::Interrupted,
                               QStringLiteral("Interrupted: finishing the write first, so that the transmitter is not "
                                              "left half written"));
        break;
    }
}
#endif

} // namespace

bool install()
{
#ifndef _WIN32
    const sigset_t set = quit_signals();
    // Every thread started later inherits the mask, so only the watcher ever takes them.
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0)
        return false;
    try {
        std::thread([set] {
            for (;;) {
                int signal = 0;
                if (sigwait(&set, &signal) == 0)
                    take(signal);
            }
        }).detach();
    } catch (const std::system_error &) {
        pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
        return false;
    }
    return true;
#else
    return false;
#endif
}

void stop_softly()
{
    std::lock_guard<std::mutex> guard(lock);
    mode = Mode::Stop;
}

bool stop_requested()
{
    return stop != 0;
}

int stop_signal()
{
    return stop;
}

void hold_for_write()
{
    std::lock_guard<std::mutex> guard(lock);
    mode = Mode::Hold;
}

} // namespace cli_signals
