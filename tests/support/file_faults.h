// File faults a user or the system can produce, made real also for root: permission cases run
// in a child that drops to an unprivileged user, a full disk is a small file system mounted in a
// child of its own, and a write can fail through the writers' seam.
#pragma once

#include <QString>
#include <functional>
#include <map>
#include <string>

namespace file_faults {

enum class Fault {
    ReadOnlyFile,
    ReadOnlyFolder,
    DirectoryInPlace,
    FullFileSystem,
    InjectedWriteFailure,
    ReadOnlyMidSession,
};
const char *name(Fault fault);

// The file under test is `folder`/`fileName`; what a case found is returned as named values.
using Findings = std::map<std::string, std::string>;

struct Outcome {
    bool skipped = false;
    std::string skipReason;
    bool exitedNormally = false; // no abort, no signal
    Findings findings;
    // What the case found under `key`, or "<missing>".
    std::string found(const char *key) const
    {
        const auto it = findings.find(key);
        return it == findings.end() ? std::string("<missing>") : it->second;
    }
};

// Makes the fault real for `folder`/`fileName` (mid-session faults: what comes after the
// session started; see `strike`).
void apply(Fault fault, const QString &folder, const QString &fileName);

// Runs `body` in a forked child prepared for `fault`: a small file system mounted over `folder`
// for FullFileSystem (filled up when the body strikes, after it laid down the old content),
// an unprivileged user for the permission faults when running as root (the tree below `top`
// is handed to that user first). The body gets a callback that applies the fault when it is due.
using Body = std::function<Findings(const std::function<void()> &strike)>;
Outcome runInChild(Fault fault, const QString &top, const QString &folder, const QString &fileName,
                   const Body &body);

} // namespace file_faults
