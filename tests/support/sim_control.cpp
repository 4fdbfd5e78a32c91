#include "sim_control.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace zorbit_test {

SimControl::SimControl(const std::string &library) {
    char pattern[] = "/tmp/zorbit-sim-XXXXXX";
    if (const char *dir = mkdtemp(pattern)) temp_dir_ = dir;

    library_ = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        const char *reason = dlerror();
        error_ = reason ? reason : "cannot load " + library;
        return;
    }
#define ZORBIT_SIM_RESOLVE(name)                                              \
    name = reinterpret_cast<decltype(name)>(dlsym(library_, #name));          \
    if (!name) error_ += std::string(error_.empty() ? "missing:" : "") + " " #name;
    ZORBIT_IOWKIT_ENTRY_POINTS(ZORBIT_SIM_RESOLVE)
    ZORBIT_IOWSIM_CONTROL_FUNCTIONS(ZORBIT_SIM_RESOLVE)
#undef ZORBIT_SIM_RESOLVE
    if (temp_dir_.empty()) error_ += " no temporary folder";
}

SimControl::~SimControl() {
    if (library_) {
        // Leave nothing that could write into the folder removed below.
        if (iowsim_load_scenario) iowsim_load_scenario(nullptr, nullptr, nullptr, 0);
        dlclose(library_);
    }
    std::error_code ignored;
    if (!temp_dir_.empty()) std::filesystem::remove_all(temp_dir_, ignored);
}

bool SimControl::start(const std::string &scenario_path, std::string *error) {
    if (!loaded()) {
        if (error) *error = error_;
        return false;
    }
    char message[512] = {};
    const bool started = iowsim_load_scenario(scenario_path.empty() ? nullptr : scenario_path.c_str(),
                                              statePath().c_str(), message, sizeof message) != 0;
    if (started) iowsim_set_latency_ms(0);
    if (error) *error = message;
    return started;
}

std::string SimControl::writeFile(const std::string &name, const std::string &text) const {
    const std::string path = temp_dir_ + "/" + name;
    std::ofstream(path, std::ios::trunc) << text;
    return path;
}

std::vector<iowsim_report> SimControl::takeTraffic() {
    std::vector<iowsim_report> reports(iowsim_traffic_size());
    reports.resize(iowsim_take_traffic(reports.data(), reports.size()));
    return reports;
}

}  // namespace zorbit_test
