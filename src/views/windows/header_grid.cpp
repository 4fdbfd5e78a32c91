#include "views/windows/header_grid.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTableWidget>

namespace header_grid {

namespace {

QTableWidgetItem *make_item(const QString &text)
{
    auto *item = new QTableWidgetItem(text); // owned by the grid once set
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    return item;
}

} // namespace

void set_up(QTableView *grid, int row_height)
{
    grid->setShowGrid(true);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setWordWrap(false);
    grid->setCornerButtonEnabled(false);
    grid->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setMinimumSectionSize(row_height);
    grid->verticalHeader()->setDefaultSectionSize(row_height);
    grid->verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setMinimumSectionSize(8); // room for a narrow gap column
    grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->verticalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setFixedHeight(row_height);
}

void set_data_rows(QTableWidget *grid, int rows)
{
    grid->setRowCount(rows);
}

QString cell(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = nullptr;
    if (row == 0 && column == 0)
        return {};
    if (row == 0)
        item = grid->horizontalHeaderItem(column - 1);
    else if (column == 0)
        item = grid->verticalHeaderItem(row - 1);
    else
        item = grid->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

void set_cell(QTableWidget *grid, int row, int column, const QString &text)
{
    if (row == 0 && column == 0)
        return;
    if (row == 0)
        grid->setHorizontalHeaderItem(column - 1, make_item(text));
    else if (column == 0)
        grid->setVerticalHeaderItem(row - 1, make_item(text));
    else if (QTableWidgetItem *item = grid->item(row - 1, column - 1))
        item->setText(text);
    else
        grid->setItem(row - 1, column - 1, make_item(text));
}

void clear_row(QTableWidget *grid, int row)
{
    for (int column = 0; column <= grid->columnCount(); ++column)
        set_cell(grid, row, column, QString());
}

int column_width(const QTableWidget *grid, int column)
{
    return column == 0 ? grid->verticalHeader()->minimumWidth() : grid->columnWidth(column - 1);
}

void set_column_width(QTableWidget *grid, int column, int width)
{
    if (column == 0)
        grid->verticalHeader()->setFixedWidth(width);
    else
        grid->setColumnWidth(column - 1, width);
}

int first_visible_row(const QTableWidget *grid)
{
    // Scrolled to the end, the view aligns the last row with its bottom and cuts the top one.
    int row = grid->rowAt(0);
    if (row < 0)
        return 1;
    if (grid->rowViewportPosition(row) < 0)
        ++row;
    return row + 1;
}

void set_first_visible_row(QTableWidget *grid, int row)
{
    grid->verticalScrollBar()->setValue(row - 1);
}

} // namespace header_grid
