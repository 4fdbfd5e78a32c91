// Drives a modal dialog from inside its own event loop: waits until it is the active modal
// window, then hands it to the test's action (which looks at it and presses a button).
#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QWidget>
#include <functional>

template <typename Dialog>
class DialogDriver
{
public:
    explicit DialogDriver(std::function<void(Dialog &)> action) : fAction(std::move(action))
    {
        fPoll.setInterval(10);
        QObject::connect(&fPoll, &QTimer::timeout, [this] { poll(); });
        fPoll.start();
    }
    // Whether the action ran on a shown dialog of that class.
    bool ran() const { return fRan; }

private:
    void poll()
    {
        auto *dialog = qobject_cast<Dialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            if (fGiveUp.hasExpired())
                fPoll.stop();
            return;
        }
        fPoll.stop();
        fRan = true;
        fAction(*dialog);
    }

    std::function<void(Dialog &)> fAction;
    QTimer fPoll;
    QDeadlineTimer fGiveUp{10000};
    bool fRan = false;
};
