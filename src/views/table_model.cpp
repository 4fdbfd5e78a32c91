#include "table_model.h"

#include <algorithm>

TMeasurementTableModel::TMeasurementTableModel(QObject *parent) : QAbstractTableModel(parent)
{
    fHeaders = QStringList(table_export::ColumnCount, QString());
}

void TMeasurementTableModel::clear()
{
    beginResetModel();
    std::deque<Row>().swap(fRows);
    fFormats.clear();
    fPublished = 0;
    endResetModel();
}

void TMeasurementTableModel::set_headers(const QStringList &cells)
{
    fHeaders = cells;
    while (fHeaders.size() < table_export::ColumnCount)
        fHeaders.append(QString());
    emit headerDataChanged(Qt::Horizontal, 0, table_export::ColumnCount - 2);
}

void TMeasurementTableModel::append(const table_export::Measurement &m, const QDateTime &when, const Format &format)
{
    const int index = measurement_count();
    if (fFormats.empty() || !(fFormats.back().format == format))
        fFormats.push_back({index, format});
    fRows.push_back({when.toMSecsSinceEpoch(), m.pbar, m.tcels, qint32(m.pu16), qint32(m.tu16)});
}

void TMeasurementTableModel::publish()
{
    const int count = measurement_count();
    if (count == fPublished)
        return;
    const int shown = std::max(fPublished, 1);
    if (fPublished == 0) {
        // The blank row becomes the first measurement.
        fPublished = 1;
        emit dataChanged(index(0, 0), index(0, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, 0, 0);
    }
    if (count > shown) {
        beginInsertRows(QModelIndex(), shown, count - 1);
        fPublished = count;
        endInsertRows();
    }
}

const TMeasurementTableModel::Format &TMeasurementTableModel::format_of(int index) const
{
    const auto run = std::upper_bound(fFormats.begin(), fFormats.end(), index,
                                      [](int row, const FormatRun &r) { return row < r.first_row; });
    return std::prev(run)->format;
}

QStringList TMeasurementTableModel::grid_row(int row) const
{
    if (row == 0)
        return fHeaders;
    const int index = row - 1;
    if (index < 0 || index >= measurement_count())
        return QStringList(table_export::ColumnCount, QString());
    const Row &r = fRows[size_t(index)];
    const Format &f = format_of(index);
    const table_export::RowTime time{QDateTime::fromMSecsSinceEpoch(r.msecs),
                                     QDateTime::fromMSecsSinceEpoch(f.start_msecs), f.relative};
    return table_export::row_cells(row, {r.pu16, r.pbar, r.tu16, r.tcels}, time, f.pressure_digits,
                                   f.temperature_digits);
}

QString TMeasurementTableModel::grid_cell(int row, int column) const
{
    if (column < 0 || column >= table_export::ColumnCount)
        return {};
    return grid_row(row).value(column);
}

int TMeasurementTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(fPublished, 1);
}

int TMeasurementTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : table_export::ColumnCount - 1;
}

QVariant TMeasurementTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= fPublished)
        return {};
    return grid_cell(index.row() + 1, index.column() + 1);
}

QVariant TMeasurementTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return fHeaders.value(section + 1);
    return section < fPublished ? QString::number(section + 1) : QString();
}

Qt::ItemFlags TMeasurementTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
