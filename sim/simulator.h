// The one simulation of this process: the adapter with its bus, the state file
// and the traffic record.
// Threading: hold lock() while touching anything here; a waiting IowKitRead
// sleeps on answered() with the lock released and gives up when generation() moves.
#pragma once

#include "adapter.h"
#include "state_store.h"
#include "traffic_log.h"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace iowsim {

class Simulator {
public:
    static Simulator &instance();

    // Locks; on first use builds the simulation from the environment.
    std::unique_lock<std::mutex> lock();
    // Locks without building anything, for calls that replace the simulation.
    std::unique_lock<std::mutex> lockOnly() { return std::unique_lock<std::mutex>(mutex_); }

    // The rest needs the lock held.
    bool load(const std::string &scenario_path, const std::string &state_path, std::string &error);
    bool loadFromEnvironment(std::string &error);

    Adapter &adapter() { return *adapter_; }
    TrafficLog &traffic() { return traffic_; }
    const StateStore &stateStore() const { return state_; }

    void *handle() { return &handle_tag_; }
    bool isOpenHandle(const void *handle) const { return handle == &handle_tag_ && adapter_->isOpen(); }

    std::uint64_t generation() const { return generation_; }
    // Close, unplug, cancel and reload end every waiting read.
    void interruptReads();
    std::condition_variable &answered() { return answered_; }

    // A fault that starts once the program has written `remaining` more reports. `fault` 0 puts
    // the whole `faults` in place at once.
    struct ArmedFault {
        int transmitter = -1;
        int fault = 0;
        int value = 0;
        TransmitterFaults faults;
        unsigned long remaining = 0;
    };
    void arm(const ArmedFault &armed) { armed_.push_back(armed); }
    void disarm() { armed_.clear(); }
    // Before each report the program writes: puts the faults that are due in place.
    void startDueFaults();
    // After each report the program wrote.
    void countReport();

    // Writes the state file when a transmitter's memory changed.
    void saveMemoryIfChanged();

private:
    Simulator() = default;

    std::mutex mutex_;
    std::condition_variable answered_;
    bool loaded_ = false;
    std::unique_ptr<Adapter> adapter_;
    std::string scenario_id_;
    StateStore state_;
    TrafficLog traffic_;
    std::uint64_t generation_ = 0;
    std::vector<ArmedFault> armed_;
    bool save_failed_ = false;
    char handle_tag_ = 0;
};

}  // namespace iowsim
