#include "ini_file.h"

#include <fstream>

namespace iowsim {
namespace {

std::string trimmed(const std::string &text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string withoutComment(const std::string &line) {
    for (std::size_t i = 0; i < line.size(); ++i) {
        const bool starts_comment = line[i] == ';' || line[i] == '#';
        if (starts_comment && (i == 0 || line[i - 1] == ' ' || line[i - 1] == '\t')) return line.substr(0, i);
    }
    return line;
}

}  // namespace

bool readIniFile(const std::string &path, std::vector<IniSection> &sections, std::string &error) {
    std::ifstream in(path);
    if (!in) {
        error = path + ": cannot be opened";
        return false;
    }
    sections.clear();
    std::string raw;
    for (int line_number = 1; std::getline(in, raw); ++line_number) {
        const std::string line = trimmed(withoutComment(raw));
        const std::string where = path + ":" + std::to_string(line_number) + ": ";
        if (line.empty()) continue;
        if (line.front() == '[') {
            if (line.back() != ']' || line.size() < 3) {
                error = where + "malformed section header";
                return false;
            }
            sections.push_back({trimmed(line.substr(1, line.size() - 2)), line_number, {}});
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos || equals == 0) {
            error = where + "expected key = value";
            return false;
        }
        if (sections.empty()) {
            error = where + "key outside a section";
            return false;
        }
        sections.back().entries.push_back({trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1)), line_number});
    }
    return true;
}

}  // namespace iowsim
