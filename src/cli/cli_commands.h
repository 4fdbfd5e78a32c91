// The subcommands of the command line, each returning the exit status. One thread only.
#pragma once

#include <QString>

namespace cli_commands {

// Exit status of the command line.
enum Status { Ok = 0, Failed = 1, Usage = 2 };

// Measurements lost in a row, each followed by a search for the transmitter, after which
// `measure` gives up.
constexpr int MeasureFailuresLimit = 10;

struct Options {
    bool json = false;
    bool yes = false;
    int address = -1;
    int to = -1;
    int count = -1; // measurements; -1 until interrupted
    int interval = 500;
    QString image;
    QString serial;       // the adapter to use; empty: the first
    bool verbose = false; // bus traffic and the handler's log lines on standard error
    bool record = false;  // measure: each measurement goes to the file of recorded runs too
    QString run;          // runs export: the run's number or uid
    QString csv;          // runs export: the file to write
};

int scan(const Options &o);
int info(const Options &o);
int dump(const Options &o);
int readdress(const Options &o);
int restore(const Options &o);
int measure(const Options &o);
// Every adapter attached: serial, product id, whether it is an IO-Warrior 56.
int adapters(const Options &o);
// The re-addressing journal, newest attempt first; no adapter needed.
int journal(const Options &o);
// The recorded runs, newest first; with a run, that run written to a file in the table
// window's export format. No adapter needed.
int runs(const Options &o);

} // namespace cli_commands
