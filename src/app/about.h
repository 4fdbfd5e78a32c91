// The about box: borderless, centred over the main window, with the product picture, version,
// build time, the maker's web address as a link and a "Close" button; its words are those of the
// language current when it is shown. GUI thread only.
#pragma once

#include "app/product_view.h"

#include <QDialog>
#include <QUrl>
#include <functional>

class QLabel;
class QPushButton;

class Tabout_Form : public QDialog
{
    Q_OBJECT

public:
    static constexpr int Width = 736;
    static constexpr int Height = 333;
    // A placeholder for the maker's site.
    static inline const QString MakerAddress = QStringLiteral("https://orvel.example");

    // `mainWindow` is the window the box centres over and belongs to.
    explicit Tabout_Form(QWidget *mainWindow = nullptr);

    // Opens a web address with the system's browser; false when that failed.
    using UrlOpener = std::function<bool(const QUrl &address)>;
    void setUrlOpener(UrlOpener opener) { fOpenUrl = std::move(opener); }

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void link_labelClick();

    product_view::Labels fLabels;
    QLabel *link_label = nullptr;
    QPushButton *close_btn = nullptr;
    UrlOpener fOpenUrl;
};
