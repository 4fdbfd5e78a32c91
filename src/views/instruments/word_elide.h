// A text too wide for its place, cut after the last whole word that fits and ended with an
// ellipsis. Widget-free; the width of a text is measured by the caller.
#pragma once

#include <QString>
#include <functional>

namespace word_elide {

// `text` itself when it fits in `width`; else its longest start that ends at a word and fits
// with "…" after it; else as many characters as fit, then "…"; else "…" alone.
QString elided(const QString &text, int width, const std::function<int(const QString &)> &widthOf);

} // namespace word_elide
