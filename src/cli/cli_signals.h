// What SIGINT, SIGTERM and SIGHUP do to the command line. They are blocked in every thread and
// taken by one watching thread: outside a write they end the program at once with 128 + the
// signal's number (130 for Ctrl-C), as nothing is being written; once a write begins they are
// held until the program ends with the procedure's outcome; a measurement run takes them as its
// stop.
// Threading: install() on the main thread before any other thread starts; the rest from the
// main thread, while the watching thread reads the state under its lock.
#pragma once

namespace cli_signals {

// False when the signals keep the system's default (no watching thread could be started).
bool install();

// From now on a signal only asks the run to stop.
void stop_softly();
bool stop_requested();
// The signal that asked the run to stop; 0 while none did.
int stop_signal();

// The write begins: a signal no longer ends the program; the first one says on standard error
// that the write is being finished.
void hold_for_write();

} // namespace cli_signals
