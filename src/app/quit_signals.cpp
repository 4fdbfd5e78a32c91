#include "app/quit_signals.h"

#include <QSocketNotifier>

#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace quit_signals {

#ifndef _WIN32
namespace {

int wake[2] = {-1, -1};

void on_signal(int)
{
    const char byte = 1;
    // Nothing else is safe in a signal handler; a full pipe already has a wake-up waiting.
    [[maybe_unused]] const ssize_t written = ::write(wake[0], &byte, 1);
}

} // namespace

bool install(QObject *owner, std::function<void()> quit)
{
    if (wake[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wake) != 0)
        return false;
    auto *notifier = new QSocketNotifier(wake[1], QSocketNotifier::Read, owner); // owned by owner
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [quit = std::move(quit)] {
        char bytes[16];
        while (::read(wake[1], bytes, sizeof bytes) > 0) {
        }
        quit();
    });
    struct sigaction action = {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    bool ok = true;
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        ok = ::sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}
#else
bool install(QObject *, std::function<void()>)
{
    return false;
}
#endif

} // namespace quit_signals
