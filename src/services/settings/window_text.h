// The windows' texts in the current language, from the program's single translator. Every
// window takes its captions from here in its own translateCaptions(). Main thread only.
#pragma once

#include <QString>
#include <functional>

namespace window_text {

// A translation call: the current language's text for the key, or the default.
using Translate = std::function<QString(const char *key, const char *defaultText)>;

// The translator's text for `key`, or `defaultText` (UTF-8) when the language has none.
QString tr_(const char *key, const char *defaultText);

} // namespace window_text
