// Ends the program as a click on the main window's close box would when the session asks it to
// (SIGTERM, SIGINT, SIGHUP): settings are stored and the adapter is closed.
// Threading: install on the main thread; the signal handler only writes one byte to a pipe.
#pragma once

#include <QObject>
#include <functional>

namespace quit_signals {

// Calls `quit` on the main thread for each such signal; false when the signals could not be
// caught (the program then ends as the system's default says).
bool install(QObject *owner, std::function<void()> quit);

} // namespace quit_signals
