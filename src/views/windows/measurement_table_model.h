#pragma once
// The rows of the measurement table, read from the run's measurement store that the chart
// reads too; the model keeps no copy, only how each stretch of rows is formatted, and makes
// the cell texts when a view asks for them. Row and column 0 of the grid are the view's
// headers: the model holds the six measurement columns and gives the row numbers as vertical
// header texts. New rows reach the views in batches (`publish`). User-interface thread only.
#include "views/chart/measurement_store.h"
#include "views/windows/table_export.h"

#include <QAbstractTableModel>
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
    // Tells the views about the rows appended since the last call.
    void publish();
    bool unpublished() const { return fPublished != measurement_count(); }

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

    std::shared_ptr<TMeasurementStore> fStore;
    std::uint64_t fGeneration = 0;
    std::vector<FormatRun> fFormats;
    QStringList fHeaders;
    int fPublished = 0; // measurements the views know of
};
