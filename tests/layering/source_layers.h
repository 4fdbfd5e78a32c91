// The layering of src/: services at the bottom, transmitter and views above them, app and cli
// on top. A file may include headers of its own layer and of the layers below it, always by
// their path from src/ (generated ui_ headers and moc files aside).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace source_layers {

// The layer of a path relative to src/ ("views/chart/chart.h" is in views); -1 outside them.
int rank(const std::string &path);

// The quoted includes of a text, in order.
std::vector<std::string> quoted_includes(const std::string &text);

struct Violation {
    std::string include;
    std::string why;
};

// The includes of one file (its path relative to src/ and its text) that break the rules;
// `exists` tells whether a path relative to src/ names a file.
std::vector<Violation> check(const std::string &file, const std::string &text,
                             const std::function<bool(const std::string &)> &exists);

} // namespace source_layers
