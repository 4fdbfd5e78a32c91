// Window geometry of the settings store, for windows (links the widget library).
#include "IniHandler.h"

#include "form_bounds.h"

#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

namespace {

QList<QRect> screenRects()
{
    QList<QRect> rects;
    for (const QScreen *screen : QGuiApplication::screens())
        rects.append(screen->availableGeometry());
    return rects;
}

// The main window's screen, or the window's own while there is no main window.
QRect homeScreen(const QWidget *form)
{
    const QWidget *home = form;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow *>(w)) {
            home = w;
            break;
        }
    const QScreen *screen = home->screen() ? home->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(QPoint(), form->frameGeometry().size());
}

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
    if (g.left != -1 || g.top != -1 || g.width != -1 || g.height != -1) {
        // What the file holds may lie off every screen or exceed them all.
        const QRect target = form_bounds::placed(g.left != -1 ? g.left : outer.left(), g.top != -1 ? g.top : outer.top(),
                                                 g.width != -1 ? g.width : outer.width(),
                                                 g.height != -1 ? g.height : outer.height(), outer.size(),
                                                 screenRects(), homeScreen(form));
        form->move(target.topLeft());
        form->resize(target.width() - frameWidth, target.height() - frameHeight);
    }
    if (g.state == 1)
        form->setWindowState(form->windowState() | Qt::WindowMinimized);
    else if (g.state == 2)
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    else if (g.state == 0)
        form->setWindowState(form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}
