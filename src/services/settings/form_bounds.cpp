#include "services/settings/form_bounds.h"

#include <algorithm>

namespace form_bounds {
namespace {

bool grippable(const QRect &stored, const QList<QRect> &screens)
{
    const QRect topEdge(stored.left(), stored.top(), stored.width(), std::min(stored.height(), GripHeight));
    for (const QRect &screen : screens) {
        const QRect visible = topEdge.intersected(screen);
        if (visible.width() >= std::min(topEdge.width(), GripWidth) && visible.height() >= topEdge.height())
            return true;
    }
    return false;
}

bool fits(const QRect &stored, const QSize &designed, const QList<QRect> &screens)
{
    QRect all;
    for (const QRect &screen : screens)
        all = all.united(screen);
    // A window as large as it was designed is never too large.
    return stored.width() > 0 && stored.height() > 0 && stored.width() <= std::max(all.width(), designed.width()) &&
           stored.height() <= std::max(all.height(), designed.height());
}

} // namespace

QRect placed(qint64 left, qint64 top, qint64 width, qint64 height, const QSize &designed,
             const QList<QRect> &screens, const QRect &home)
{
    // Far beyond any screen, and small enough for a rectangle's arithmetic.
    constexpr qint64 Far = 1 << 24;
    const auto near = [](qint64 v) { return v > -Far && v < Far; };
    if (near(left) && near(top) && near(width) && near(height)) {
        const QRect stored{int(left), int(top), int(width), int(height)};
        if (fits(stored, designed, screens) && grippable(stored, screens))
            return stored;
    }
    QRect centred(QPoint(), designed);
    centred.moveCenter(home.center());
    centred.moveLeft(std::max(centred.left(), home.left()));
    centred.moveTop(std::max(centred.top(), home.top()));
    return centred;
}

} // namespace form_bounds
