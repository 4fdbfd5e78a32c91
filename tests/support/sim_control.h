// Loads the simulated adapter library by file name through the loader, as the
// program loads the real one, and resolves its 17 entry points and its iowsim_
// control functions. Tests never link the simulator.
// Threading: construct, start() and destroy on one thread; the resolved
// functions may then be called from any thread.
#pragma once

#include "transmitter/iowkit_abi.h"
#include "iowsim_control.h"

#include <string>
#include <vector>

// X-macro lists of every name the helper resolves.
#define ZORBIT_IOWKIT_ENTRY_POINTS(X)                                                                        \
    X(IowKitOpenDevice) X(IowKitCloseDevice) X(IowKitWrite) X(IowKitRead) X(IowKitReadNonBlocking)         \
    X(IowKitReadImmediate) X(IowKitGetNumDevs) X(IowKitGetDeviceHandle) X(IowKitSetLegacyOpenMode)         \
    X(IowKitGetProductId) X(IowKitGetRevision) X(IowKitGetThreadHandle) X(IowKitGetSerialNumber)           \
    X(IowKitSetTimeout) X(IowKitSetWriteTimeout) X(IowKitCancelIo) X(IowKitVersion)

#define ZORBIT_IOWSIM_CONTROL_FUNCTIONS(X)                                                                   \
    X(iowsim_load_scenario) X(iowsim_reload) X(iowsim_state_path) X(iowsim_set_fault) X(iowsim_arm_fault)       \
    X(iowsim_clear_faults) \
    X(iowsim_set_product_id) X(iowsim_set_latency_ms) X(iowsim_set_signal) X(iowsim_transmitter_count)       \
    X(iowsim_get_transmitter) X(iowsim_get_adapter) X(iowsim_checksum) X(iowsim_take_traffic)                \
    X(iowsim_traffic_size) X(iowsim_clear_traffic) X(iowsim_delay_answer) X(iowsim_set_close_descriptor_zero)  \
    X(iowsim_set_fault_at) X(iowsim_adapter_count) X(iowsim_adapter_index) X(iowsim_transmitter_count_at)      \
    X(iowsim_get_transmitter_at) X(iowsim_get_adapter_at)

namespace zorbit_test {

class SimControl {
public:
    static constexpr const char *kLibraryName = "libiowkit.so.1";

    explicit SimControl(const std::string &library = kLibraryName);
    ~SimControl();
    SimControl(const SimControl &) = delete;
    SimControl &operator=(const SimControl &) = delete;

    // True when the library was found and every name resolved; error() says what failed.
    bool loaded() const { return error_.empty(); }
    const std::string &error() const { return error_; }

    // A fresh simulation: the scenario file (empty = the built-in default), the
    // state file inside this helper's own temporary folder, no USB latency.
    bool start(const std::string &scenario_path = {}, std::string *error = nullptr);
    // Writes text into a file of the temporary folder and returns its path.
    std::string writeFile(const std::string &name, const std::string &text) const;
    const std::string &tempDir() const { return temp_dir_; }
    std::string statePath() const { return temp_dir_ + "/state.ini"; }
    // Every recorded report, oldest first; the record is empty afterwards.
    std::vector<iowsim_report> takeTraffic();

#define ZORBIT_SIM_SLOT(name) decltype(&::name) name = nullptr;
    ZORBIT_IOWKIT_ENTRY_POINTS(ZORBIT_SIM_SLOT)
    ZORBIT_IOWSIM_CONTROL_FUNCTIONS(ZORBIT_SIM_SLOT)
#undef ZORBIT_SIM_SLOT

private:
    void *library_ = nullptr;
    std::string error_;
    std::string temp_dir_;
};

}  // namespace zorbit_test
