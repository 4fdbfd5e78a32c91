// What the event log needs from its viewer window; the log viewer implements it.
// Lock order: the log calls addLog and initLog while it holds its queue lock, so inside them
// the viewer takes only its own lock, and it never calls into the log while holding that lock.
#pragma once

#include <QString>
#include <QStringList>

class TLogViewer
{
public:
    virtual ~TLogViewer() = default;

    // Any thread: queue a new line for the next updateGui, marked to pass the filter
    // when `useFilter` is true.
    virtual void addLog(const QString &str, bool useFilter) = 0;

    // Background thread (the log's file reader): replace the content by `lines`, the whole
    // current file, and drop the queued lines. Must not wait for the main thread: the text
    // box takes the new content at the next main-thread call (showLastLine follows at once).
    virtual void initLog(const QStringList &lines) = 0;

    // Main thread only from here on.
    virtual void updateGui() = 0;     // show the queued lines
    virtual void newFile() = 0;       // the log started a new file
    virtual void clear() = 0;         // empty the content and the text box
    virtual void showLastLine() = 0;  // caret to the end of the text, scrolling to the newest line
    virtual void showForm() = 0;
    virtual void hideForm() = 0;
};
