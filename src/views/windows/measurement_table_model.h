#pragma once
// The rows of the measurement table, read from the run's measurement store that the chart
// reads too; the model keeps no copy, only how each stretch of rows is formatted, and makes
// the cell texts when a view asks for them. Row and column 0 of the grid are the view's
// headers: the model holds the six measurement columns and gives the row numbers as vertical
// header texts. New rows reach the views in batches (`publish`).
// A view keeps a little per row it is told of, so the views see a window of at most
// window_rows() measurements from window_first() on; the whole-run functions (measurement_count,
// grid_*, export_rows) ignore the window. User-interface thread only.
#include "views/chart/measurement_store.h"
#include "views/windows/table_export.h"

#include <QAbstractTableModel>
#include <algorithm>
#include <memory>
#include <vector>

class TRowTextWriter;

class TMeasurementTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TMeasurementTableModel(QObject *parent = nullptr);
    ~TMeasurementTableModel() override;

    // The rows come from this store from now on; the model starts with one of its own.
    void set_store(std::shared_ptr<TMeasurementStore> store);
    const std::shared_ptr<TMeasurementStore> &store() const { return fStore; }
    // Empties the store: one blank row under the headers.
    void clear();
    void set_headers(const QStringList &cells); // all seven grid columns
    struct Format {
        qint64 start_msecs = 0; // origin of the relative time
        bool relative = true;
        int pressure_digits = 3;
        int temperature_digits = 2;
        bool operator==(const Format &o) const
        {
            return start_msecs == o.start_msecs && relative == o.relative && pressure_digits == o.pressure_digits &&
                   temperature_digits == o.temperature_digits;
        }
    };
    // Stored at once; views see it at the next publish.
    void append(const TMeasurementStore::Reading &reading, const QDateTime &when, const Format &format);
    // The store's newest row was recorded by its writer: show it with this format.
    void record(const Format &format);
    // Every row the store holds now is shown with this format (a recorded run, read at once).
    void record_all(const Format &format);
    // Tells the views about the rows appended since the last call. Rows past the window's end
    // move it forward far enough for the newest and half a window more, so that moves are rare.
    void publish();
    bool unpublished() const { return fPublished != measurement_count(); }

    static constexpr int WindowRows = 1 << 20;
    // At least 2; the window keeps the newest row if it held it.
    void set_window_rows(int rows);
    int window_rows() const { return fWindowRows; }
    // The measurement (0-based) in view row 0.
    int window_first() const { return fFirst; }
    // How far a view that reached an edge of the window moves it.
    int window_step() const { return std::max(fWindowRows / 2, 1); }
    bool rows_before_window() const { return fFirst > 0; }
    bool rows_after_window() const { return fPublished > fFirst + fWindowRows; }
    // The window starts at `first`, or as near as it can: never before the run and never further
    // forward than a full window ending at the newest published row (nor than where it is, when it
    // is already beyond that). A model reset; returns how many rows the window moved.
    int move_window(int first);

    int measurement_count() const;
    // The export bytes of measurement rows [first, last), CR LF after each.
    void export_rows(int first, int last, TRowTextWriter &writer, QByteArray &out) const;
    // Grid coordinates, as the export reads them: row 0 the headers, column 0 the row number.
    int grid_rows() const { return std::max(measurement_count(), 1) + 1; }
    QString grid_cell(int row, int column) const;
    QStringList grid_row(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    // A format holds from its first row until the next format's.
    struct FormatRun {
        int first_row;
        Format format;
    };
    const Format &format_of(int index) const;
    // Rows a writer elsewhere dropped (Clear Chart empties the store first).
    void follow_clear();
    void forget_rows();
    // Measurements in view rows now; view row `row` is one of them.
    int shown_measurements() const;
    bool in_window(int row) const;
    // Where the window starts so that it holds the newest published row.
    int following_first() const;

    std::shared_ptr<TMeasurementStore> fStore;
    std::uint64_t fGeneration = 0;
    std::vector<FormatRun> fFormats;
    QStringList fHeaders;
    int fPublished = 0; // measurements the views could be shown
    int fFirst = 0;
    int fWindowRows = WindowRows;
};
