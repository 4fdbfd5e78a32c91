// The log viewer window: the whole current log file, then every line the log accepts, behind
// a filter that the hidden Category and Type menus would change.
// Threading: addLog from any thread; initLog from the log's file reader (it only stores the
// lines, the text box takes them at the next main-thread call); everything else main thread.
#pragma once

#include "services/log/log_filter.h"
#include "services/log/log_viewer.h"
#include "services/dialogs/saveForm.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <mutex>
#include <optional>

class TLogFile;

namespace Ui {
class TlogForm;
}

class TlogForm : public TSaveForm, public TLogViewer
{
    Q_OBJECT

public:
    // `log` is the event log this window shows; it outlives the window.
    explicit TlogForm(TLogFile &log, QWidget *parent = nullptr);
    ~TlogForm() override;

    void addLog(const QString &str, bool useFilter) override;
    void initLog(const QStringList &str) override;
    void updateGui() override;
    void newFile() override;
    void clear() override;
    void showLastLine() override;
    void showForm() override;
    void hideForm() override;

    // Menu captions in the current language; on making and after a change of language.
    void translateCaptions();

    // Menu handlers.
    void Clear1Click();
    void Close1Click();
    void filter();

    // Every line received since the viewer was last emptied, shown or not.
    QStringList lines() const;
    // What the text box shows, one entry per line.
    QStringList shownLines() const;
    TLogFilter currentFilter() const;

    static constexpr const char *NewFileLine = "-- new File ---";

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct PendingLine {
        QString text;
        bool useFilter;
    };

    // Shows the content initLog stored; main thread.
    void takeLoadedContent();
    void appendToBox(const QStringList &lines);
    void caretToEnd();

    std::unique_ptr<Ui::TlogForm> ui;
    TLogFile &fLogFile;

    // Guards newLines, fLog and fLoaded.
    mutable std::mutex fCritNewLines;
    QList<PendingLine> newLines;
    QStringList fLog;
    std::optional<QStringList> fLoaded; // read from the file, not yet in the text box
};
