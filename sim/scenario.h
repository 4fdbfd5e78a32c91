// What a simulation starts from: the adapters and the transmitters on each one's bus,
// built in or read from a scenario file.
#pragma once

#include "adapter.h"
#include "transmitter.h"

#include <string>
#include <vector>

namespace iowsim {

// The most IO-Warriors the maker's library opens at once.
constexpr std::size_t kMaxAdapters = 16;

struct AdapterScenario {
    AdapterSetup adapter;
    std::vector<TransmitterSetup> transmitters;
};

struct Scenario {
    std::string id;  // "default" or the file's path; the state file remembers memory per scenario
    std::vector<AdapterScenario> adapters{1};  // never empty; the first is the [adapter] section
};

// One IO-Warrior 56 with one calibrated transmitter at 0x28: range 0 to 10 bar,
// mode PA, calibrated 07.04.2019, product code F01234E07P0056, memory page 0.
Scenario defaultScenario();

// Reads a scenario file (format in sim/scenarios/demo.ini). Returns false with a message on error.
bool readScenario(const std::string &path, Scenario &scenario, std::string &error);

}  // namespace iowsim
