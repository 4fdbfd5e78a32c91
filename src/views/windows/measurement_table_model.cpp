#include "views/windows/measurement_table_model.h"

#include "views/chart/measurement_store.h"
#include "views/windows/row_text_writer.h"

#include <algorithm>

TMeasurementTableModel::TMeasurementTableModel(QObject *parent)
    : QAbstractTableModel(parent), fStore(std::make_shared<TMeasurementStore>())
{
    fHeaders = QStringList(table_export::ColumnCount, QString());
    fGeneration = fStore->generation();
}

TMeasurementTableModel::~TMeasurementTableModel() = default;

void TMeasurementTableModel::set_store(std::shared_ptr<TMeasurementStore> store)
{
    beginResetModel();
    fStore = std::move(store);
    forget_rows();
    endResetModel();
}

void TMeasurementTableModel::clear()
{
    beginResetModel();
    fStore->clear();
    forget_rows();
    endResetModel();
}

void TMeasurementTableModel::follow_clear()
{
    if (fGeneration == fStore->generation())
        return;
    beginResetModel();
    forget_rows();
    endResetModel();
}

void TMeasurementTableModel::forget_rows()
{
    fGeneration = fStore->generation();
    fFormats.clear();
    fPublished = 0;
    fFirst = 0;
}

int TMeasurementTableModel::measurement_count() const
{
    return fGeneration == fStore->generation() ? int(fStore->size()) : 0;
}

void TMeasurementTableModel::set_headers(const QStringList &cells)
{
    fHeaders = cells;
    while (fHeaders.size() < table_export::ColumnCount)
        fHeaders.append(QString());
    emit headerDataChanged(Qt::Horizontal, 0, table_export::ColumnCount - 2);
}

void TMeasurementTableModel::append(const TMeasurementStore::Reading &reading, const QDateTime &when,
                                    const Format &format)
{
    follow_clear();
    fStore->append(format.start_msecs, when.toMSecsSinceEpoch() - format.start_msecs, reading);
    record(format);
}

void TMeasurementTableModel::record_all(const Format &format)
{
    follow_clear();
    fFormats.clear();
    if (measurement_count() > 0)
        fFormats.push_back({0, format});
}

void TMeasurementTableModel::record(const Format &format)
{
    follow_clear();
    const int index = measurement_count() - 1;
    if (index >= 0 && (fFormats.empty() || !(fFormats.back().format == format)))
        fFormats.push_back({index, format});
}

void TMeasurementTableModel::publish()
{
    follow_clear();
    const int count = measurement_count();
    if (count == fPublished)
        return;
    if (count > fFirst + fWindowRows) {
        beginResetModel();
        fPublished = count;
        fFirst = following_first();
        endResetModel();
        return;
    }
    const int shown = std::max(fPublished - fFirst, 1);
    if (fPublished == 0) {
        // The blank row becomes the first measurement.
        fPublished = 1;
        emit dataChanged(index(0, 0), index(0, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, 0, 0);
    }
    if (count - fFirst > shown) {
        beginInsertRows(QModelIndex(), shown, count - fFirst - 1);
        fPublished = count;
        endInsertRows();
    }
}

int TMeasurementTableModel::following_first() const
{
    return fPublished > fFirst + fWindowRows ? fPublished - fWindowRows + fWindowRows / 2 : fFirst;
}

void TMeasurementTableModel::set_window_rows(int rows)
{
    beginResetModel();
    fWindowRows = std::max(rows, 2);
    fFirst = following_first();
    endResetModel();
}

int TMeasurementTableModel::move_window(int first)
{
    const int last = std::max({fPublished - fWindowRows, fFirst, 0});
    first = std::clamp(first, 0, last);
    const int moved = first - fFirst;
    if (moved == 0)
        return 0;
    beginResetModel();
    fFirst = first;
    endResetModel();
    return moved;
}

const TMeasurementTableModel::Format &TMeasurementTableModel::format_of(int index) const
{
    static const Format unknown;
    if (fFormats.empty() || index < fFormats.front().first_row)
        return unknown;
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
    const std::size_t i = std::size_t(index);
    const Format &f = format_of(index);
    const table_export::RowTime time{QDateTime::fromMSecsSinceEpoch(fStore->msecs(i)),
                                     QDateTime::fromMSecsSinceEpoch(f.start_msecs), f.relative};
    return table_export::row_cells(row, {fStore->pu16(i), fStore->pressure(i), fStore->tu16(i), fStore->temperature(i)},
                                   time, f.pressure_digits, f.temperature_digits);
}

void TMeasurementTableModel::export_rows(int first, int last, TRowTextWriter &writer, QByteArray &out) const
{
    last = std::min(last, measurement_count());
    for (int index = std::max(first, 0); index < last; ++index) {
        const std::size_t i = std::size_t(index);
        const Format &f = format_of(index);
        writer.append(out, {fStore->msecs(i), f.start_msecs, f.relative, fStore->pu16(i), fStore->pressure(i),
                            f.pressure_digits, fStore->tu16(i), fStore->temperature(i), f.temperature_digits});
    }
}

QString TMeasurementTableModel::grid_cell(int row, int column) const
{
    if (column < 0 || column >= table_export::ColumnCount)
        return {};
    return grid_row(row).value(column);
}

int TMeasurementTableModel::shown_measurements() const
{
    return std::min(std::min(fPublished, measurement_count()) - fFirst, fWindowRows);
}

bool TMeasurementTableModel::in_window(int row) const
{
    return row >= 0 && row < shown_measurements();
}

int TMeasurementTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : std::max(std::min(fPublished - fFirst, fWindowRows), 1);
}

int TMeasurementTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : table_export::ColumnCount - 1;
}

QVariant TMeasurementTableModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || !in_window(index.row()))
        return {};
    return grid_cell(fFirst + index.row() + 1, index.column() + 1);
}

QVariant TMeasurementTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return fHeaders.value(section + 1);
    return in_window(section) ? QString::number(fFirst + section + 1) : QString();
}

Qt::ItemFlags TMeasurementTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
