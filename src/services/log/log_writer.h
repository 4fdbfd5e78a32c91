// The event log's queue and the writer thread that appends it to the current log file.
// Queue and viewer pointer are guarded by one lock; the file by a second one, always taken
// after the first when both are needed. A writer still busy when its log is released keeps
// this object alive and ends on its own.
#pragma once

#include "services/utils/main_thread_call.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

class TLogViewer;
struct TLocalTime;

class TLogWriter
{
public:
    // Called from any thread.
    using Clock = std::function<TLocalTime()>;

    // A null `sync` means the main-thread caller installed at the time of each call.
    TLogWriter(const QString &dir, int32_t fileSizeLimit, Clock clock,
               std::shared_ptr<main_thread_call::Caller> sync = nullptr);

    // Turns a message of the writer's own into a log line. Set before run() starts; without it
    // a failed write is not logged.
    using ErrorLine = std::function<QString(const QString &message)>;
    void setErrorLine(ErrorLine errorLine) { fErrorLine = std::move(errorLine); }

    const QString &fileName() const { return fFileName; }

    // Appends a line (and hands it to the viewer) and wakes the writer.
    void queue(QString line);
    // Wakes the writer for a pass, even with nothing queued.
    void wake();
    QStringList queued() const;

    // Main thread only; the viewer is no longer reached once this returns with nullptr.
    void setViewer(TLogViewer *viewer);

    bool dataLoaded() const { return fDataLoaded.load(); }
    void setDataLoaded(bool loaded) { fDataLoaded.store(loaded); }

    // Throws EInOutError when the file exists and cannot be deleted.
    void deleteFile();
    // Fills the viewer from the current file once, then scrolls it to the end. Runs on a
    // thread of its own, announced beforehand so that stop() waits for it too.
    void loaderStarting();
    void loadViewer();

    // The writer thread's body; returns after stop() once every queued line is written.
    void run();
    // Tells the writer to stop after writing what is queued and waits up to `wait` for it and
    // for running loaders. False when they did not end in time.
    bool stop(std::chrono::milliseconds wait);

private:
    void writePass(const QStringList &batch);
    bool rollOver();
    void append(const QStringList &batch);
    QString rolledFileName() const;
    bool hasViewer() const;
    // Runs `method` on the viewer on the main thread and waits for it.
    void runOnViewer(void (TLogViewer::*method)());
    std::shared_ptr<main_thread_call::Caller> sync() const;

    const QString fDir;
    const QString fFileName;
    const int32_t fFileSizeLimit;
    const Clock fClock;
    const std::shared_ptr<main_thread_call::Caller> fSync;

    mutable std::mutex fcs;
    std::condition_variable fWake;
    std::condition_variable fEnded;
    QStringList fLogs;
    bool fWakeRequested = false;
    bool fStopRequested = false;
    bool fWriterEnded = false;
    int fLoaders = 0;
    TLogViewer *fViewer = nullptr;

    std::mutex fFileLock;
    std::atomic<bool> fDataLoaded{false};

    // Writer thread only: a failed write is logged once, and that line kept until it is written.
    ErrorLine fErrorLine;
    bool fFailing = false;
    QString fUnwrittenNotice;
};
