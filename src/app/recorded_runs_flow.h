// Recorded runs in the main window: the File menu entry and the list of runs, a run opened
// into the chart and the table (read from the file on a thread of its own, so that a long run
// does not stop the window), and a run deleted after a question. Main thread only.
#pragma once

#include "services/recording/run_database.h"
#include "services/utils/main_thread_call.h"

#include <QObject>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QAction;
class QMainWindow;
class TLogFile;
class TMeasurementStore;
class TSession;
class Trecorded_runs_form;

class TRecordedRunsFlow : public QObject
{
    Q_OBJECT
public:
    // Shows a run read from the file in the chart and the table.
    using Show = std::function<void(std::shared_ptr<TMeasurementStore> store, const run_database::Run &run)>;
    // Whether a run is being measured, which keeps the chart.
    using Measuring = std::function<bool()>;

    // The entry goes before `before` in its menu; the file is the one `session` records into.
    TRecordedRunsFlow(QMainWindow &window, QAction &before, TSession &session, TLogFile &log, Show show,
                      Measuring measuring);
    // Waits for a run being read.
    ~TRecordedRunsFlow() override;

    QAction &action() const { return *f_action; }
    void show();
    void translateCaptions();
    // The run the chart shows, or nullptr.
    const run_database::Run *open_run() const { return f_open.id >= 0 ? &f_open : nullptr; }
    // The chart no longer shows the opened run.
    void closed();
    // The list, once made (tests).
    Trecorded_runs_form *form() const;
    bool loading() const { return f_loader.joinable(); }

signals:
    // A run was read and shown, or could not be (`error`).
    void opened(std::int64_t run, const QString &error);

private:
    QString file() const;
    void reload();
    void open(const run_database::Run &run);
    void loaded(const run_database::Run &run, std::shared_ptr<TMeasurementStore> store, const QString &error);
    void remove(const run_database::Run &run);
    void tell_open_runs();

    QMainWindow &f_window;
    TSession &f_session;
    TLogFile &f_log;
    Show f_show;
    Measuring f_measuring;
    QAction *f_action = nullptr;
    QPointer<Trecorded_runs_form> f_form;
    run_database::Run f_open; // id -1: none
    std::atomic<bool> f_cancel{false};
    std::thread f_loader; // joined before its result is used
    // The loader's result reaches the main thread through the gate's lock.
    main_thread_call::Gate f_loaded{this};
};
