#include "simulator.h"

#include "iowsim_control.h"
#include "fault_control.h"
#include "scenario.h"

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
    std::vector<Transmitter> bus;
    armed_.clear();
    for (std::size_t i = 0; i < scenario.transmitters.size(); ++i) {
        TransmitterSetup &setup = scenario.transmitters[i];
        if (setup.faults_after >= 0) {
            ArmedFault later;
            later.transmitter = static_cast<int>(i);
            later.faults = setup.faults;
            later.remaining = static_cast<unsigned long>(setup.faults_after);
            armed_.push_back(later);
            setup.faults = TransmitterFaults{};
        }
        bus.emplace_back(setup, static_cast<int>(i), now);
    }
    StateStore state(state_path);
    state.restore(scenario.id, bus);

    adapter_ = std::make_unique<Adapter>(scenario.adapter, std::move(bus), now);
    scenario_id_ = scenario.id;
    state_ = state;
    traffic_.clear();
    save_failed_ = false;
    loaded_ = true;
    interruptReads();
    return true;
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
            if (it->transmitter >= 0 && static_cast<std::size_t>(it->transmitter) < adapter_->bus().size())
                adapter_->bus()[static_cast<std::size_t>(it->transmitter)].faults() = it->faults;
        } else {
            setFault(*this, it->transmitter, static_cast<iowsim_fault>(it->fault), it->value);
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
    for (Transmitter &transmitter : adapter_->bus()) changed = transmitter.takeMemoryChanged() || changed;
    if (!changed || state_.save(scenario_id_, adapter_->bus())) return;
    if (!save_failed_) std::fprintf(stderr, "iowsim: cannot write the state file %s\n", state_.path().c_str());
    save_failed_ = true;
}

}  // namespace iowsim
