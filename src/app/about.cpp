#include "app/about.h"

#include "services/settings/window_text.h"
#include "services/dialogs/msgDialogForm.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

Tabout_Form::Tabout_Form(QWidget *mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::FramelessWindowHint),
      fOpenUrl([](const QUrl &address) { return QDesktopServices::openUrl(address); })
{
    setObjectName(QStringLiteral("about_Form"));
    setFixedSize(Width, Height);
    fLabels = product_view::addPictureAndLabels(this);

    link_label = new QLabel(MakerAddress, this);
    link_label->setObjectName(QStringLiteral("link_label"));
    link_label->setTextFormat(Qt::PlainText);
    QFont font = link_label->font();
    font.setPointSize(10);
    font.setUnderline(true);
    link_label->setFont(font);
    QPalette palette = link_label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x1F, 0x5F, 0x8B));
    link_label->setPalette(palette);
    link_label->setCursor(Qt::PointingHandCursor);
    link_label->adjustSize();
    link_label->move(342, 240);
    link_label->installEventFilter(this);

    close_btn = new QPushButton(this);
    close_btn->setObjectName(QStringLiteral("close_btn"));
    close_btn->setDefault(true);
    connect(close_btn, &QPushButton::clicked, this, &QDialog::accept);
}

void Tabout_Form::showEvent(QShowEvent *event)
{
    product_view::fillLabels(fLabels);
    // In the bottom right corner, as wide as its word in the current language needs.
    close_btn->setText(window_text::tr_("close", "Close"));
    const QSize button(qMax(88, close_btn->sizeHint().width()), qMax(28, close_btn->sizeHint().height()));
    close_btn->setGeometry(Width - 20 - button.width(), Height - 20 - button.height(), button.width(),
                           button.height());
    const QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect target;
    if (owner && owner->isVisible())
        target = owner->frameGeometry();
    else if (const QScreen *screen = QGuiApplication::primaryScreen())
        target = screen->availableGeometry();
    if (target.isValid())
        move(target.center() - rect().center());
    QDialog::showEvent(event);
}

void Tabout_Form::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    product_view::paintBorder(this);
}

bool Tabout_Form::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == link_label && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && link_label->rect().contains(mouse->position().toPoint())) {
            link_labelClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void Tabout_Form::link_labelClick()
{
    // Without a browser set up nothing would happen at all: say so.
    if (fOpenUrl(QUrl(link_label->text())))
        return;
    TmsgDialog::createDialog(
        window_text::tr_("link_not_opened", "The web address %1 could not be opened.").arg(link_label->text()),
        mtError, {mbOk});
}
