#include "app/splash.h"

#include <QGuiApplication>
#include <QScreen>

QPointer<Tsplash_Form> Tsplash_Form::showSplash()
{
    // Deletes itself on close (WA_DeleteOnClose).
    QPointer<Tsplash_Form> splash = new Tsplash_Form;
    splash->show();
    splash->repaint();
    QCoreApplication::processEvents();
    return splash;
}

Tsplash_Form::Tsplash_Form(QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("splash_Form"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(Width, Height);
    fLabels = product_view::addPictureAndLabels(this);

    fCloseTimer.setSingleShot(true);
    fCloseTimer.setTimerType(Qt::PreciseTimer);
    fCloseTimer.setInterval(CloseDelayMs);
    connect(&fCloseTimer, &QTimer::timeout, this, &QWidget::close);
}

void Tsplash_Form::showEvent(QShowEvent *event)
{
    product_view::fillLabels(fLabels);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (!fCloseTimer.isActive())
        fCloseTimer.start();
    QWidget::showEvent(event);
}

void Tsplash_Form::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    product_view::paintBorder(this);
}
