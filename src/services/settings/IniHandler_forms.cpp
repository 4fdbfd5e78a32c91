// Window geometry of the settings store, for windows (links the widget library).
// The stored sizes are outer sizes. A window system may put its frame around a window only once
// the window is on the screen, so the outer size of a window restored before that is not known
// yet: the frame is then taken from a framed window already shown, and the size is put right
// once the window's own frame is known. Saving writes what was asked for while that is pending.
#include "services/settings/IniHandler.h"

#include "services/settings/form_bounds.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <optional>

namespace {

// How long a shown window may take to get its frame before it is taken to have none.
constexpr int FrameWaitMs = 3000;

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

bool frameless(const QWidget &form)
{
    return form.windowFlags().testFlag(Qt::FramelessWindowHint) || form.windowType() == Qt::Popup ||
           form.windowType() == Qt::ToolTip || form.windowType() == Qt::SplashScreen;
}

// The frame around the client area, where the window system has told it.
std::optional<QSize> knownFrame(const QWidget &form)
{
    if (frameless(form))
        return QSize(0, 0);
    if (!form.testAttribute(Qt::WA_WState_Created) || !form.isVisible())
        return std::nullopt;
    const QSize frame = form.frameGeometry().size() - form.geometry().size();
    if (frame.isNull())
        return std::nullopt;
    return frame;
}

// The frame of a framed window on the screen, the likeliest frame of a window yet to be shown.
QSize likelyFrame(const QWidget &form)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w != &form && w->windowType() == form.windowType())
            if (const auto frame = knownFrame(*w); frame && !frame->isNull() && frame->isValid())
                return *frame;
    return QSize(0, 0);
}

// Puts a window to its wanted outer rectangle once its frame is known. A window restored
// maximised keeps waiting until it is put back to normal, which is when that size shows.
class PendingOuter : public QObject
{
public:
    PendingOuter(QWidget *form, const QRect &outer) : QObject(form), fForm(form), fOuter(outer)
    {
        setObjectName(QStringLiteral("pending_outer_geometry"));
        form->installEventFilter(this);
    }
    const QRect &outer() const { return fOuter; }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != fForm)
            return false;
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WindowStateChange:
            if (stateOf(*fForm) == 0)
                giveUpLater();
            settle();
            break;
        case QEvent::Move:
        case QEvent::Resize:
            settle();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A window system that never tells a frame has none.
    void giveUpLater()
    {
        QTimer::singleShot(FrameWaitMs, this, [this] {
            if (stateOf(*fForm) == 0)
                deleteLater();
        });
    }
    void settle()
    {
        const auto frame = knownFrame(*fForm);
        if (!frame || stateOf(*fForm) != 0)
            return;
        fForm->removeEventFilter(this);
        fForm->resize(fOuter.size() - *frame);
        fForm->move(fOuter.topLeft());
        deleteLater();
    }

    QWidget *fForm;
    QRect fOuter;
};

template <typename Child>
Child *childNamed(const QWidget *form, const char *name)
{
    for (QObject *child : form->children())
        if (child->objectName() == QLatin1String(name))
            if (auto *found = dynamic_cast<Child *>(child))
                return found;
    return nullptr;
}

PendingOuter *pendingOf(const QWidget *form)
{
    return childNamed<PendingOuter>(form, "pending_outer_geometry");
}

// The outer rectangle of a window as far as it is known: a size still waiting for the frame
// counts as given.
QRect outerOf(const QWidget &form)
{
    if (const PendingOuter *pending = pendingOf(&form))
        return pending->outer();
    return form.frameGeometry();
}

void applyOuter(QWidget *form, const QRect &outer)
{
    delete pendingOf(form);
    const auto frame = knownFrame(*form);
    form->resize(outer.size() - (frame ? *frame : likelyFrame(*form)));
    form->move(outer.topLeft());
    if (!frame)
        new PendingOuter(form, outer); // owned by the window
}

} // namespace

void TIniHandler::saveForm(QWidget *form)
{
    saveForm(form, QString::fromLatin1(form->metaObject()->className()));
}

void TIniHandler::saveForm(QWidget *form, const QString &className)
{
    const QRect outer = outerOf(*form);
    writeGeometry(className, {outer.x(), outer.y(), outer.width(), outer.height(), stateOf(*form)});
}

void TIniHandler::loadForm(QWidget *form)
{
    const TFormGeometry g = readGeometry(QString::fromLatin1(form->metaObject()->className()));
    if (g.left != -1 || g.top != -1 || g.width != -1 || g.height != -1) {
        const QRect outer = outerOf(*form);
        // What the file holds may lie off every screen or exceed them all.
        const QRect target = form_bounds::placed(g.left != -1 ? g.left : outer.left(), g.top != -1 ? g.top : outer.top(),
                                                 g.width != -1 ? g.width : outer.width(),
                                                 g.height != -1 ? g.height : outer.height(), outer.size(),
                                                 screenRects(), homeScreen(form));
        applyOuter(form, target);
    }
    if (g.state == 1)
        form->setWindowState(form->windowState() | Qt::WindowMinimized);
    else if (g.state == 2)
        form->setWindowState(form->windowState() | Qt::WindowMaximized);
    else if (g.state == 0)
        form->setWindowState(form->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
}
