// The one simulation of this process: the adapters, each with its bus, the state
// file and the traffic record.
// Threading: hold lock() while touching anything here; a waiting IowKitRead
// sleeps on answered() with the lock released and gives up when generation() or
// its adapter's closings() moves.
#pragma once

#include "adapter.h"
#include "scenario.h"
#include "state_store.h"
#include "traffic_log.h"

#include <array>
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

    // Adapters in scenario order; the first is the one the control calls address by default.
    std::size_t adapterCount() const { return adapters_.size(); }
    Adapter &adapter(std::size_t index = 0) { return *adapters_.at(index); }
    // Index of the adapter with this serial, or -1.
    int adapterIndex(const std::string &serial) const;
    TrafficLog &traffic() { return traffic_; }
    const StateStore &stateStore() const { return state_; }

    // Each adapter's handle stays the same for the whole process, across reloads.
    void *handle(std::size_t index) { return &handle_tags_.at(index); }
    // The index of the open adapter behind a handle; -1 for a closed, unknown or foreign one.
    int openAdapterIndex(const void *handle) const;
    // The adapters open now, in the library's order (scenario order).
    std::vector<std::size_t> openAdapters() const;

    // A reload ends every waiting read.
    std::uint64_t generation() const { return generation_; }
    void interruptReads();
    // Wakes the waiting reads to look again (after a close or unplug, which each adapter counts).
    void wakeReads() { answered_.notify_all(); }
    std::condition_variable &answered() { return answered_; }
    // A fault that starts once the program has written `remaining` more reports. `fault` 0 puts
    // the whole `faults` in place at once.
    struct ArmedFault {
        std::size_t adapter = 0;
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
    std::vector<std::unique_ptr<Adapter>> adapters_;
    std::string scenario_id_;
    StateStore state_;
    TrafficLog traffic_;
    std::uint64_t generation_ = 0;
    std::vector<ArmedFault> armed_;
    bool save_failed_ = false;
    std::array<char, kMaxAdapters> handle_tags_{};
};

}  // namespace iowsim
