// The main window with its windows, against the simulated adapter, in folders of its own.
// One temporary home per test program: the event log keeps the folder it was first given.
#pragma once

#include "views/windows/device_memory.h"
#include "services/log/logFile.h"
#include "app/main.h"
#include "session/session.h"
#include "services/dialogs/msgDialogForm.h"
#include "qt_printers.h"
#include "sim_control.h"
#include "views/instruments/shape.h"
#include "views/windows/table_view.h"
#include "wait_until.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QPointer>
#include <functional>
#include <memory>
#include <gtest/gtest.h>

class MainWindowTest : public ::testing::Test
{
public:
    // Set before any service exists; the folders live as long as the test program.
    static QTemporaryDir &home()
    {
        static QTemporaryDir dir;
        static const bool placed = [] {
            qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
            qputenv("XDG_DATA_DIRS", dir.filePath(QStringLiteral("system")).toLocal8Bit());
            qputenv("XDG_RUNTIME_DIR", dir.filePath(QStringLiteral("run")).toLocal8Bit());
            QDir().mkpath(dir.filePath(QStringLiteral("run")));
            return true;
        }();
        Q_UNUSED(placed);
        return dir;
    }
    static QString settingsFile()
    {
        return home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit/Orvel_IIC_Addr.ini"));
    }

protected:
    void SetUp() override
    {
        home();
        ASSERT_TRUE(sim.loaded()) << sim.error();
        std::string error;
        ASSERT_TRUE(sim.start(scenario(), &error)) << error;
        ASSERT_NO_FATAL_FAILURE(before_window());
        memory = std::make_unique<Tmemory_Form>();
        table = std::make_unique<Ttable_form>();
        form = std::make_unique<Tmain_Form>();
        TmsgDialog::setMainWindow(form.get());
        form->attach_windows({nullptr, memory.get(), nullptr, table.get()});
        form->show();
    }
    void TearDown() override
    {
        form.reset(); // stops the workers before the other windows go
        TmsgDialog::setMainWindow(nullptr);
        table.reset();
        memory.reset();
    }

    // Scenario text; empty for the default transmitter at 0x28.
    virtual std::string scenario() { return {}; }
    // What the bus and the folders hold when the program starts, made on the started simulation.
    virtual void before_window() {}
    std::string scenarioFile(const std::string &text) { return text.empty() ? text : sim.writeFile("scenario.ini", text); }

    template <typename T>
    T *child(const char *name) const
    {
        T *found = form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QString text(const char *label) const { return child<QLabel>(label)->text(); }
    // Picks a new slave address as the user does; "Change Device Address" waits for a pick.
    void pickNewAddress(const char *address)
    {
        auto *combo = form->findChild<QComboBox *>(QStringLiteral("new_slaveaddr_combo"));
        ASSERT_NE(combo, nullptr);
        const int index = combo->findText(QString::fromLatin1(address));
        ASSERT_GE(index, 0) << address;
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    bool waitFor(const std::function<bool()> &condition, int ms = 8000) { return wait_until::pumping(condition, ms); }
    // The first full scan cycle after the deferred start-up.
    bool waitForScan() { return waitFor([this] { return text("status_middle_label").contains("succesfully"); }); }

    // Answers the next modal message dialog with the button of that result code.
    void answerNextDialog(int result, QString *message = nullptr)
    {
        auto *poll = new QTimer(form.get()); // owned by the main window
        QObject::connect(poll, &QTimer::timeout, poll, [poll, result, message] {
            auto *dialog = qobject_cast<TmsgDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll->stop();
            poll->deleteLater();
            if (message)
                *message = dialog->findChild<QLabel *>(QStringLiteral("msg_label"))->text();
            dialog->done(result);
        });
        poll->start(20);
    }

    // Answers the next modal message dialogs in turn, one result each, keeping their texts;
    // `inspect` looks at the windows while the dialog with that number (from 0) is up.
    void answerDialogs(const QList<int> &results, QStringList *messages,
                       const std::function<void(int)> &inspect = {})
    {
        auto *poll = new QTimer(form.get()); // owned by the main window
        auto pending = std::make_shared<QList<int>>(results);
        auto last = std::make_shared<QPointer<QWidget>>();
        auto count = std::make_shared<int>(0);
        QObject::connect(poll, &QTimer::timeout, poll, [poll, pending, last, messages, inspect, count] {
            auto *dialog = qobject_cast<TmsgDialog *>(QApplication::activeModalWidget());
            if (!dialog || dialog == last->data())
                return;
            *last = dialog;
            if (messages)
                messages->append(dialog->findChild<QLabel *>(QStringLiteral("msg_label"))->text());
            if (inspect)
                inspect((*count)++);
            dialog->done(pending->takeFirst());
            if (pending->isEmpty()) {
                poll->stop();
                poll->deleteLater();
            }
        });
        poll->start(20);
    }

    zorbit_test::SimControl sim;
    std::unique_ptr<Tmemory_Form> memory;
    std::unique_ptr<Ttable_form> table;
    std::unique_ptr<Tmain_Form> form;
};
