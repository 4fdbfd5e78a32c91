#pragma once
// The measurement table window: one row per measurement of a run under the identity of the
// measured transmitter, copied to the clipboard or saved as tab-separated text. Closing it only
// hides it; only init empties it. User-interface thread only.
#include "views/chart/measurement_store.h"
#include "views/windows/table_export.h"

#include <QDateTime>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QUrl;
class TIniHandler;
class TMeasurementTableModel;

namespace Ui {
class Ttable_form;
}

class Ttable_form : public QWidget
{
    Q_OBJECT

public:
    // The file to save to, asked with `folder` as the initial folder; empty when the user cancels.
    using FileNameAsker = std::function<QString(QWidget *parent, const QString &folder)>;
    // Tells the user about a failure.
    using ErrorReporter = std::function<void(QWidget *parent, const QString &message)>;
    // Shows a folder in the system file manager; false when that failed.
    using FolderOpener = std::function<bool(const QUrl &folder)>;
    using Clock = std::function<QDateTime()>;
    // Told how far an export got, before each chunk of rows and at the end; false cancels it.
    using ExportProgress = std::function<bool(qint64 done, qint64 total)>;

    // Without a settings store the program's single one is used.
    explicit Ttable_form(QWidget *parent = nullptr, TIniHandler *settings = nullptr);
    ~Ttable_form() override;

    const QString &Get_scaling() const { return f_scaling; }
    void Set_scaling(const QString &value);
    const QString &Get_calib_date() const { return f_calib_date; }
    void Set_calib_date(const QString &value);
    const QString &Get_unique_code() const { return f_unique_code; }
    void Set_unique_code(const QString &value);
    const QString &Get_dev_status() const { return f_dev_status; }
    void Set_dev_status(const QString &value);
    const QString &Get_slave_addr() const { return f_slave_addr; }
    void Set_slave_addr(const QString &value);
    const QString &Get_addr_left() const { return f_addr_left; }
    void Set_addr_left(const QString &value);
    // Hidden during a run, so that the time base cannot change halfway.
    void Set_time_axis_enabled(bool b);
    int Get_pressure_digits() const { return f_pressure_digits; }
    void Set_pressure_digits(int digits) { f_pressure_digits = digits; }
    int Get_temperature_digits() const { return f_temperature_digits; }
    void Set_temperature_digits(int digits) { f_temperature_digits = digits; }

    // Empties the table and the identity and restarts the relative time.
    void init();
    // The row is stored at once, its values computed from the raw words with the reading's range;
    // the grid shows new rows at the screen's pace (update_view).
    void add_row(const TMeasurementStore::Reading &reading);
    // The rows come from this store, which the main window writes and the chart reads.
    void share_store(std::shared_ptr<TMeasurementStore> store);
    // A recorded run: all of its rows at once, under the identity of its transmitter as far as
    // the run knows it; nothing is added to it.
    struct Identity {
        QString scaling;
        QString calib_date;
        QString unique_code;
        QString slave_addr;
    };
    void show_run(std::shared_ptr<TMeasurementStore> store, const Identity &identity);
    // The store's writer recorded a new row: shown like one from add_row.
    void row_recorded();
    // Brings the grid up to date now: new rows, scrolling and the selection of the newest row.
    void update_view();
    // Captions and the grid's header in the current language; on making, showing and after a
    // change of language.
    void translateCaptions();

    void copy_to_clipbrd();
    void save_to_file();
    // The export as lines without line ends.
    QStringList fill_memo() const;

    // Grid coordinates: row 0 and column 0 are the header cells.
    QString cell_text(int row, int column) const;
    int row_count() const; // header row included
    int column_width(int column) const;
    int first_visible_row() const; // of the whole run
    // Data rows the grid has room for, less one.
    int visible_rows() const { return f_o; }

    void set_file_name_asker(FileNameAsker asker) { fAskFileName = std::move(asker); }
    void set_error_reporter(ErrorReporter reporter) { fReportError = std::move(reporter); }
    void set_folder_opener(FolderOpener opener) { fOpenFolder = std::move(opener); }
    void set_clock(Clock clock) { fNow = std::move(clock); }
    void set_export_progress(ExportProgress progress) { fProgress = std::move(progress); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void copy_btnClick();
    void save_btnClick();
    void SpeedButton1Click();
    void calc_visible_rows();
    void write_headers();
    void show_identity(QString &field, QLabel *label, const QString &value);
    void after_row();
    // The grid reached an edge of the model's window with more of the run beyond it.
    void browse(int scroll_value);
    // The model's window starts at `first`; the grid keeps showing and selecting the same
    // measurements where they are in it.
    void move_window(int first);
    // The export's text before the rows, the header row included.
    QByteArray export_head() const;
    table_export::ExportContent export_header() const;
    // Hands the export to `write` chunk by chunk; false when cancelled or a write failed.
    bool stream_export(const std::function<bool(const QByteArray &chunk)> &write);

    std::unique_ptr<Ui::Ttable_form> ui;
    TMeasurementTableModel *fModel; // owned as a child
    QTimer fViewTimer;
    TIniHandler *fIni;
    FileNameAsker fAskFileName;
    ErrorReporter fReportError;
    FolderOpener fOpenFolder;
    Clock fNow;
    ExportProgress fProgress;

    int f_row = 0;
    QDateTime f_start_time;
    int f_o = 0;
    QString f_scaling;
    QString f_calib_date;
    QString f_unique_code;
    QString f_dev_status;
    QString f_slave_addr;
    QString f_addr_left;
    int f_pressure_digits = 3;
    int f_temperature_digits = 2;
    table_export::Captions f_captions; // as last translated
    bool f_placed = false;
    bool f_scrolling = false; // the grid is placed by the program, not browsed
};
