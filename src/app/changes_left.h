// What the re-addressing group says about the address changes left, from the memory page in
// use. Widget-free.
#pragma once

#include "services/settings/window_text.h"

#include <QString>
#include <optional>

namespace changes_left {

constexpr int NoneShown = -2;     // no transmitter read
constexpr int NotCalibrated = -1; // a blank memory image

struct Look {
    QString text;
    bool change_allowed;
    int picture; // of the `numbers` list
};
// `state`: the page in use (0 … 3), NotCalibrated or NoneShown.
Look look(int state, const window_text::Translate &tr);
// How many changes are left; none when no page is shown.
std::optional<int> left(int state);

} // namespace changes_left
