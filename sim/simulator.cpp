#include "simulator.h"

#include "iowsim_control.h"
#include "fault_control.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace iowsim {

Simulator &Simulator::instance() {
    static Simulator simulator;
    return simulator;
}

std::unique_lock<std::mutex> Simulator::lock() {
    std::unique_lock<std::mutex> guard(mutex_);
    if (!loaded_) {
        std::string error;
        loadFromEnvironment(error);
    }
    return guard;
}

bool Simulator::load(const std::string &scenario_path, const std::string &state_path, std::string &error) {
    Scenario scenario = defaultScenario();
    if (!scenario_path.empty() && !readScenario(scenario_path, scenario, error)) return false;

    const TimePoint now = Clock::now();
    std::vector<std::vector<Transmitter>> buses(scenario.adapters.size());
    std::vector<StoredBus> stored;
    armed_.clear();
    for (std::size_t a = 0; a < scenario.adapters.size(); ++a) {
        std::vector<TransmitterSetup> &setups = scenario.adapters[a].transmitters;
        for (std::size_t i = 0; i < setups.size(); ++i) {
            TransmitterSetup &setup = setups[i];
            if (setup.faults_after >= 0) {
                ArmedFault later;
                later.adapter = a;
                later.transmitter = static_cast<int>(i);
                later.faults = setup.faults;
                later.remaining = static_cast<unsigned long>(setup.faults_after);
                armed_.push_back(later);
                setup.faults = TransmitterFaults{};
            }
            buses[a].emplace_back(setup, static_cast<int>(i), now);
        }
        stored.push_back({scenario.adapters[a].adapter.serial, &buses[a]});
    }
    StateStore state(state_path);
    state.restore(scenario.id, stored);

    adapters_.clear();
    for (std::size_t a = 0; a < scenario.adapters.size(); ++a)
        adapters_.push_back(std::make_unique<Adapter>(scenario.adapters[a].adapter, std::move(buses[a]), now));
    scenario_id_ = scenario.id;
    state_ = state;
    traffic_.clear();
    save_failed_ = false;
    loaded_ = true;
    interruptReads();
    return true;
}

int Simulator::adapterIndex(const std::string &serial) const {
    for (std::size_t i = 0; i < adapters_.size(); ++i)
        if (adapters_[i]->setup().serial == serial) return static_cast<int>(i);
    return -1;
}

int Simulator::openAdapterIndex(const void *handle) const {
    for (std::size_t i = 0; i < adapters_.size(); ++i)
        if (handle == &handle_tags_[i]) return adapters_[i]->isOpen() ? static_cast<int>(i) : -1;
    return -1;
}

std::vector<std::size_t> Simulator::openAdapters() const {
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < adapters_.size(); ++i)
        if (adapters_[i]->isOpen()) open.push_back(i);
    return open;
}

bool Simulator::loadFromEnvironment(std::string &error) {
    const char *scenario = std::getenv(IOWSIM_SCENARIO_ENV);
    const char *state = std::getenv(IOWSIM_STATE_ENV);  // set but empty: no persistence
    const std::string state_path = state ? state : StateStore::defaultPath();
    if (load(scenario ? scenario : "", state_path, error)) return true;
    std::fprintf(stderr, "iowsim: %s; using the default scenario\n", error.c_str());
    std::string ignored;
    load("", state_path, ignored);
    return false;
}

void Simulator::startDueFaults() {
    for (auto it = armed_.begin(); it != armed_.end();) {
        if (it->remaining > 0) {
            ++it;
            continue;
        }
        if (it->fault == 0) {
            std::vector<Transmitter> &bus = adapters_.at(it->adapter)->bus();
            if (it->transmitter >= 0 && static_cast<std::size_t>(it->transmitter) < bus.size())
                bus[static_cast<std::size_t>(it->transmitter)].faults() = it->faults;
        } else {
            setFault(*this, it->adapter, it->transmitter, static_cast<iowsim_fault>(it->fault), it->value);
        }
        it = armed_.erase(it);
    }
}

void Simulator::countReport() {
    for (ArmedFault &armed : armed_)
        if (armed.remaining > 0) --armed.remaining;
}

void Simulator::interruptReads() {
    ++generation_;
    answered_.notify_all();
}

void Simulator::saveMemoryIfChanged() {
    bool changed = false;
    std::vector<StoredBus> buses;
    for (const std::unique_ptr<Adapter> &adapter : adapters_) {
        for (Transmitter &transmitter : adapter->bus()) changed = transmitter.takeMemoryChanged() || changed;
        buses.push_back({adapter->setup().serial, &adapter->bus()});
    }
    if (!changed || state_.save(scenario_id_, buses)) return;
    if (!save_failed_) std::fprintf(stderr, "iowsim: cannot write the state file %s\n", state_.path().c_str());
    save_failed_ = true;
}

}  // namespace iowsim
