// Keeps the transmitters' non-volatile memory in a file between runs, as real
// chips keep it between power cycles. One file remembers one scenario: the first
// adapter's transmitters by name, as a file of one adapter always did, every
// further adapter's by its serial and their name.
// Threading: not thread-safe; the simulator uses it only under its lock.
#pragma once

#include "transmitter.h"

#include <string>
#include <utility>
#include <vector>

namespace iowsim {

// One adapter's bus as the state file keys it.
struct StoredBus {
    std::string serial;  // not used for the first adapter
    std::vector<Transmitter> *transmitters = nullptr;
};

class StateStore {
public:
    // An empty path switches persistence off.
    explicit StateStore(std::string path = {}) : path_(std::move(path)) {}

    const std::string &path() const { return path_; }

    // Overlays the stored memory onto the transmitters of the same name on the same adapter
    // (buses[0] the first adapter). A missing file, or one written for another scenario,
    // leaves them alone.
    void restore(const std::string &scenario_id, const std::vector<StoredBus> &buses) const;
    // Writes the memory of every transmitter; false when the file could not be written.
    bool save(const std::string &scenario_id, const std::vector<StoredBus> &buses) const;

    // $XDG_DATA_HOME/iowsim/state.ini, else ~/.local/share/iowsim/state.ini; empty without a home.
    static std::string defaultPath();

private:
    std::string path_;
};

}  // namespace iowsim
