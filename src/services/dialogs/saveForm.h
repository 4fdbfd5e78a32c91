// A window that comes back where the user left it: its geometry is restored from the settings
// store when it is first shown and stored when it is closed or hidden, and when it is released
// while still shown. The keys carry the name of the window's own class. GUI thread only.
#pragma once

#include <QString>
#include <QWidget>

class TIniHandler;

class TSaveForm : public QWidget
{
    Q_OBJECT

public:
    explicit TSaveForm(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~TSaveForm() override;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

    // Taken on each use: the main window may release the store before this window ends.
    static TIniHandler *fIni();

private:
    void storeGeometry();

    // The final class is known only once construction is over, and no longer while destroying.
    QString fClassName;
    bool fRestored = false;
};
