#include "source_layers.h"

#include <regex>

namespace source_layers {

int rank(const std::string &path)
{
    const std::string top = path.substr(0, path.find('/'));
    if (top == "services")
        return 0;
    if (top == "transmitter" || top == "session" || top == "views")
        return 1;
    if (top == "app" || top == "cli")
        return 2;
    return -1;
}

std::vector<std::string> quoted_includes(const std::string &text)
{
    static const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re", std::regex::multiline);
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), include); it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1]);
    return found;
}

std::vector<Violation> check(const std::string &file, const std::string &text,
                             const std::function<bool(const std::string &)> &exists)
{
    std::vector<Violation> violations;
    const int own = rank(file);
    for (const std::string &name : quoted_includes(text)) {
        const std::string base = name.substr(name.rfind('/') + 1);
        const bool generated = base.rfind("ui_", 0) == 0
                               || (base.size() > 4 && base.compare(base.size() - 4, 4, ".moc") == 0);
        if (name == base && generated)
            continue;
        const int theirs = rank(name);
        if (theirs < 0 || !exists(name))
            violations.push_back({name, "not a path from src/"});
        else if (theirs > own)
            violations.push_back({name, "from a layer above"});
        else if (theirs == own && theirs == 2 && name.substr(0, name.find('/')) != file.substr(0, file.find('/')))
            violations.push_back({name, "from the other program"});
    }
    return violations;
}

} // namespace source_layers
