// The memory map and table windows as a user sees them during a run: no text may be cut off.
// With ZORBIT_SCREENSHOT_DIR set, their pictures are also written there.
#include "services/settings/IniHandler.h"
#include "transmitter/OrvelDevice.h"
#include "views/windows/device_memory.h"
#include "exact_readings.h"
#include "locale_guard.h"
#include "memory_image.h"
#include "views/windows/table_view.h"
#include "temp_data_folders.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTableWidget>
#include <cmath>
#include <gtest/gtest.h>

namespace {

void SaveIfAsked(QWidget &window, const char *name)
{
    const QString dir = qEnvironmentVariable("ZORBIT_SCREENSHOT_DIR");
    if (dir.isEmpty())
        return;
    ASSERT_TRUE(QDir().mkpath(dir));
    EXPECT_TRUE(window.grab().save(QDir(dir).filePath(QString::fromLatin1(name))));
}

// Labels and buttons get at least the width their text asks for.
void ExpectTextsFit(const QWidget &window)
{
    for (const QLabel *label : window.findChildren<QLabel *>()) {
        if (label->isVisible()) {
            EXPECT_GE(label->width(), label->sizeHint().width()) << label->objectName().toStdString();
        }
    }
    for (const QAbstractButton *button : window.findChildren<QAbstractButton *>()) {
        if (button->isVisible() && !button->text().isEmpty()) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << button->objectName().toStdString();
        }
    }
}

void ExpectFits(const QFontMetrics &metrics, const QTableWidgetItem *item, int margin, int width)
{
    if (item) {
        EXPECT_LE(metrics.horizontalAdvance(item->text()) + margin, width) << item->text().toStdString();
    }
}

// Every header and cell text fits its column, margins included.
void ExpectCellsFit(const QTableWidget &grid)
{
    const QFontMetrics cell(grid.font());
    const QFontMetrics header(grid.horizontalHeader()->font());
    const int cellMargin = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1);
    const int headerMargin = 2 * grid.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &grid);
    for (int c = 0; c < grid.columnCount(); ++c) {
        ExpectFits(header, grid.horizontalHeaderItem(c), headerMargin, grid.columnWidth(c));
        for (int r = 0; r < grid.rowCount(); ++r)
            ExpectFits(cell, grid.item(r, c), cellMargin, grid.columnWidth(c));
    }
    for (int r = 0; r < grid.rowCount(); ++r)
        ExpectFits(header, grid.verticalHeaderItem(r), headerMargin, grid.verticalHeader()->width());
    EXPECT_GE(grid.verticalHeader()->defaultSectionSize(), cell.height() + 2);
}

void ExpectFits(const QFontMetrics &metrics, const QVariant &text, int margin, int width)
{
    EXPECT_LE(metrics.horizontalAdvance(text.toString()) + margin, width) << text.toString().toStdString();
}

// The same for a grid over a model.
void ExpectCellsFit(const QTableView &grid)
{
    const QAbstractItemModel &model = *grid.model();
    const QFontMetrics cell(grid.font());
    const QFontMetrics header(grid.horizontalHeader()->font());
    const int cellMargin = 2 * (grid.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &grid) + 1);
    const int headerMargin = 2 * grid.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &grid);
    for (int c = 0; c < model.columnCount(); ++c) {
        ExpectFits(header, model.headerData(c, Qt::Horizontal), headerMargin, grid.columnWidth(c));
        for (int r = 0; r < model.rowCount(); ++r)
            ExpectFits(cell, model.data(model.index(r, c)), cellMargin, grid.columnWidth(c));
    }
    for (int r = 0; r < model.rowCount(); ++r)
        ExpectFits(header, model.headerData(r, Qt::Vertical), headerMargin, grid.verticalHeader()->width());
    EXPECT_GE(grid.verticalHeader()->defaultSectionSize(), cell.height() + 2);
}

class WindowLook : public TempDataFolders
{
protected:
    void SetUp() override
    {
        TempDataFolders::SetUp();
        ASSERT_TRUE(QDir().mkpath(fRoot.filePath(QStringLiteral("settings"))));
        ini = std::make_unique<TIniHandler>(fRoot.filePath(QStringLiteral("settings")),
                                            fRoot.filePath(QStringLiteral("exe")));
    }
    std::unique_ptr<TIniHandler> ini;
};

} // namespace

TEST_F(WindowLook, MemoryMapAfterReAddressing)
{
    Tmemory_Form form;
    T_DeviceMemory written = calibrated_image();
    written.Get_COM_Config().setValue(0x0030);
    form.Setmemory(written);
    form.Setverify_memory(written);
    form.Setstatus(T_Memory_Status::from_high_byte(0x20));
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(405, 676));

    const auto *grid = form.findChild<QTableWidget *>(QStringLiteral("Grid"));
    ASSERT_NE(grid, nullptr);
    ExpectTextsFit(form);
    ExpectCellsFit(*grid);
    // All 24 registers are in view at once.
    EXPECT_TRUE(grid->viewport()->rect().contains(grid->visualItemRect(grid->item(23, 4))));
    SaveIfAsked(form, "memory_map.png");
}

TEST_F(WindowLook, TableDuringARun)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    Ttable_form form(nullptr, ini.get());
    QDateTime now(QDate(2024, 3, 5), QTime(14, 32, 7, 125));
    form.set_clock([&now] { return now; });
    form.Set_scaling(QStringLiteral("0.000...10.000 PA"));
    form.Set_calib_date(QStringLiteral("07.04.2019"));
    form.Set_unique_code(QStringLiteral("F01234E07P0056"));
    form.Set_dev_status(QStringLiteral("Normal Mode"));
    form.Set_slave_addr(QStringLiteral("0x28"));
    form.Set_addr_left(QStringLiteral("3"));
    form.findChild<QLineEdit *>(QStringLiteral("initial_ed"))->setText(QStringLiteral("JD"));
    form.findChild<QPlainTextEdit *>(QStringLiteral("description"))
        ->setPlainText(QStringLiteral("Leak test bench 2\nvalve V3 open, 20 °C room"));
    for (int r = 0; r < 20; ++r) {
        const double pressure = 4.2 + 0.8 * std::sin(r / 3.0);
        const double temperature = 23.1 + 0.05 * r;
        // In the range of 0 … 10 bar the scaling shows.
        TMeasurementStore::Reading reading = exact_readings::reading(pressure, temperature);
        reading.range_max = 10.0f;
        reading.pu16 = exact_readings::word(16384 + pressure * 3276.8);
        form.add_row(reading);
        now = now.addMSecs(250 + 7 * r);
    }
    form.show();
    QApplication::processEvents();
    EXPECT_EQ(form.size(), QSize(852, 473));

    const auto *grid = form.findChild<QTableView *>(QStringLiteral("Grid"));
    ASSERT_NE(grid, nullptr);
    ExpectTextsFit(form);
    ExpectCellsFit(*grid);
    SaveIfAsked(form, "table.png");
}
