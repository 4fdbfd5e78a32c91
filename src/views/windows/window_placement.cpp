#include "views/windows/window_placement.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace {

const QWidget *owner_of(const QWidget *window)
{
    if (const QWidget *parent = window->parentWidget())
        return parent->window();
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(w) && w != window)
            return w;
    return nullptr;
}

} // namespace

void centre_over_parent(QWidget *window)
{
    const QWidget *owner = owner_of(window);
    if (!owner)
        return;
    const QRect over = owner->frameGeometry();
    QSize outer = window->frameSize();
    if (outer == window->size())
        outer += owner->frameGeometry().size() - owner->geometry().size();
    QRect placed = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, outer, over);
    // The title bar stays on the owner's screen, where the user can grab it.
    if (const QScreen *screen = owner->screen()) {
        const QRect area = screen->availableGeometry();
        placed.moveLeft(std::max(area.left(), std::min(placed.left(), area.right() - 100)));
        placed.moveTop(std::max(area.top(), std::min(placed.top(), area.bottom() - 20)));
    }
    window->move(placed.topLeft());
}
