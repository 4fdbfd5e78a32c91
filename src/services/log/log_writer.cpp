#include "services/log/log_writer.h"

#include "services/utils/ZUtils.h"
#include "services/utils/file_commit.h"
#include "services/log/logFile.h"
#include "services/log/log_viewer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString CurrentFile = QStringLiteral("log.txt");
const QString LineEnd = QStringLiteral("\r\n");

// Beyond that many files a day the log is no longer read by anybody; the current file grows on.
constexpr int MaxRollOversPerDay = 10000;

// How long a waiting main thread lets pass before it serves a writer waiting for it.
constexpr std::chrono::milliseconds ServeInterval{5};

QStringList splitLines(const QByteArray &bytes)
{
    QStringList lines = QString::fromLocal8Bit(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    return lines;
}

} // namespace

TLogWriter::TLogWriter(const QString &dir, int32_t fileSizeLimit, Clock clock,
                       std::shared_ptr<main_thread_call::Caller> sync)
    : fDir(dir),
      fFileName(QDir(dir).filePath(CurrentFile)),
      fFileSizeLimit(fileSizeLimit),
      fClock(std::move(clock)),
      fSync(std::move(sync))
{
}

void TLogWriter::queue(QString line)
{
    {
        std::lock_guard<std::mutex> lock(fcs);
        if (fViewer)
            fViewer->addLog(line, true);
        fLogs.append(std::move(line));
        fWakeRequested = true;
    }
    fWake.notify_one();
}

void TLogWriter::wake()
{
    {
        std::lock_guard<std::mutex> lock(fcs);
        fWakeRequested = true;
    }
    fWake.notify_one();
}

QStringList TLogWriter::queued() const
{
    std::lock_guard<std::mutex> lock(fcs);
    return fLogs;
}

void TLogWriter::setViewer(TLogViewer *viewer)
{
    std::lock_guard<std::mutex> lock(fcs);
    fViewer = viewer;
}

bool TLogWriter::hasViewer() const
{
    std::lock_guard<std::mutex> lock(fcs);
    return fViewer != nullptr;
}

void TLogWriter::runOnViewer(void (TLogViewer::*method)())
{
    if (!hasViewer())
        return;
    // Looked up again on the main thread: the viewer may have been released meanwhile. A call
    // withdrawn while the application closes has nobody left to show it to.
    sync()->runOnMainThread([this, method] {
        TLogViewer *viewer = nullptr;
        {
            std::lock_guard<std::mutex> lock(fcs);
            viewer = fViewer;
        }
        if (viewer)
            (viewer->*method)();
    });
}

std::shared_ptr<main_thread_call::Caller> TLogWriter::sync() const
{
    return fSync ? fSync : main_thread_call::installed();
}

void TLogWriter::deleteFile()
{
    if (!QFileInfo::exists(fFileName))
        return;
    bool removed = false;
    {
        std::lock_guard<std::mutex> lock(fcs);
        std::lock_guard<std::mutex> fileLock(fFileLock);
        removed = QFile::remove(fFileName);
    }
    if (!removed)
        throw EInOutError(QStringLiteral("Unable to delete %1").arg(fFileName).toStdString());
}

void TLogWriter::loaderStarting()
{
    std::lock_guard<std::mutex> lock(fcs);
    ++fLoaders;
}

void TLogWriter::loadViewer()
{
    struct Ending {
        TLogWriter *writer;
        ~Ending()
        {
            {
                std::lock_guard<std::mutex> lock(writer->fcs);
                --writer->fLoaders;
            }
            writer->fEnded.notify_all();
        }
    } ending{this};

    if (!fDataLoaded.load()) {
        {
            std::lock_guard<std::mutex> lock(fcs);
            if (fViewer && QFileInfo::exists(fFileName)) {
                QByteArray bytes;
                {
                    std::lock_guard<std::mutex> fileLock(fFileLock);
                    QFile file(fFileName);
                    if (file.open(QIODevice::ReadOnly))
                        bytes = file.readAll();
                }
                fViewer->initLog(splitLines(bytes));
            }
        }
        fDataLoaded.store(true);
    }
    runOnViewer(&TLogViewer::showLastLine);
}

void TLogWriter::run()
{
    QStringList batch;
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(fcs);
            fWake.wait(lock, [this] { return fWakeRequested || fStopRequested; });
            // Every queued line sets the request, so without one the queue is empty.
            if (!fWakeRequested)
                break;
            fWakeRequested = false;
            batch.swap(fLogs);
        }
        writePass(batch);
        batch.clear();
        if (fDataLoaded.load())
            runOnViewer(&TLogViewer::updateGui);
    }
    {
        std::lock_guard<std::mutex> lock(fcs);
        fWriterEnded = true;
    }
    fEnded.notify_all();
}

bool TLogWriter::stop(std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::unique_lock<std::mutex> lock(fcs);
    fStopRequested = true;
    fWake.notify_one();
    for (;;) {
        const auto slice = std::min(deadline, std::chrono::steady_clock::now() + ServeInterval);
        if (fEnded.wait_until(lock, slice, [this] { return fWriterEnded && fLoaders == 0; }))
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        // A main thread waiting here would otherwise never run the writer's viewer call.
        lock.unlock();
        sync()->runPending();
        lock.lock();
    }
}

void TLogWriter::writePass(const QStringList &batch)
{
    if (rollOver())
        runOnViewer(&TLogViewer::newFile);
    append(batch);
}

bool TLogWriter::rollOver()
{
    std::lock_guard<std::mutex> fileLock(fFileLock);
    if (ZFile::getFileSize(fFileName) <= fFileSizeLimit)
        return false;
    // A file that could not be moved aside goes on growing: no new file has started then.
    const QString rolled = rolledFileName();
    return !rolled.isEmpty() && QFile::rename(fFileName, rolled);
}

QString TLogWriter::rolledFileName() const
{
    // Further roll-overs of the same day are numbered: log_2018_07_31_2.txt, _3, ...
    const QString stem = QStringLiteral("log_") + fClock().date.toString(QStringLiteral("yyyy_MM_dd"));
    const QDir dir(fDir);
    for (int n = 1; n < MaxRollOversPerDay; ++n) {
        const QString name = dir.filePath(stem + (n == 1 ? QString() : QStringLiteral("_%1").arg(n)) + QStringLiteral(".txt"));
        if (!QFileInfo::exists(name))
            return name;
    }
    return {};
}

void TLogWriter::append(const QStringList &batch)
{
    QStringList lines = batch;
    if (!fUnwrittenNotice.isEmpty() && !lines.contains(fUnwrittenNotice))
        lines.prepend(fUnwrittenNotice);
    QByteArray bytes;
    if (!lines.isEmpty())
        bytes = (lines.join(LineEnd) + LineEnd).toLocal8Bit();

    QString error;
    {
        std::lock_guard<std::mutex> fileLock(fFileLock);
        // A batch that cannot be written is lost, but never half a line of it.
        error = file_commit::append_lines(fFileName, bytes);
    }
    if (error.isEmpty()) {
        fFailing = false;
        fUnwrittenNotice.clear();
        return;
    }
    if (fFailing || !fErrorLine)
        return;
    fFailing = true;
    fUnwrittenNotice = fErrorLine(QStringLiteral("Log: unable to write to %1 (%2); lines are lost until it can be written")
                                      .arg(QDir::toNativeSeparators(fFileName), error));
    queue(fUnwrittenNotice);
}
