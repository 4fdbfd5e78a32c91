#include "services/dialogs/msg_dialog.h"

#include <array>

namespace msg_dialog {

namespace {

constexpr std::array<TextEntry, 4> Titles{{
    {"warning", "Warning"},
    {"error", "Error"},
    {"information", "Information"},
    {"confirmation", "Confirmation"},
}};

struct ButtonEntry {
    TextEntry text;
    int result;
};

constexpr std::array<ButtonEntry, 10> Buttons{{
    {{"yes", "Yes"}, 6},
    {{"no", "No"}, 7},
    {{"ok", "Ok"}, 1},
    {{"cancel", "Cancel"}, 2},
    {{"abort", "Abort"}, 3},
    {{"retry", "Retry"}, 4},
    {{"ignore", "Ignore"}, 5},
    {{"all", "All"}, 12},
    {{"noToAll", "No to All"}, 13},
    {{"yesToAll", "Yes to All"}, 14},
}};

constexpr int RightMargin = 30;
constexpr int Spacing = 6;
constexpr int BottomOffset = 70;

} // namespace

TextEntry titleText(TMsgDialogType type) { return Titles.at(size_t(type)); }

TextEntry buttonText(TButtonTypes button) { return Buttons.at(size_t(button)).text; }

int resultCode(TButtonTypes button) { return Buttons.at(size_t(button)).result; }

int buttonLeft(int outerWidth, int buttonWidth, int index)
{
    return outerWidth - RightMargin - buttonWidth - index * (buttonWidth + Spacing);
}

int buttonTop(int outerHeight) { return outerHeight - BottomOffset; }

} // namespace msg_dialog
