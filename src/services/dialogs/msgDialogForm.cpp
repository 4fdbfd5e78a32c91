#include "services/dialogs/msgDialogForm.h"

#include "services/settings/window_text.h"
#include "services/dialogs/icon_strip.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>

namespace {

QPointer<QWidget> &mainWindow()
{
    static QPointer<QWidget> window;
    return window;
}

QString translated(const msg_dialog::TextEntry &entry)
{
    return window_text::tr_(entry.key, entry.defaultText);
}

// Tahoma where it is installed, the system's sans-serif otherwise.
QFont dialogFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

constexpr int StandardButtonWidth = 75;
constexpr int StandardButtonHeight = 25;
constexpr int MessageButtonGap = 12;

} // namespace

int TmsgDialog::createDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons)
{
    return createDialog(msg, DlgType, Buttons, msg_dialog::DefaultWidth, msg_dialog::DefaultHeight);
}

int TmsgDialog::createDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons,
                             int width, int height)
{
    TmsgDialog dialog(msg, DlgType, Buttons, width, height, defaultIconStripFile());
    return dialog.exec();
}

int TmsgDialog::createDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons,
                             TButtonTypes defaultButton)
{
    TmsgDialog dialog(msg, DlgType, Buttons, msg_dialog::DefaultWidth, msg_dialog::DefaultHeight, defaultIconStripFile());
    dialog.setDefaultButton(defaultButton);
    return dialog.exec();
}

void TmsgDialog::setDefaultButton(TButtonTypes button)
{
    const int index = int(fButtonTypes.indexOf(button));
    if (index < 0)
        return;
    for (QPushButton *b : std::as_const(fButtons))
        b->setDefault(false);
    fButtons[index]->setDefault(true);
    fButtons[index]->setFocus();
}

QPushButton *TmsgDialog::defaultButton() const
{
    for (QPushButton *b : fButtons)
        if (b->isDefault())
            return b;
    return nullptr;
}

void TmsgDialog::setMainWindow(QWidget *window) { mainWindow() = window; }

QString TmsgDialog::defaultIconStripFile()
{
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("images/msg_dlg_icons.bmp"));
}

TmsgDialog::TmsgDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons, int width,
                       int height, const QString &iconStripFile)
    : QDialog(nullptr,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      fOuter(width, height)
{
    setObjectName(QStringLiteral("msgDialog"));
    setFont(dialogFont());
    buildDialog(msg, DlgType, Buttons, iconStripFile);
}

void TmsgDialog::buildDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons,
                             const QString &iconStripFile)
{
    // The native window tells how much frame lies around the client area, where it knows.
    winId();
    fitOuterSize();

    image_img = new QLabel(this);
    image_img->setObjectName(QStringLiteral("image_img"));
    image_img->setGeometry(17, 23, msg_dialog::IconSize, msg_dialog::IconSize);
    const QList<QImage> icons = cutIconStrip(QImage(iconStripFile), msg_dialog::IconSize);
    if (int(DlgType) >= 0 && int(DlgType) < icons.size())
        image_img->setPixmap(QPixmap::fromImage(icons.at(int(DlgType))));

    msg_label = new QLabel(this);
    msg_label->setObjectName(QStringLiteral("msg_label"));
    msg_label->setTextFormat(Qt::PlainText);
    msg_label->setWordWrap(true);
    msg_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    msg_label->setText(msg);
    const int labelWidth = fOuter.width() - 80;
    const int labelHeight = qMax(msg_label->heightForWidth(labelWidth), 16);
    msg_label->setGeometry(60, 23, labelWidth, labelHeight);
    // A long message makes the dialog taller instead of running under the buttons.
    const int belowButtonsTop = fOuter.height() - msg_dialog::buttonTop(fOuter.height());
    const int needed = msg_label->geometry().bottom() + 1 + MessageButtonGap + belowButtonsTop;
    if (needed > fOuter.height()) {
        fOuter.setHeight(needed);
        fitOuterSize();
    }
    fLabelRightGap = this->width() - msg_label->geometry().right() - 1;

    QList<QPushButton *> created;
    int buttonWidth = StandardButtonWidth;
    int buttonHeight = StandardButtonHeight;
    for (TButtonTypes type : Buttons) {
        auto *button = new QPushButton(translated(msg_dialog::buttonText(type)), this);
        button->setObjectName(QString::fromLatin1(msg_dialog::buttonText(type).key) + QStringLiteral("_btn"));
        const int code = msg_dialog::resultCode(type);
        connect(button, &QPushButton::clicked, this, [this, code] { done(code); });
        buttonWidth = qMax(buttonWidth, button->sizeHint().width());
        buttonHeight = qMax(buttonHeight, button->sizeHint().height());
        created.append(button);
    }
    // One width for all keeps the row even and the placement rule exact.
    const int top = msg_dialog::buttonTop(fOuter.height());
    for (int i = 0; i < created.size(); ++i)
        created[i]->setGeometry(msg_dialog::buttonLeft(fOuter.width(), buttonWidth, i), top, buttonWidth, buttonHeight);
    fButtonBottomGap = this->height() - top;
    fButtons = created;
    fButtonTypes = Buttons;
    if (!fButtons.isEmpty())
        fButtons.first()->setFocus();

    setWindowTitle(translated(msg_dialog::titleText(DlgType)));
}

void TmsgDialog::fitOuterSize()
{
    const QSize frame = frameGeometry().size() - geometry().size();
    setFixedSize(fOuter - frame);
}

void TmsgDialog::centre()
{
    const QWidget *owner = mainWindow();
    QRect target;
    if (owner && owner->isVisible()) {
        target = owner->frameGeometry();
    } else {
        const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        target = screen->availableGeometry();
    }
    const QSize outer = frameGeometry().size();
    move(target.center() - QPoint(outer.width() / 2, outer.height() / 2));
}

void TmsgDialog::reject() { done(msg_dialog::CloseResult); }

void TmsgDialog::showEvent(QShowEvent *event)
{
    // The frame may be known only now; the outer size is what was asked for.
    fitOuterSize();
    centre();
    QDialog::showEvent(event);
}

void TmsgDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (!msg_label)
        return;
    for (QPushButton *button : std::as_const(fButtons))
        button->move(button->x(), height() - fButtonBottomGap);
    msg_label->resize(width() - msg_label->x() - fLabelRightGap, msg_label->height());
}
