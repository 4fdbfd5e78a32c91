#include "app/changes_left.h"

namespace changes_left {

namespace {

constexpr int UnknownPicture = 4; // the question mark

} // namespace

Look look(int state, const window_text::Translate &tr)
{
    switch (state) {
    case NoneShown: return {QStringLiteral("************"), false, UnknownPicture};
    case NotCalibrated:
        return {tr("not_allowed", "Device NOT calibrated! Change of address not possible") + u'!', false,
                UnknownPicture};
    case 0: return {tr("three", "Three more changes of slave address left") + u'.', true, 0};
    case 1: return {tr("two", "Two more changes of slave address left") + u'.', true, 1};
    case 2: return {tr("one", "One change of slave address left") + u'.', true, 2};
    default: return {tr("none", "Change of address not possible") + u'!', false, 3};
    }
}

std::optional<int> left(int state)
{
    if (state < 0 || state > 3)
        return std::nullopt;
    return 3 - state;
}

} // namespace changes_left
