// The layering of src/, lowest first: the services (utils, settings, dialogs, log, in that order),
// transmitter, session, views, and on top app and cli, which stand beside each other and use
// neither the other. A file may include headers of its own folder and of folders ranked below it,
// always by their path from src/ (generated ui_ headers and moc files aside), quoted or in angle
// brackets; a library may link only libraries of its own folder and of folders ranked below it.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace source_layers {

// The ranked folder of a path relative to src/ ("views/chart/chart.h" is in "views",
// "services/log/logFile.h" in "services/log"); empty outside them.
std::string folder(const std::string &path);
// The rank of that folder; -1 outside them.
int rank(const std::string &path);

struct Include {
    std::string name;
    bool angle; // <name> rather than "name"
};

// The includes of a text, in order.
std::vector<Include> includes(const std::string &text);

struct Violation {
    std::string include; // empty when the file itself lies outside the layers
    std::string why;
};

// The includes of one file (its path relative to src/ and its text) that break the rules;
// `exists` tells whether a path relative to src/ names a file. An angle include counts only
// when it names one.
std::vector<Violation> check(const std::string &file, const std::string &text,
                             const std::function<bool(const std::string &)> &exists);

// One target of the build below src/ and the targets it links directly.
struct Library {
    std::string name;
    std::string type; // as CMake calls it: STATIC_LIBRARY, INTERFACE_LIBRARY, EXECUTABLE, …
    std::string folder; // relative to src/
    std::vector<std::string> links;
};

// Lines of name, type, folder and comma-separated links, separated by TAB.
std::vector<Library> read_link_graph(const std::string &text);

struct LinkViolation {
    std::string library;
    std::string link; // empty when the library itself lies outside the layers
    std::string why;
};

// The links that break the rules. A link that names no target of the graph is from outside
// the project unless it is spelt like one of its libraries.
std::vector<LinkViolation> check_links(const std::vector<Library> &graph);

} // namespace source_layers
