// The splash window of the entry sequence: borderless, white, centred on the screen, with the
// product picture, the version and the build time. It closes 2 s after it was shown and then
// deletes itself. GUI thread only.
#pragma once

#include "app/product_view.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

class Tsplash_Form : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Width = 739;
    static constexpr int Height = 340;
    static constexpr int CloseDelayMs = 2000;

    // Creates the splash window, shows it centred and paints it at once. It owns itself; the
    // pointer turns null once it is gone, and a caller that ends earlier may delete it.
    static QPointer<Tsplash_Form> showSplash();

    explicit Tsplash_Form(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    product_view::Labels fLabels;
    QTimer fCloseTimer;
};
