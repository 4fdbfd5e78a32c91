#pragma once
// Saves a chart as a PNG, SVG or PDF file through one action, which the chart's context menu
// shows and any menu may show as well: asks the file and the size, writes the picture whole or
// not at all and tells a failure in words. The export folder setting is where the save dialog
// starts and keeps the folder of the last saved picture. User-interface thread only.
#include "views/chart/chart_picture.h"

#include <QObject>
#include <functional>
#include <optional>

class QAction;
class QWidget;
class TChart;
class TIniHandler;

class TChartPictureSave : public QObject
{
    Q_OBJECT
public:
    struct FileChoice {
        QString typed;                  // the name as the save dialog gives it
        chart_picture::Format filtered; // the format of the chosen filter
    };
    // Asks the file, starting in `folder` with the name `suggested` and the filter of `format`;
    // none when the user cancels.
    using FileAsker = std::function<std::optional<FileChoice>(QWidget *parent, const QString &folder,
                                                              const QString &suggested, chart_picture::Format format)>;
    // Asks the size of a picture of `format` of a chart shown at `shown`; none when cancelled.
    using SizeAsker = std::function<std::optional<chart_picture::SizeChoice>(
        QWidget *parent, chart_picture::Format format, const QSize &shown, const chart_picture::SizeChoice &last)>;
    // Whether an existing file the dialog did not ask about may be replaced.
    using ReplaceAsker = std::function<bool(QWidget *parent, const QString &fileName)>;
    using ErrorReporter = std::function<void(QWidget *parent, const QString &message)>;
    using Clock = std::function<QDateTime()>;

    // `chart` and `ini` outlive this object; the chart's context menu shows the action.
    TChartPictureSave(TChart &chart, TIniHandler &ini, QObject *parent = nullptr);
    ~TChartPictureSave() override;

    QAction &action() const { return *fAction; }
    // The whole save; true once a picture was written.
    bool save();
    // The picture written last; empty before.
    const QString &last_file() const { return fLastFile; }

    void translateCaptions();

    void set_file_asker(FileAsker asker) { fAskFile = std::move(asker); }
    void set_size_asker(SizeAsker asker) { fAskSize = std::move(asker); }
    void set_replace_asker(ReplaceAsker asker) { fAskReplace = std::move(asker); }
    void set_error_reporter(ErrorReporter reporter) { fReportError = std::move(reporter); }
    void set_clock(Clock clock) { fNow = std::move(clock); }

private:
    QWidget *dialog_parent() const;

    TChart &fChart;
    TIniHandler &fIni;
    QAction *fAction = nullptr;
    FileAsker fAskFile;
    SizeAsker fAskSize;
    ReplaceAsker fAskReplace;
    ErrorReporter fReportError;
    Clock fNow;
    // What the user chose last, offered again.
    chart_picture::Format fFormat = chart_picture::Format::Png;
    chart_picture::SizeChoice fSize;
    QString fLastFile;
};
