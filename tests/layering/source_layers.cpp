#include "source_layers.h"

#include <map>
#include <regex>
#include <sstream>

namespace source_layers {

namespace {

struct Layer {
    const char *folder;
    int rank;
};

// Inside the services the settings store needs only the utilities, the dialogs need the settings
// and translations, and the event log keeps its modes in the settings and has a viewer window.
// The file of recorded runs needs none of them.
const Layer kLayers[] = {
    {"services/utils", 0}, {"services/settings", 1}, {"services/recording", 1}, {"services/dialogs", 2}, {"services/log", 3},
    {"transmitter", 4},    {"session", 5},           {"views", 6},           {"app", 7},
    {"cli", 7},
};

enum class Use { Allowed, Above, Beside };

// Whether a file or library of ranked folder `from` may use one of ranked folder `to`.
Use use(const std::string &from, const std::string &to)
{
    if (from == to)
        return Use::Allowed;
    const int own = rank(from);
    const int theirs = rank(to);
    if (theirs > own)
        return Use::Above;
    return theirs == own ? Use::Beside : Use::Allowed;
}

bool generated(const std::string &name)
{
    if (name.find('/') != std::string::npos)
        return false;
    return name.rfind("ui_", 0) == 0 || (name.size() > 4 && name.compare(name.size() - 4, 4, ".moc") == 0);
}

std::vector<std::string> split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    std::string part;
    while (std::getline(in, part, separator))
        parts.push_back(part);
    return parts;
}

} // namespace

std::string folder(const std::string &path)
{
    for (const Layer &layer : kLayers) {
        const std::string name = layer.folder;
        if (path == name || path.rfind(name + "/", 0) == 0)
            return name;
    }
    return {};
}

int rank(const std::string &path)
{
    const std::string name = folder(path);
    for (const Layer &layer : kLayers)
        if (name == layer.folder)
            return layer.rank;
    return -1;
}

std::vector<Include> includes(const std::string &text)
{
    static const std::regex include(R"re(^[ \t]*#[ \t]*include[ \t]*(?:"([^"\n]+)"|<([^>\n]+)>))re",
                                    std::regex::multiline);
    std::vector<Include> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), include); it != std::sregex_iterator(); ++it) {
        const bool angle = (*it)[2].matched;
        found.push_back({(*it)[angle ? 2 : 1].str(), angle});
    }
    return found;
}

std::vector<Violation> check(const std::string &file, const std::string &text,
                             const std::function<bool(const std::string &)> &exists)
{
    const std::string own = folder(file);
    if (own.empty())
        return {{"", "a file outside the layers"}};
    std::vector<Violation> violations;
    for (const Include &include : includes(text)) {
        const std::string &name = include.name;
        if (include.angle ? !exists(name) : generated(name))
            continue; // a system or library header, or one the build makes beside the file
        const std::string theirs = folder(name);
        if (theirs.empty() || !exists(name)) {
            violations.push_back({name, "not a path from src/"});
            continue;
        }
        switch (use(own, theirs)) {
        case Use::Allowed: break;
        case Use::Above: violations.push_back({name, "from a layer above"}); break;
        case Use::Beside: violations.push_back({name, "from the other program"}); break;
        }
    }
    return violations;
}

std::vector<Library> read_link_graph(const std::string &text)
{
    std::vector<Library> graph;
    for (const std::string &line : split(text, '\n')) {
        if (line.empty())
            continue;
        const std::vector<std::string> fields = split(line, '\t');
        Library library{fields.at(0), fields.size() > 1 ? fields[1] : "", fields.size() > 2 ? fields[2] : "", {}};
        if (fields.size() > 3)
            for (const std::string &link : split(fields[3], ','))
                if (!link.empty())
                    library.links.push_back(link);
        graph.push_back(library);
    }
    return graph;
}

std::vector<LinkViolation> check_links(const std::vector<Library> &graph)
{
    std::map<std::string, std::string> folders;
    for (const Library &library : graph)
        folders[library.name] = folder(library.folder);
    std::vector<LinkViolation> violations;
    for (const Library &library : graph) {
        const std::string own = folder(library.folder);
        if (own.empty()) {
            violations.push_back({library.name, "", "outside the layers"});
            continue;
        }
        for (const std::string &link : library.links) {
            const auto it = folders.find(link);
            if (it == folders.end()) {
                if (link.rfind("zorbit_", 0) == 0)
                    violations.push_back({library.name, link, "not a library of src/"});
                continue;
            }
            if (it->second.empty())
                continue; // told once, as a library outside the layers
            switch (use(own, it->second)) {
            case Use::Allowed: break;
            case Use::Above: violations.push_back({library.name, link, "links a layer above"}); break;
            case Use::Beside: violations.push_back({library.name, link, "links the other program"}); break;
            }
        }
    }
    return violations;
}

} // namespace source_layers
