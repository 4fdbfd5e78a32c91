#include "window_placement.h"

#include <QStyle>
#include <QWidget>

void centre_over_parent(QWidget *window)
{
    const QWidget *parent = window->parentWidget();
    if (!parent)
        return;
    const QRect over = parent->window()->frameGeometry();
    window->move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, window->frameSize(), over).topLeft());
}
