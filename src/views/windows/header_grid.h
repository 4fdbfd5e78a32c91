#pragma once
// A QTableWidget read and written in grid coordinates, where row 0 is the horizontal header and
// column 0 the vertical header; the top-left corner cell stays empty.
// User-interface thread only.
#include <QString>

class QTableView;
class QTableWidget;

namespace header_grid {

// Looks of a string grid: fixed-size rows of `row_height`, lines shown, headers left-aligned.
void set_up(QTableView *grid, int row_height);
// Data rows, the header row not counted.
void set_data_rows(QTableWidget *grid, int rows);

QString cell(const QTableWidget *grid, int row, int column);
void set_cell(QTableWidget *grid, int row, int column, const QString &text);
void clear_row(QTableWidget *grid, int row);

int column_width(const QTableWidget *grid, int column);
void set_column_width(QTableWidget *grid, int column, int width);

// The first data row whose top edge is in view.
int first_visible_row(const QTableWidget *grid);
// Scrolls the view so that data row `row` is the first one shown, as far as the grid can scroll.
void set_first_visible_row(QTableWidget *grid, int row);

} // namespace header_grid
