// Shared pieces of the event log tests: a recording viewer, a settable clock, a fixture with
// temporary folders.
#pragma once

#include "services/settings/IniHandler.h"
#include "services/log/logFile.h"
#include "qt_printers.h"
#include "wait_until.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

inline bool onMainThread()
{
    return QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Everything the log asked of its viewer, in order; outlives the viewer.
class ViewerJournal
{
public:
    struct Call {
        QString name;
        QStringList args;
        bool onMainThread;
    };

    void record(const QString &name, const QStringList &args = {})
    {
        const bool main = onMainThread();
        std::lock_guard<std::mutex> lock(fLock);
        fCalls.push_back({name, args, main});
    }
    std::vector<Call> calls() const
    {
        std::lock_guard<std::mutex> lock(fLock);
        return fCalls;
    }
    QStringList names() const
    {
        QStringList result;
        for (const Call &call : calls())
            result << call.name;
        return result;
    }
    int count(const QString &name) const { return int(names().count(name)); }
    void reset()
    {
        std::lock_guard<std::mutex> lock(fLock);
        fCalls.clear();
    }

private:
    mutable std::mutex fLock;
    std::vector<Call> fCalls;
};

// A viewer that only records; its own lock is taken inside every call, as a real one would.
class RecordingViewer : public TLogViewer
{
public:
    explicit RecordingViewer(std::shared_ptr<ViewerJournal> journal) : fJournal(std::move(journal)) {}
    ~RecordingViewer() override { fJournal->record(QStringLiteral("destroyed")); }

    void addLog(const QString &str, bool useFilter) override
    {
        std::lock_guard<std::mutex> lock(fViewerLock);
        fJournal->record(QStringLiteral("addLog"), {str, useFilter ? QStringLiteral("filter") : QStringLiteral("raw")});
    }
    void initLog(const QStringList &lines) override
    {
        std::lock_guard<std::mutex> lock(fViewerLock);
        fJournal->record(QStringLiteral("initLog"), lines);
    }
    void updateGui() override { locked(QStringLiteral("updateGui")); }
    void newFile() override { locked(QStringLiteral("newFile")); }
    void clear() override { locked(QStringLiteral("clear")); }
    void showLastLine() override { locked(QStringLiteral("showLastLine")); }
    void showForm() override { locked(QStringLiteral("showForm")); }
    void hideForm() override { locked(QStringLiteral("hideForm")); }

private:
    void locked(const QString &name)
    {
        std::lock_guard<std::mutex> lock(fViewerLock);
        fJournal->record(name);
    }

    std::shared_ptr<ViewerJournal> fJournal;
    std::mutex fViewerLock;
};

// A clock the test sets; read by the log from any thread.
class TestClock
{
public:
    TestClock(const QDate &date, const QTime &time) : fNow{date, time} {}
    TLocalTime now() const
    {
        std::lock_guard<std::mutex> lock(fLock);
        return fNow;
    }
    void set(const QDate &date, const QTime &time)
    {
        std::lock_guard<std::mutex> lock(fLock);
        fNow = {date, time};
    }

private:
    mutable std::mutex fLock;
    TLocalTime fNow;
};

// Temporary settings and log folders, a fixed clock (31 July 2018, 14:05:09) and a log on them.
class LogFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fTemp.isValid());
        ASSERT_TRUE(QDir(fTemp.path()).mkpath(QStringLiteral("settings")));
        ASSERT_TRUE(QDir(fTemp.path()).mkpath(QStringLiteral("logs")));
        fIni = std::make_unique<TIniHandler>(path(QStringLiteral("settings")), path(QStringLiteral("exe")));
    }

    QString path(const QString &name) const { return QDir(fTemp.path()).filePath(name); }
    QString logDir() const { return path(QStringLiteral("logs")); }
    QString logFile(const QString &name = QStringLiteral("log.txt")) const { return QDir(logDir()).filePath(name); }

    std::unique_ptr<TLogFile> makeLog()
    {
        return std::make_unique<TLogFile>(logDir(), fIni.get(), [clock = fClock] { return clock->now(); });
    }

    std::unique_ptr<TLogFile> makeLogWithViewer()
    {
        auto log = makeLog();
        log->setViewerFactory([journal = fJournal](TLogFile &) { return std::make_unique<RecordingViewer>(journal); });
        return log;
    }

    // Opens the viewer and waits until the file has been loaded into it.
    void openViewer(TLogFile &log)
    {
        log.enableForm();
        ASSERT_TRUE(wait_until::pumping([&] { return fJournal->count(QStringLiteral("showLastLine")) > 0; }));
        ASSERT_TRUE(log.Get_data_geladen());
        fJournal->reset();
    }

    static QByteArray line(const char *message, const char *category = "-", const char *level = "-")
    {
        return QByteArray("31.07.2018 14:05:09\t") + category + '\t' + level + '\t' + message + "\r\n";
    }

    QTemporaryDir fTemp;
    std::unique_ptr<TIniHandler> fIni;
    std::shared_ptr<TestClock> fClock = std::make_shared<TestClock>(QDate(2018, 7, 31), QTime(14, 5, 9));
    std::shared_ptr<ViewerJournal> fJournal = std::make_shared<ViewerJournal>();
};
