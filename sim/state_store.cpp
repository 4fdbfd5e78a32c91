#include "state_store.h"

#include "ini_file.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace iowsim {
namespace {

constexpr const char *kTransmitterPrefix = "transmitter.";

// "transmitter." for the first adapter, "adapter.<serial>.transmitter." for a further one.
std::string sectionPrefix(std::size_t adapter, const StoredBus &bus) {
    return adapter == 0 ? std::string(kTransmitterPrefix) : "adapter." + bus.serial + "." + kTransmitterPrefix;
}

bool parsePage(const std::string &text, Page &page) {
    std::istringstream in(text);
    for (std::uint16_t &word : page) {
        std::string token;
        if (!(in >> token)) return false;
        char *end = nullptr;
        const unsigned long value = std::strtoul(token.c_str(), &end, 16);
        if (*end != '\0' || value > 0xFFFF) return false;
        word = static_cast<std::uint16_t>(value);
    }
    std::string rest;
    return !(in >> rest);
}

bool restoreOne(const IniSection &section, Transmitter &transmitter) {
    Memory memory = transmitter.memory();
    int current_page = -1;
    for (const IniEntry &entry : section.entries) {
        if (entry.key == "current_page") {
            current_page = std::atoi(entry.value.c_str());
        } else if (entry.key.size() == 5 && entry.key.compare(0, 4, "page") == 0) {
            const int page = entry.key[4] - '0';
            if (page < 0 || page >= kPages || !parsePage(entry.value, memory[page])) return false;
        }
    }
    if (current_page < 0 || current_page >= kPages) return false;
    transmitter.restoreMemory(memory, current_page);
    return true;
}

}  // namespace

void StateStore::restore(const std::string &scenario_id, const std::vector<StoredBus> &buses) const {
    if (path_.empty() || !std::filesystem::exists(path_)) return;
    std::vector<IniSection> sections;
    std::string error;
    if (!readIniFile(path_, sections, error)) {
        std::fprintf(stderr, "iowsim: state ignored: %s\n", error.c_str());
        return;
    }
    bool same_scenario = false;
    for (const IniSection &section : sections)
        if (section.name == "state")
            for (const IniEntry &entry : section.entries)
                if (entry.key == "scenario") same_scenario = entry.value == scenario_id;
    if (!same_scenario) return;
    for (std::size_t adapter = 0; adapter < buses.size(); ++adapter) {
        const std::string prefix = sectionPrefix(adapter, buses[adapter]);
        for (const IniSection &section : sections) {
            if (section.name.compare(0, prefix.size(), prefix) != 0) continue;
            for (Transmitter &transmitter : *buses[adapter].transmitters)
                if (transmitter.name() == section.name.substr(prefix.size()) && !restoreOne(section, transmitter))
                    std::fprintf(stderr, "iowsim: state of %s ignored: malformed\n", section.name.c_str());
        }
    }
}

bool StateStore::save(const std::string &scenario_id, const std::vector<StoredBus> &buses) const {
    if (path_.empty()) return true;
    std::error_code ignored;
    const std::filesystem::path path(path_);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ignored);
    // Written beside the file and renamed over it, so a crash never leaves half a state.
    const std::string temporary = path_ + ".new";
    {
        std::ofstream out(temporary, std::ios::trunc);
        out << "; Memory of the simulated transmitters. Delete this file to start again from the scenario.\n"
            << "[state]\nscenario = " << scenario_id << "\n";
        for (std::size_t adapter = 0; adapter < buses.size(); ++adapter) {
            for (const Transmitter &transmitter : *buses[adapter].transmitters) {
                out << "\n[" << sectionPrefix(adapter, buses[adapter]) << transmitter.name()
                    << "]\ncurrent_page = " << transmitter.currentPage() << "\n";
                for (int page = 0; page < kPages; ++page) {
                    out << "page" << page << " =";
                    char word[8];
                    for (std::uint16_t value : transmitter.memory()[page]) {
                        std::snprintf(word, sizeof word, " %04X", value);
                        out << word;
                    }
                    out << "\n";
                }
            }
        }
        if (!out.flush()) return false;
    }
    std::filesystem::rename(temporary, path, ignored);
    return !ignored;
}

std::string StateStore::defaultPath() {
    const char *data_home = std::getenv("XDG_DATA_HOME");
    if (data_home && data_home[0] == '/') return std::string(data_home) + "/iowsim/state.ini";
    const char *home = std::getenv("HOME");
    if (home && home[0] != '\0') return std::string(home) + "/.local/share/iowsim/state.ini";
    return {};
}

}  // namespace iowsim
