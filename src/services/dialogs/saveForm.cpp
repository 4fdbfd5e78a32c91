#include "services/dialogs/saveForm.h"

#include "services/settings/IniHandler.h"

#include <QHideEvent>
#include <QShowEvent>

TSaveForm::TSaveForm(QWidget *parent, Qt::WindowFlags flags) : QWidget(parent, flags) {}

TSaveForm::~TSaveForm()
{
    if (isVisible())
        storeGeometry();
}

TIniHandler *TSaveForm::fIni() { return TIniHandler::getInstance(); }

void TSaveForm::showEvent(QShowEvent *event)
{
    // Shown, the window is fully built and the class name is the derived one.
    if (!fRestored) {
        fRestored = true;
        fClassName = QString::fromLatin1(metaObject()->className());
        fIni()->loadForm(this);
    }
    QWidget::showEvent(event);
}

void TSaveForm::hideEvent(QHideEvent *event)
{
    // A spontaneous hide is the window system minimising the window, not the user leaving it.
    if (!event->spontaneous())
        storeGeometry();
    QWidget::hideEvent(event);
}

void TSaveForm::storeGeometry()
{
    if (!fRestored)
        return; // never shown: there is nothing of the user's to keep
    fIni()->saveForm(this, fClassName);
}
