// Minimal reader of the INI files the simulator uses (scenario and state).
#pragma once

#include <string>
#include <vector>

namespace iowsim {

struct IniEntry {
    std::string key;
    std::string value;
    int line = 0;
};

struct IniSection {
    std::string name;
    int line = 0;
    std::vector<IniEntry> entries;
};

// Sections in file order; "key = value" lines; ';' or '#' start a comment
// (at the start of a line or after a blank). Returns false with a message
// naming the file and line on anything else.
bool readIniFile(const std::string &path, std::vector<IniSection> &sections, std::string &error);

}  // namespace iowsim
