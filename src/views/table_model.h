#pragma once
// The rows of the measurement table, kept compact (one small record per measurement) so that a
// long run stays light; the cell texts are made when a view asks for them. Row and column 0 of
// the grid are the view's headers: the model holds the six measurement columns and gives the
// row numbers as vertical header texts. New rows reach the views in batches (`publish`).
// User-interface thread only.
#include "table_export.h"

#include <QAbstractTableModel>
#include <deque>
#include <vector>

class TMeasurementTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TMeasurementTableModel(QObject *parent = nullptr);

    // Empty: one blank row under the headers.
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
    void append(const table_export::Measurement &m, const QDateTime &when, const Format &format);
    // Tells the views about the rows appended since the last call.
    void publish();
    bool unpublished() const { return fPublished != measurement_count(); }

    int measurement_count() const { return int(fRows.size()); }
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
    // 32 bytes a measurement.
    struct Row {
        qint64 msecs; // since the epoch
        double pbar;
        double tcels;
        qint32 pu16;
        qint32 tu16;
    };
    // A format holds from its first row until the next format's.
    struct FormatRun {
        int first_row;
        Format format;
    };
    const Format &format_of(int index) const;

    std::deque<Row> fRows;
    std::vector<FormatRun> fFormats;
    QStringList fHeaders;
    int fPublished = 0; // measurements the views know of
};
