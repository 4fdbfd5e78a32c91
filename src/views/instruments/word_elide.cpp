#include "views/instruments/word_elide.h"

namespace word_elide {

QString elided(const QString &text, int width, const std::function<int(const QString &)> &widthOf)
{
    if (widthOf(text) <= width)
        return text;
    const QString ellipsis(QChar(0x2026));
    const auto fits = [&](qsizetype length) { return widthOf(text.left(length) + ellipsis) <= width; };
    // The longest start that fits, found by halving: widths grow with the length.
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (fits(middle))
            low = middle;
        else
            high = middle - 1;
    }
    if (low == 0)
        return ellipsis;
    // Back to the end of the last whole word within it; a single long word is cut instead.
    qsizetype end = low;
    if (!text.at(low).isSpace()) {
        while (end > 0 && !text.at(end - 1).isSpace())
            --end;
    }
    while (end > 0 && (text.at(end - 1).isSpace() || text.at(end - 1).isPunct()))
        --end;
    return (end > 0 ? text.left(end) : text.left(low)) + ellipsis;
}

} // namespace word_elide
