#pragma once
// Texts of the memory map grid: row labels, register rows, word values and the clipboard copy,
// which is also the text of a memory image file.
// Stateless; callable from any thread.
#include <QList>
#include <QString>
#include <QStringList>

class T_32Bit;

namespace memory_map_text {

// Grid coordinates: row 0 and column 0 are header cells.
constexpr int RowCount = 25; // header row and the 24 registers
constexpr int ColumnCount = 6;
enum Column {
    RowNumberColumn = 0,
    NameColumn = 1,
    AddressColumn = 2,
    ValueColumn = 3,
    GapColumn = 4,
    VerifyColumn = 5
};

constexpr int RowNumberWidth = 40;
constexpr int GapWidth = 10;
constexpr int PixelsPerNameCharacter = 8;

// "0x" and exactly four upper-case hexadecimal digits of high byte × 256 + low byte.
QString format_word(const T_32Bit &reg);
// "0x" and at least two upper-case hexadecimal digits.
QString format_address(int address);
// "#" and the row number.
QString row_label(int row);
// The header of a column; the row-number and gap columns have none.
QString header_text(int column);

struct RegisterRow {
    QString name;
    QString address;
    QString value;
};
RegisterRow register_row(const T_32Bit &reg);

// Wide enough for the longest name at eight pixels a character.
int name_column_width(const QStringList &names);

// `rows` holds the grid row by row, each with all six columns; the row-number column is left out
// and the remaining cells are joined by TAB.
QString clipboard_text(const QList<QStringList> &rows);

} // namespace memory_map_text
