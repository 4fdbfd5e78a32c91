// Message types and buttons of the message dialog: texts, result codes and where the buttons
// stand. Widget-free; plain data, safe from any thread.
#pragma once

#include <QString>

// Values are fixed: the icon strip and callers index by them.
enum TMsgDialogType : int { mtWarning = 0, mtError = 1, mtInformation = 2, mtConfirmation = 3 };

enum TButtonTypes : int {
    mbYes = 0,
    mbNo = 1,
    mbOk = 2,
    mbCancel = 3,
    mbAbort = 4,
    mbRetry = 5,
    mbIgnore = 6,
    mbAll = 7,
    mbNoToAll = 8,
    mbYesToAll = 9
};

namespace msg_dialog {

// What closing the dialog without a button returns (the code of Cancel).
constexpr int CloseResult = 2;
constexpr int DefaultWidth = 380;
constexpr int DefaultHeight = 150;
constexpr int IconSize = 32;

struct TextEntry {
    const char *key;
    const char *defaultText;
};

// Translation key and English default of a dialog title.
TextEntry titleText(TMsgDialogType type);
// Translation key, English default and result code of a button.
TextEntry buttonText(TButtonTypes button);
int resultCode(TButtonTypes button);

// Button i of the list counts from the right edge of a window `outerWidth` wide, each one
// standing 6 pixels left of the one before it; y is counted from the top of a window
// `outerHeight` high. Both in the window's own coordinates.
int buttonLeft(int outerWidth, int buttonWidth, int index);
int buttonTop(int outerHeight);

} // namespace msg_dialog
