#include "views/windows/table_view.h"

#include "services/settings/IniHandler.h"
#include "services/settings/window_text.h"
#include "services/utils/ZUtils.h"
#include "views/windows/export_progress.h"
#include "services/utils/file_commit.h"
#include "views/windows/header_grid.h"
#include "views/chart/measurement_store.h"
#include "services/dialogs/msgDialogForm.h"
#include "views/windows/row_text_writer.h"
#include "views/windows/table_export.h"
#include "views/windows/measurement_table_model.h"
#include "ui_table_view.h"
#include "views/windows/window_placement.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyle>
#include <QUrl>
#include <algorithm>
#include <vector>

using window_text::tr_;

namespace {

QString ask_file_name(QWidget *parent, const QString &folder)
{
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr_("text_files", "Text files (*.txt)"));
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void report_error(QWidget *, const QString &message)
{
    TmsgDialog::createDialog(message, mtError, {mbOk});
}

// A row wide enough for the window's font, never below the string grid's usual 20 pixels.
int row_height(const QWidget *widget)
{
    return std::max(20, widget->fontMetrics().height() + 6);
}

// New rows reach the grid at about the screen's pace, however fast they come.
constexpr int ViewUpdateMs = 40;
// Rows an export makes between two looks at the progress: a few milliseconds' work.
constexpr int ExportChunkRows = 4096;

// Looks of a string grid, with a header row as high as the data rows.
void set_up_grid(QTableView *grid, int height)
{
    header_grid::set_up(grid, height);
    grid->horizontalHeader()->setFixedHeight(height);
}

} // namespace

Ttable_form::Ttable_form(QWidget *parent, TIniHandler *settings)
    : QWidget(parent, Qt::Window),
      ui(std::make_unique<Ui::Ttable_form>()),
      fIni(settings ? settings : TIniHandler::getInstance()),
      fAskFileName(ask_file_name),
      fReportError(report_error),
      fOpenFolder([](const QUrl &folder) { return QDesktopServices::openUrl(folder); }),
      fNow([] { return QDateTime::currentDateTime(); }),
      fProgress(export_progress::dialog(this))
{
    fModel = new TMeasurementTableModel(this);
    ui->setupUi(this);
    ui->SpeedButton1->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));
    ui->save_btn->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    // The buttons must not move up while the check box is hidden during a run.
    QSizePolicy keep = ui->time_axis_check->sizePolicy();
    keep.setRetainSizeWhenHidden(true);
    ui->time_axis_check->setSizePolicy(keep);

    ui->Grid->setModel(fModel);
    set_up_grid(ui->Grid, row_height(this));
    ui->Grid->verticalHeader()->setFixedWidth(table_export::ColumnWidths[0]);
    for (int column = 1; column < table_export::ColumnCount; ++column)
        ui->Grid->setColumnWidth(column - 1, table_export::ColumnWidths[column]);
    fViewTimer.setSingleShot(true);
    fViewTimer.setInterval(ViewUpdateMs);
    connect(&fViewTimer, &QTimer::timeout, this, &Ttable_form::update_view);
    connect(ui->Grid->verticalScrollBar(), &QScrollBar::valueChanged, this, &Ttable_form::browse);

    connect(ui->copy_btn, &QPushButton::clicked, this, &Ttable_form::copy_btnClick);
    connect(ui->save_btn, &QPushButton::clicked, this, &Ttable_form::save_btnClick);
    connect(ui->SpeedButton1, &QToolButton::clicked, this, &Ttable_form::SpeedButton1Click);
    ui->Grid->installEventFilter(this);

    layout()->activate();
    calc_visible_rows();
    translateCaptions(); // before init, which writes the translated headers
    init();
}

Ttable_form::~Ttable_form() = default;

void Ttable_form::show_identity(QString &field, QLabel *label, const QString &value)
{
    field = value;
    label->setText(value);
}

void Ttable_form::Set_scaling(const QString &value)
{
    show_identity(f_scaling, ui->scaling, value);
}

void Ttable_form::Set_calib_date(const QString &value)
{
    show_identity(f_calib_date, ui->calib_date, value);
}

void Ttable_form::Set_unique_code(const QString &value)
{
    show_identity(f_unique_code, ui->unique_id, value);
}

void Ttable_form::Set_dev_status(const QString &value)
{
    show_identity(f_dev_status, ui->dev_status, value);
}

void Ttable_form::Set_slave_addr(const QString &value)
{
    show_identity(f_slave_addr, ui->slave_addr, value);
}

void Ttable_form::Set_addr_left(const QString &value)
{
    show_identity(f_addr_left, ui->number_re_addr, value);
}

void Ttable_form::Set_time_axis_enabled(bool b)
{
    ui->time_axis_check->setVisible(b);
}

void Ttable_form::write_headers()
{
    fModel->set_headers(table_export::header_cells(f_captions.date, f_captions.time));
}

void Ttable_form::init()
{
    fViewTimer.stop();
    fModel->clear();
    write_headers();
    f_row = 0;
    f_start_time = fNow();
    for (auto setter : {&Ttable_form::Set_scaling, &Ttable_form::Set_calib_date, &Ttable_form::Set_unique_code,
                        &Ttable_form::Set_dev_status, &Ttable_form::Set_slave_addr})
        (this->*setter)(table_export::placeholder());
    Set_addr_left(table_export::addr_left_placeholder());
    f_pressure_digits = fIni->Get_pressure_digits();
    f_temperature_digits = fIni->Get_temperature_digits();
}

void Ttable_form::add_row(const TMeasurementStore::Reading &reading)
{
    ++f_row;
    if (f_row == 1)
        f_start_time = fNow();
    const TMeasurementTableModel::Format format{f_start_time.toMSecsSinceEpoch(), ui->time_axis_check->isChecked(),
                                                f_pressure_digits, f_temperature_digits};
    fModel->append(reading, fNow(), format);
    after_row();
}

void Ttable_form::share_store(std::shared_ptr<TMeasurementStore> store)
{
    fModel->set_store(std::move(store));
    f_row = fModel->measurement_count();
    update_view();
}

void Ttable_form::show_run(std::shared_ptr<TMeasurementStore> store, const Identity &identity)
{
    init();
    fModel->set_store(std::move(store));
    Set_scaling(identity.scaling);
    Set_calib_date(identity.calib_date);
    Set_unique_code(identity.unique_code);
    Set_slave_addr(identity.slave_addr);
    f_row = fModel->measurement_count();
    if (f_row > 0)
        f_start_time = QDateTime::fromMSecsSinceEpoch(fModel->store()->msecs(0));
    fModel->record_all({f_start_time.toMSecsSinceEpoch(), ui->time_axis_check->isChecked(), f_pressure_digits,
                        f_temperature_digits});
    update_view();
}

void Ttable_form::row_recorded()
{
    const int count = fModel->measurement_count();
    if (count == 0)
        return;
    if (count == 1 || f_row == 0)
        f_start_time = QDateTime::fromMSecsSinceEpoch(fModel->store()->msecs(0));
    f_row = count;
    fModel->record({f_start_time.toMSecsSinceEpoch(), ui->time_axis_check->isChecked(), f_pressure_digits,
                    f_temperature_digits});
    after_row();
}

void Ttable_form::after_row()
{
    if (!fViewTimer.isActive())
        fViewTimer.start();
}

void Ttable_form::update_view()
{
    fViewTimer.stop();
    if (!fModel->unpublished())
        return;
    const QScopedValueRollback<bool> placing(f_scrolling, true);
    fModel->publish();
    ui->Grid->doItemsLayout();
    const int newest = f_row - fModel->window_first();
    const int top = table_export::top_visible_row(newest, f_o);
    if (top > 0)
        ui->Grid->verticalScrollBar()->setValue(top - 1);
    ui->Grid->selectRow(newest - 1);
}

void Ttable_form::browse(int scroll_value)
{
    if (f_scrolling)
        return;
    const QScrollBar *bar = ui->Grid->verticalScrollBar();
    if (scroll_value == bar->minimum() && fModel->rows_before_window())
        move_window(fModel->window_first() - fModel->window_step());
    else if (scroll_value == bar->maximum() && fModel->rows_after_window())
        move_window(fModel->window_first() + fModel->window_step());
}

void Ttable_form::move_window(int first)
{
    QTableView *grid = ui->Grid;
    QItemSelectionModel *selection = grid->selectionModel();
    const int before = fModel->window_first();
    struct Rows {
        int top, bottom, left, right; // measurements and columns
    };
    std::vector<Rows> selected;
    for (const QItemSelectionRange &range : selection->selection())
        selected.push_back({before + range.top(), before + range.bottom(), range.left(), range.right()});
    const QModelIndex current = grid->currentIndex();
    const int top = before + grid->verticalScrollBar()->value();

    const QScopedValueRollback<bool> placing(f_scrolling, true);
    if (fModel->move_window(first) == 0)
        return;
    grid->doItemsLayout();
    const int after = fModel->window_first();
    const int last = fModel->rowCount() - 1;
    // A row that left the window leaves its part of the selection behind; the current row stays
    // in the window, so that the keys go on from where they were.
    if (current.isValid())
        selection->setCurrentIndex(fModel->index(std::clamp(before + current.row() - after, 0, last), current.column()),
                                   QItemSelectionModel::NoUpdate);
    QItemSelection kept;
    for (const Rows &rows : selected) {
        const int from = std::max(rows.top - after, 0), to = std::min(rows.bottom - after, last);
        if (from <= to)
            kept.select(fModel->index(from, rows.left), fModel->index(to, rows.right));
    }
    selection->select(kept, QItemSelectionModel::ClearAndSelect);
    // Last: making a row current scrolls to it.
    grid->verticalScrollBar()->setValue(top - after);
}

void Ttable_form::translateCaptions()
{
    setWindowTitle(tr_("table", "Table"));
    f_captions = table_export::captions(tr_);
    const table_export::Identity &titles = f_captions.identity;
    ui->scaling_title->setText(titles.scaling);
    ui->date_title->setText(titles.calib_date);
    ui->unique_title->setText(titles.unique_code);
    ui->dev_status_title->setText(titles.dev_status);
    ui->slave_addr_title->setText(titles.slave_addr);
    ui->number_readdr_left_title->setText(titles.addr_left);
    ui->initial_title->setText(f_captions.initials);
    ui->descr_title->setText(f_captions.description);
    ui->time_axis_check->setText(tr_("time_axis", "Relative Time Axis"));
    ui->copy_btn->setText(tr_("copy", "Copy Data"));
    ui->save_btn->setText(tr_("save", "Save"));
    ui->SpeedButton1->setToolTip(tr_("open_export_folder", "Open the export folder"));
    write_headers();
}

// Description, initials and the transmitter's identity: what every export starts with.
table_export::ExportContent Ttable_form::export_header() const
{
    return table_export::export_content(f_captions, ui->description->toPlainText(), ui->initial_ed->text(),
                                        {f_scaling, f_calib_date, f_unique_code, f_dev_status, f_slave_addr, f_addr_left});
}

QStringList Ttable_form::fill_memo() const
{
    table_export::ExportContent content = export_header();
    for (int row = 0; row < row_count(); ++row)
        content.rows.append(fModel->grid_row(row));
    return table_export::fill_memo(content);
}

QByteArray Ttable_form::export_head() const
{
    return table_export::head_bytes(export_header(), fModel->grid_row(0), fModel->measurement_count() == 0);
}

bool Ttable_form::stream_export(const std::function<bool(const QByteArray &chunk)> &write)
{
    const int total = fModel->measurement_count();
    const auto generation = fModel->store()->generation();
    if (!write(export_head()))
        return false;
    TRowTextWriter writer(ZString::LocaleDecimalSeparator());
    QByteArray chunk;
    for (int first = 0; first < total; first += ExportChunkRows) {
        // The progress lets events through: a Clear Chart meanwhile ends the export.
        if (!fProgress(first, total) || fModel->store()->generation() != generation)
            return false;
        chunk.clear();
        fModel->export_rows(first, std::min(first + ExportChunkRows, total), writer, chunk);
        if (!write(chunk))
            return false;
    }
    fProgress(total, total);
    return true;
}

void Ttable_form::copy_to_clipbrd()
{
    QString text;
    if (stream_export([&text](const QByteArray &chunk) {
            text += QString::fromLocal8Bit(chunk);
            return true;
        }))
        QGuiApplication::clipboard()->setText(text);
}

void Ttable_form::save_to_file()
{
    QString folder = fIni->Get_ExportDir();
    if (table_export::virtual_folder(folder))
        folder = QDir::homePath();
    const QString fileName = fAskFileName(this, folder);
    if (fileName.isEmpty())
        return;
    // The rows stay in the window and an older file stays whole when this fails or is cancelled.
    bool written = false;
    const QString error = file_commit::replace_streamed(fileName, [this, &written](const file_commit::ChunkWriter &write) {
        written = stream_export(write);
        return written;
    });
    if (error.isEmpty()) {
        // Only a folder that took the table is offered next time; a folder of the kernel's
        // virtual file systems never, since reading one can block the save dialog.
        const QString saved = QFileInfo(fileName).absolutePath();
        if (written && !table_export::virtual_folder(saved))
            fIni->Set_ExportDir(QDir::toNativeSeparators(saved));
        return;
    }
    const QString message = tr_("table_not_saved", "The table could not be saved to %1: %2");
    fReportError(this, message.arg(QDir::toNativeSeparators(fileName), error));
}

void Ttable_form::copy_btnClick()
{
    copy_to_clipbrd();
}

void Ttable_form::save_btnClick()
{
    save_to_file();
}

void Ttable_form::SpeedButton1Click()
{
    const QString folder = fIni->Get_ExportDir();
    if (!fOpenFolder(QUrl::fromLocalFile(folder)))
        fReportError(this, tr_("folder_not_opened", "The folder %1 could not be opened.")
                               .arg(QDir::toNativeSeparators(folder)));
}

QString Ttable_form::cell_text(int row, int column) const
{
    return fModel->grid_cell(row, column);
}

int Ttable_form::row_count() const
{
    return fModel->grid_rows();
}

int Ttable_form::column_width(int column) const
{
    return column == 0 ? ui->Grid->verticalHeader()->width() : ui->Grid->columnWidth(column - 1);
}

int Ttable_form::first_visible_row() const
{
    // Scrolled to the end, the view aligns the last row with its bottom and cuts the top one.
    int row = ui->Grid->rowAt(0);
    if (row < 0)
        return 1;
    if (ui->Grid->rowViewportPosition(row) < 0)
        ++row;
    return fModel->window_first() + row + 1;
}

void Ttable_form::calc_visible_rows()
{
    f_o = ui->Grid->height() / ui->Grid->verticalHeader()->defaultSectionSize() - 1;
}

bool Ttable_form::eventFilter(QObject *watched, QEvent *event)
{
    // The grid's own resize: by then the layout has given it its new height.
    if (watched == ui->Grid && event->type() == QEvent::Resize)
        calc_visible_rows();
    // Ctrl+Home and Ctrl+End go to the run's first and last rows: the window moves there first.
    if (watched == ui->Grid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->modifiers().testFlag(Qt::ControlModifier)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Home)
            move_window(0);
        else if (key == Qt::Key_End)
            move_window(fModel->measurement_count());
    }
    return QWidget::eventFilter(watched, event);
}

void Ttable_form::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    translateCaptions(); // the language may have changed while it was hidden
    update_view();
    if (!f_placed) {
        f_placed = true;
        centre_over_parent(this);
    }
}
