// The application's own modal message box: an icon for the message type, a translated title, the
// message and a row of translated buttons; returns the result code of the pressed button.
// GUI thread only.
#pragma once

#include "services/dialogs/msg_dialog.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QPushButton;

class TmsgDialog : public QDialog
{
    Q_OBJECT

public:
    // Show the dialog modally (380 x 150 outer size unless given) and return the result code of
    // the pressed button; the close box and Escape return 2. Buttons stand right to left in
    // list order; the same button may appear twice.
    static int createDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons);
    static int createDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons,
                            int width, int height);
    // The same with `defaultButton` taking Enter and the focus instead of the first button.
    static int createDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons,
                            TButtonTypes defaultButton);

    // The window the dialogs centre over while it is visible; otherwise they centre on the screen.
    static void setMainWindow(QWidget *window);
    // "images/msg_dlg_icons.bmp" beside the program.
    static QString defaultIconStripFile();

    // Builds the dialog without showing it; a missing or unreadable strip leaves it without icon.
    TmsgDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons, int width,
               int height, const QString &iconStripFile);

    // In list order, so the first one stands rightmost.
    const QList<QPushButton *> &buttons() const { return fButtons; }
    // Enter presses it and it has the focus; a button not in the dialog changes nothing.
    void setDefaultButton(TButtonTypes button);
    QPushButton *defaultButton() const;
    // The requested outer size.
    QSize outerSize() const { return fOuter; }

public slots:
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildDialog(const QString &msg, TMsgDialogType DlgType, const QList<TButtonTypes> &Buttons,
                     const QString &iconStripFile);
    void fitOuterSize();
    void centre();

    QSize fOuter;
    QLabel *image_img = nullptr;
    QLabel *msg_label = nullptr;
    QList<QPushButton *> fButtons;
    QList<TButtonTypes> fButtonTypes;
    // Distances kept to the bottom and right edges while the frame settles.
    int fButtonBottomGap = 0;
    int fLabelRightGap = 0;
};
