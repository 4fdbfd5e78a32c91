// Window geometry of the settings store, for windows (links the widget library).
#include "IniHandler.h"

#include <QWidget>

namespace {

int stateOf(const QWidget &form)
{
    if (form.isMinimized())
        return 1;
    if (form.isMaximized())
        return 2;
    return 0;
}

} // namespace

void TIniHandler::saveForm(QWidget *form)
{
    const QRect outer = form->frameGeometry();
    writeGeometry(QString::fromLatin1(form->metaObject()->className()),
                  {outer.x(), outer.y(), outer.width(), outer.height(), stateOf(*form)});
}

void TIniHandler::loadForm(QWidget *form)
{
    const TFormGeometry g = readGeometry(QString::fromLatin1(form->metaObject()->className()));
    // Stored sizes are outer sizes; the frame adds what lies around the client area.
    const QRect outer = form->frameGeometry();
    const QRect inner = form->geometry();
    const int frameWidth = outer.width() - inner.width();
    const int frameHeight = outer.height() - inner.height();
    QPoint position = outer.topLeft();
    if (g.left != -1)
        position.setX(g.left);
    if (g.top != -1)
        position.setY(g.top);
    if (g.left != -1 || g.top != -1)
        form->move(position);
    if (g.width != -1 || g.height != -1)
        form->resize(g.width != -1 ? g.width - frameWidth : inner.width(),
                     g.height != -1 ? g.height - frameHeight : inner.height());
    if (g.state == 1)
        form->setWindowState(form->windowState() | Qt::WindowMinimized);
    else if (g.state == 2)
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    else if (g.state == 0)
        form->setWindowState(form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}
