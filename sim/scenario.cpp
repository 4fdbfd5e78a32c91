#include "scenario.h"

#include "ini_file.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sstream>

namespace iowsim {
namespace {

// What the words of a page say about the transmitter, before encoding.
struct Identity {
    bool calibrated = true;
    long address = 0x28;
    float range_min = 0.0f;
    float range_max = 10.0f;
    long mode = 1;  // 0 PR, 1 PA, 2 PAA
    long day = 7, month = 4, year = 2019;
    long file = 1234, equipment = 7, place = 56;
};

// Calibration words 0x03..0x11 of a plausible, working sensor.
constexpr std::uint16_t kCalibrationWords[] = {0x0000, 0x0001, 0x1F40, 0x5A3C, 0x0123, 0x0F0A, 0x0012, 0x0034,
                                               0x0056, 0x0800, 0x4E20, 0x0007, 0x0190, 0x6C3A, 0x0025};

std::uint32_t floatBits(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

Page encode(const Identity &id) {
    Page page{};
    page[kComConfigWord] = static_cast<std::uint16_t>(id.address);
    if (!id.calibrated) return page;
    page[0x00] = static_cast<std::uint16_t>(id.equipment << 10 | id.place);
    page[0x01] = static_cast<std::uint16_t>(id.file);
    for (std::size_t i = 0; i < std::size(kCalibrationWords); ++i) page[0x03 + i] = kCalibrationWords[i];
    page[0x12] = static_cast<std::uint16_t>((id.year - 2010) << 11 | id.month << 7 | id.day << 2 | id.mode);
    const std::uint32_t low = floatBits(id.range_min), high = floatBits(id.range_max);
    page[0x13] = static_cast<std::uint16_t>(low >> 16);
    page[0x14] = static_cast<std::uint16_t>(low & 0xFFFF);
    page[0x15] = static_cast<std::uint16_t>(high >> 16);
    page[0x16] = static_cast<std::uint16_t>(high & 0xFFFF);
    return page;
}

// Fills the pages below the current one with the same image, as earlier writes
// would have left them, and the current page's checksum.
void placeImage(TransmitterSetup &setup, const Page &image, bool checksum_given, std::uint16_t checksum) {
    for (int page = 0; page <= setup.current_page; ++page) {
        setup.memory[page] = image;
        setup.memory[page][kChecksumWord] = pageChecksum(image);
    }
    if (checksum_given) setup.memory[setup.current_page][kChecksumWord] = checksum;
}

class Parser {
public:
    explicit Parser(std::string &error) : error_(error) {}

    bool number(const IniEntry &entry, long min, long max, long &out) {
        errno = 0;
        char *end = nullptr;
        const long value = std::strtol(entry.value.c_str(), &end, 0);
        if (entry.value.empty() || *end != '\0' || errno != 0 || value < min || value > max)
            return fail(entry, "expects a number from " + std::to_string(min) + " to " + std::to_string(max));
        out = value;
        return true;
    }

    bool flag(const IniEntry &entry, bool &out) {
        const std::string &v = entry.value;
        if (v == "true" || v == "yes" || v == "on" || v == "1") out = true;
        else if (v == "false" || v == "no" || v == "off" || v == "0") out = false;
        else return fail(entry, "expects true or false");
        return true;
    }

    // "none" gives -1, anything else a number in range.
    bool optionalByte(const IniEntry &entry, long max, int &out) {
        if (entry.value == "none") {
            out = -1;
            return true;
        }
        long value = 0;
        if (!number(entry, 0, max, value)) return false;
        out = static_cast<int>(value);
        return true;
    }

    bool fail(const IniEntry &entry, const std::string &what) {
        error_ = where_ + std::to_string(entry.line) + ": " + entry.key + " " + what;
        return false;
    }

    void setFile(const std::string &path) { where_ = path + ":"; }

    bool adapter(const IniSection &section, AdapterSetup &setup);
    bool transmitter(const IniSection &section, TransmitterSetup &setup);

private:
    bool identityKey(const IniEntry &entry, Identity &id, bool &handled);

    std::string &error_;
    std::string where_;
};

bool Parser::adapter(const IniSection &section, AdapterSetup &setup) {
    for (const IniEntry &e : section.entries) {
        long value = 0;
        if (e.key == "product_id") {
            if (!number(e, 0, 0xFFFF, value)) return false;
            setup.product_id = static_cast<unsigned long>(value);
        } else if (e.key == "serial") {
            // The state file keys further adapters' memory by serial, inside a section name.
            const bool plain = std::all_of(e.value.begin(), e.value.end(), [](char c) {
                return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_';
            });
            if (e.value.empty() || e.value.size() > 8 || !plain)
                return fail(e, "expects 1 to 8 letters, digits, '-' or '_'");
            setup.serial = e.value;
        } else if (e.key == "revision") {
            if (!number(e, 0, 0xFFFF, value)) return false;
            setup.revision = static_cast<unsigned long>(value);
        } else if (e.key == "latency_ms") {
            if (!number(e, 0, 1000, value)) return false;
            setup.latency = Millis(value);
        } else if (e.key == "supply_pin") {
            unsigned port = 0, bit = 0;
            char extra = 0;
            if (std::sscanf(e.value.c_str(), "%u.%u%c", &port, &bit, &extra) != 2 || port > 6 || bit > 7)
                return fail(e, "expects port.bit, port 0 to 6, bit 0 to 7");
            setup.supply_port = static_cast<int>(port);
            setup.supply_bit = static_cast<int>(bit);
        } else if (e.key == "plugged") {
            if (!flag(e, setup.plugged)) return false;
        } else if (e.key == "arbitration_lost") {
            if (!flag(e, setup.arbitration_lost)) return false;
        } else if (e.key == "drop_answers") {
            if (!flag(e, setup.drop_answers)) return false;
        } else if (e.key == "close_descriptor_zero") {
            if (!flag(e, setup.close_descriptor_zero)) return false;
        } else if (e.key == "late_answer") {
            long n = 0, ms = 0;
            char extra = 0;
            if (e.value == "none") {
                setup.late_answer = 0;
            } else if (std::sscanf(e.value.c_str(), "%ld %ld%c", &n, &ms, &extra) != 2 || n < 1 || n > 1000000 ||
                       ms < 0 || ms > 600000) {
                return fail(e, "expects none or <request number> <delay in ms>");
            } else {
                setup.late_answer = static_cast<int>(n);
                setup.late_by = Millis(ms);
            }
        } else if (e.key == "refuse_write") {
            if (e.value == "none") {
                setup.refuse_write = -1;
            } else {
                if (!number(e, 0, 0xFFFF, value)) return false;
                setup.refuse_write = static_cast<int>(value);
            }
        } else {
            return fail(e, "is not a key of [adapter]");
        }
    }
    return true;
}

bool Parser::identityKey(const IniEntry &e, Identity &id, bool &handled) {
    handled = true;
    if (e.key == "calibrated") return flag(e, id.calibrated);
    if (e.key == "address") return number(e, 0, 0x7F, id.address);
    if (e.key == "mode") {
        const char *names[] = {"PR", "PA", "PAA"};
        for (long m = 0; m < 3; ++m) {
            if (e.value == names[m]) {
                id.mode = m;
                return true;
            }
        }
        return fail(e, "expects PR, PA or PAA");
    }
    if (e.key == "range") {
        std::istringstream in(e.value);
        std::string rest;
        if (!(in >> id.range_min >> id.range_max) || (in >> rest)) return fail(e, "expects two numbers in bar");
        return true;
    }
    if (e.key == "date") {
        char extra = 0;
        if (std::sscanf(e.value.c_str(), "%2ld.%2ld.%4ld%c", &id.day, &id.month, &id.year, &extra) != 3 ||
            id.day < 0 || id.day > 31 || id.month < 0 || id.month > 12 || id.year < 2010 || id.year > 2041)
            return fail(e, "expects DD.MM.YYYY, year 2010 to 2041");
        return true;
    }
    if (e.key == "product") {
        char extra = 0;
        if (std::sscanf(e.value.c_str(), "F%5ldE%2ldP%4ld%c", &id.file, &id.equipment, &id.place, &extra) != 3 ||
            id.file < 0 || id.file > 65535 || id.equipment < 0 || id.equipment > 63 || id.place < 0 || id.place > 1023)
            return fail(e, "expects F<file>E<equipment>P<place>, e.g. F01234E07P0056");
        return true;
    }
    handled = false;
    return true;
}

bool Parser::transmitter(const IniSection &section, TransmitterSetup &setup) {
    Identity id;
    bool words_given = false, checksum_given = false;
    std::uint16_t checksum = 0;
    bool checksum_bad = false;
    Page words{};
    for (const IniEntry &e : section.entries) {
        long value = 0;
        bool handled = false;
        if (!identityKey(e, id, handled)) return false;
        if (handled) continue;
        if (e.key == "words") {
            std::istringstream in(e.value);
            std::string word;
            int count = 0;
            while (in >> word && count < kChecksumWord) {
                char *end = nullptr;
                const unsigned long v = std::strtoul(word.c_str(), &end, 16);
                if (*end != '\0' || v > 0xFFFF) return fail(e, "expects hexadecimal words");
                words[count++] = static_cast<std::uint16_t>(v);
            }
            if (count != kChecksumWord || (in >> word)) return fail(e, "expects 23 words, 0x00 to 0x16");
            words_given = true;
        } else if (e.key == "checksum") {
            checksum_bad = e.value == "bad";
            checksum_given = !checksum_bad && e.value != "auto";
            if (checksum_given && !number(e, 0, 0xFFFF, value)) return fail(e, "expects auto, bad or a number");
            checksum = static_cast<std::uint16_t>(value);
        } else if (e.key == "page") {
            if (!number(e, 0, kPages - 1, value)) return false;
            setup.current_page = static_cast<int>(value);
        } else if (e.key == "present") {
            if (!flag(e, setup.present)) return false;
        } else if (e.key == "command_window_ms" || e.key == "busy_ms") {
            if (!number(e, 0, 60000, value)) return false;
            (e.key == "busy_ms" ? setup.busy_time : setup.command_window) = Millis(value);
        } else if (e.key == "pressure_raw" || e.key == "temperature_raw") {
            if (!number(e, 0, 0xFFFF, value)) return false;
            (e.key == "pressure_raw" ? setup.pressure_raw : setup.temperature_raw) = static_cast<std::uint16_t>(value);
            setup.signal_frozen = true;
        } else if (e.key == "nack") {
            setup.faults.nack_all = e.value == "all";
            if (!setup.faults.nack_all && !optionalByte(e, 0xFF, setup.faults.nack_command)) return false;
        } else if (e.key == "nack_read_after") {
            if (!optionalByte(e, 0xFF, setup.faults.nack_read_after)) return false;
        } else if (e.key == "ignore_write") {
            if (!optionalByte(e, kChecksumWord, setup.faults.ignore_write)) return false;
        } else if (e.key == "hold_busy") {
            if (!flag(e, setup.faults.hold_busy)) return false;
        } else if (e.key == "busy_answers") {
            if (!number(e, 0, 1000000, value)) return false;
            setup.faults.busy_answers = static_cast<int>(value);
        } else if (e.key == "hardware_error") {
            if (!flag(e, setup.faults.hardware_error)) return false;
        } else if (e.key == "data_corrected") {
            if (!flag(e, setup.faults.data_corrected)) return false;
        } else if (e.key == "faults_after") {
            if (!number(e, 0, 100000000, setup.faults_after)) return false;
        } else {
            return fail(e, "is not a key of a transmitter");
        }
    }
    const Page image = words_given ? words : encode(id);
    if (checksum_bad) {
        checksum_given = true;
        checksum = static_cast<std::uint16_t>(~pageChecksum(image));
    }
    placeImage(setup, image, checksum_given, checksum);
    return true;
}

}  // namespace

Scenario defaultScenario() {
    Scenario scenario;
    scenario.id = "default";
    TransmitterSetup setup;
    setup.name = "main";
    placeImage(setup, encode(Identity{}), false, 0);
    scenario.adapters.front().transmitters.push_back(setup);
    return scenario;
}

bool readScenario(const std::string &path, Scenario &scenario, std::string &error) {
    std::vector<IniSection> sections;
    if (!readIniFile(path, sections, error)) return false;
    Scenario result;
    std::error_code ignored;
    result.id = std::filesystem::weakly_canonical(path, ignored).string();
    if (result.id.empty()) result.id = path;
    Parser parser(error);
    parser.setFile(path);
    const std::string transmitter_prefix = "transmitter.";
    const std::string adapter_prefix = "adapter.";
    // Transmitter sections belong to the first adapter until an [adapter.<label>] section
    // starts a further one; [adapter] itself may stand anywhere, as it always could.
    std::vector<int> first_lines{0};
    for (const IniSection &section : sections) {
        const std::string where = path + ":" + std::to_string(section.line) + ": ";
        AdapterScenario &current = result.adapters.back();
        if (section.name == "adapter") {
            if (!parser.adapter(section, result.adapters.front().adapter)) return false;
            first_lines.front() = section.line;
        } else if (section.name.compare(0, adapter_prefix.size(), adapter_prefix) == 0 &&
                   section.name.size() > adapter_prefix.size()) {
            if (result.adapters.size() == kMaxAdapters) {
                error = where + "more than " + std::to_string(kMaxAdapters) + " adapters";
                return false;
            }
            AdapterScenario further;
            if (!parser.adapter(section, further.adapter)) return false;
            result.adapters.push_back(further);
            first_lines.push_back(section.line);
        } else if (section.name.compare(0, transmitter_prefix.size(), transmitter_prefix) == 0 &&
                   section.name.size() > transmitter_prefix.size()) {
            TransmitterSetup setup;
            setup.name = section.name.substr(transmitter_prefix.size());
            for (const TransmitterSetup &other : current.transmitters) {
                if (other.name == setup.name) {
                    error = where + "transmitter named twice";
                    return false;
                }
            }
            if (!parser.transmitter(section, setup)) return false;
            current.transmitters.push_back(setup);
        } else {
            error = where + "unknown section [" + section.name + "]";
            return false;
        }
    }
    for (std::size_t i = 1; i < result.adapters.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (result.adapters[i].adapter.serial == result.adapters[j].adapter.serial) {
                error = path + ":" + std::to_string(first_lines[i]) + ": serial " + result.adapters[i].adapter.serial +
                        " is another adapter's already; each adapter needs its own";
                return false;
            }
        }
    }
    scenario = result;
    return true;
}

}  // namespace iowsim
