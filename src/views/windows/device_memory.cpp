#include "views/windows/device_memory.h"

#include "services/settings/window_text.h"
#include "transmitter/OrvelDevice.h"
#include "transmitter/OrvelMemory.h"
#include "views/windows/header_grid.h"
#include "transmitter/memory_map_text.h"
#include "ui_device_memory.h"
#include "views/windows/window_placement.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>

namespace {

constexpr int RowHeight = 25; // the 25 rows fill the window
constexpr int ValueColumnWidth = 88; // the window's width shared out

} // namespace

Tmemory_Form::Tmemory_Form(QWidget *parent) : QWidget(parent, Qt::Window), ui(std::make_unique<Ui::Tmemory_Form>())
{
    ui->setupUi(this);
    using namespace memory_map_text;
    ui->Grid->setColumnCount(ColumnCount - 1);
    header_grid::set_up(ui->Grid, RowHeight);
    header_grid::set_data_rows(ui->Grid, RowCount - 1);
    for (int column = 1; column < ColumnCount; ++column)
        header_grid::set_cell(ui->Grid, 0, column, QString());
    header_grid::set_column_width(ui->Grid, RowNumberColumn, RowNumberWidth);
    header_grid::set_column_width(ui->Grid, NameColumn, name_column_width({}));
    for (int column : {AddressColumn, ValueColumn, VerifyColumn})
        header_grid::set_column_width(ui->Grid, column, ValueColumnWidth);
    header_grid::set_column_width(ui->Grid, GapColumn, GapWidth);
    clean_grid();
    ui->Panel1->installEventFilter(this);
    translateCaptions();
}

Tmemory_Form::~Tmemory_Form() = default;

void Tmemory_Form::clean_grid()
{
    for (int row = 1; row < memory_map_text::RowCount; ++row) {
        header_grid::clear_row(ui->Grid, row);
        header_grid::set_cell(ui->Grid, row, memory_map_text::RowNumberColumn, memory_map_text::row_label(row));
    }
}

void Tmemory_Form::translateCaptions()
{
    using window_text::tr_;
    setWindowTitle(tr_("memory_title", "Device Memory"));
    ui->Panel1->setToolTip(tr_("memory_copy_hint", "Double-click to copy the table to the clipboard"));
    ui->corrected_label->setText(tr_("data_corrected", "Data was corrected"));
    ui->curr_page_label->setText(tr_("current_page", "Current Page"));
    if (!f_headers_shown)
        return;
    using namespace memory_map_text;
    header_grid::set_cell(ui->Grid, 0, NameColumn, tr_("memory_name", "Name"));
    header_grid::set_cell(ui->Grid, 0, AddressColumn, tr_("readdr_address", "Address"));
    header_grid::set_cell(ui->Grid, 0, ValueColumn, tr_("memory_value", "Value"));
    header_grid::set_cell(ui->Grid, 0, VerifyColumn, tr_("Verify", "Verify"));
}

void Tmemory_Form::Setmemory(const T_DeviceMemory &image)
{
    using namespace memory_map_text;
    clean_grid();
    f_headers_shown = true;
    translateCaptions();
    QStringList names;
    for (int address = 0; address < T_DeviceMemory::RegisterCount; ++address) {
        const RegisterRow text = register_row(image.at(address));
        const int row = address + 1;
        header_grid::set_cell(ui->Grid, row, NameColumn, text.name);
        header_grid::set_cell(ui->Grid, row, AddressColumn, text.address);
        header_grid::set_cell(ui->Grid, row, ValueColumn, text.value);
        names.append(text.name);
    }
    header_grid::set_column_width(ui->Grid, NameColumn, name_column_width(names));
    header_grid::set_column_width(ui->Grid, RowNumberColumn, RowNumberWidth);
    header_grid::set_column_width(ui->Grid, GapColumn, GapWidth);
}

void Tmemory_Form::Setverify_memory(const T_DeviceMemory &image)
{
    for (int address = 0; address < T_DeviceMemory::RegisterCount; ++address)
        header_grid::set_cell(ui->Grid, address + 1, memory_map_text::VerifyColumn,
                              memory_map_text::format_word(image.at(address)));
}

void Tmemory_Form::Setstatus(const T_Memory_Status &status)
{
    ui->curr_page_ed->setText(QString::number(status.current_page));
    ui->corrected_Check->setChecked(status.data_corrected);
}

QString Tmemory_Form::cell_text(int row, int column) const
{
    return header_grid::cell(ui->Grid, row, column);
}

int Tmemory_Form::column_width(int column) const
{
    return header_grid::column_width(ui->Grid, column);
}

QString Tmemory_Form::grid_text() const
{
    QList<QStringList> rows;
    for (int row = 0; row < memory_map_text::RowCount; ++row) {
        QStringList cells;
        for (int column = 0; column < memory_map_text::ColumnCount; ++column) {
            // A copy pasted into a file is a memory image file in any language.
            const bool header = row == 0 && f_headers_shown;
            cells.append(header ? memory_map_text::header_text(column) : cell_text(row, column));
        }
        rows.append(cells);
    }
    return memory_map_text::clipboard_text(rows);
}

void Tmemory_Form::Panel1DblClick()
{
    QGuiApplication::clipboard()->setText(grid_text());
}

bool Tmemory_Form::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Panel1 && event->type() == QEvent::MouseButtonDblClick) {
        Panel1DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Tmemory_Form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!f_placed) {
        f_placed = true;
        centre_over_parent(this);
    }
}
