// The compact rows behind the measurement table and how they reach a view.
#include "exact_readings.h"
#include "locale_guard.h"
#include "qt_printers.h"
#include "views/windows/measurement_table_model.h"
#include "views/windows/row_text_writer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

const QDateTime Start(QDate(2024, 3, 5), QTime(10, 0, 0));

TMeasurementTableModel::Format format(int pressure_digits = 3, bool relative = true)
{
    return {Start.toMSecsSinceEpoch(), relative, pressure_digits, 2};
}

} // namespace

TEST(TableModel, NewRowsAreStoredAtOnceAndReachViewsInOneBatch)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    TMeasurementTableModel model;
    EXPECT_EQ(model.rowCount(), 1) << "one blank row under the headers";
    EXPECT_EQ(model.grid_rows(), 2);
    EXPECT_EQ(model.data(model.index(0, 0)), QVariant());

    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    for (int i = 0; i < 5; ++i)
        model.append(exact_readings::reading(1.5 + i, 20.0), Start.addMSecs(250 * i), format());
    EXPECT_TRUE(model.unpublished());
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.measurement_count(), 5);
    EXPECT_EQ(model.grid_rows(), 6);
    // 5.5 bar are 16384 + 5.5 * 1024 in the range of 0 … 32 bar; 20 °C are (1400 + 24) * 16.
    EXPECT_EQ(model.grid_row(5), (QStringList{"5", "05.03.2024", "00:00:01.000", "22016", "5.500", "22784", "20.00"}));
    EXPECT_EQ(inserted.count(), 0);

    model.publish();
    EXPECT_FALSE(model.unpublished());
    EXPECT_EQ(model.rowCount(), 5);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.first().value(1).toInt(), 1);
    EXPECT_EQ(inserted.first().value(2).toInt(), 4);
    EXPECT_EQ(changed.count(), 1) << "the blank row became the first measurement";
    EXPECT_EQ(model.data(model.index(0, 0)).toString(), QStringLiteral("05.03.2024"));
    EXPECT_EQ(model.data(model.index(4, 3)).toString(), QStringLiteral("5.500"));
    EXPECT_EQ(model.headerData(4, Qt::Vertical).toString(), QStringLiteral("5"));

    model.publish();
    EXPECT_EQ(inserted.count(), 1) << "nothing new";
    model.append(exact_readings::reading(0.0, 0.0), Start, format());
    model.publish();
    EXPECT_EQ(model.rowCount(), 6);
    EXPECT_EQ(inserted.count(), 2);
}

TEST(TableModel, RowsKeepTheFormatTheyWereAddedWith)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    TMeasurementTableModel model;
    const TMeasurementStore::Reading reading = exact_readings::reading(1.5, 23.5);
    model.append(reading, Start.addMSecs(1500), format(3, true));
    model.append(reading, Start.addMSecs(2000), format(1, true));
    model.append(reading, Start.addMSecs(2500), format(1, false));
    model.append(reading, Start.addMSecs(3000), format(3, true));
    EXPECT_EQ(model.grid_row(1).mid(2, 3), (QStringList{"00:00:01.500", "17920", "1.500"}));
    EXPECT_EQ(model.grid_row(2).mid(2, 3), (QStringList{"00:00:02.000", "17920", "1.5"}));
    EXPECT_EQ(model.grid_row(3).mid(2, 3), (QStringList{"10:00:02.500", "17920", "1.5"}));
    EXPECT_EQ(model.grid_row(4).mid(2, 3), (QStringList{"00:00:03.000", "17920", "1.500"}));
    EXPECT_EQ(model.grid_cell(4, 6), QStringLiteral("23.50"));
    EXPECT_EQ(model.grid_cell(9, 1), QString()) << "past the end";
    EXPECT_EQ(model.grid_cell(1, 7), QString());
}

TEST(TableModel, ClearLeavesOneBlankRowAndKeepsTheHeaders)
{
    TMeasurementTableModel model;
    model.set_headers({"", "Datum", "Zeit", "P[u16]", "P [bar]", "T[u16]", "T [°C]"});
    for (int i = 0; i < 3; ++i)
        model.append(exact_readings::reading(0.0, i), Start, format());
    model.publish();
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    model.clear();
    EXPECT_EQ(reset.count(), 1);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.grid_rows(), 2);
    EXPECT_EQ(model.grid_row(1), QStringList(7, QString()));
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toString(), QString());
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Zeit"));
    EXPECT_EQ(model.grid_cell(0, 1), QStringLiteral("Datum"));
    EXPECT_EQ(model.flags(model.index(0, 0)), Qt::ItemIsSelectable | Qt::ItemIsEnabled);
}

namespace {

// A run of `count` rows, 100 ms apart, pressure raw words 16384 + 1024 * row number.
void fill(TMeasurementTableModel &model, int count)
{
    for (int i = 1; i <= count; ++i)
        model.append(exact_readings::reading(double(i), 20.0), Start.addMSecs(100 * i), format());
}

// What the views see: the header number and date and raw pressure of every row of the window.
void expect_window_shows(const TMeasurementTableModel &model, int first, int rows)
{
    ASSERT_EQ(model.window_first(), first);
    ASSERT_EQ(model.rowCount(), rows);
    for (int r = 0; r < rows; ++r) {
        const int number = first + r + 1;
        EXPECT_EQ(model.headerData(r, Qt::Vertical).toString(), QString::number(number)) << r;
        EXPECT_EQ(model.data(model.index(r, table_export::PressureRawColumn - 1)).toString(),
                  model.grid_cell(number, table_export::PressureRawColumn))
            << r;
        EXPECT_EQ(model.data(model.index(r, table_export::TimeColumn - 1)).toString(),
                  model.grid_cell(number, table_export::TimeColumn))
            << r;
    }
    EXPECT_EQ(model.headerData(rows, Qt::Vertical).toString(), QString()) << "past the window";
    EXPECT_EQ(model.data(model.index(rows, 0)), QVariant());
}

} // namespace

TEST(TableModelWindow, RowsAndHeaderNumbersFollowTheWindowsPosition)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    TMeasurementTableModel model;
    model.set_window_rows(10);
    fill(model, 25);
    model.publish();
    // Followed the newest row: half a window of room after it.
    expect_window_shows(model, 20, 5);
    EXPECT_EQ(model.headerData(4, Qt::Vertical).toString(), QStringLiteral("25"));
    EXPECT_EQ(model.data(model.index(4, table_export::PressureRawColumn - 1)).toString(),
              QString::number(16384 + 25 * 1024));

    const struct {
        int asked;
        int first;
        int moved;
        int rows;
        bool before;
        bool after;
    } moves[] = {
        {24, 20, 0, 5, true, false},   // beyond a full window at the end: stays
        {0, 0, -20, 10, false, true},  {7, 7, 7, 10, true, true},    {-3, 0, -7, 10, false, true},
        {15, 15, 15, 10, true, false}, {24, 15, 0, 10, true, false}, {14, 14, -1, 10, true, true},
        {100, 15, 1, 10, true, false},
    };
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    for (const auto &m : moves) {
        SCOPED_TRACE(m.asked);
        const int resets = reset.count();
        EXPECT_EQ(model.move_window(m.asked), m.moved);
        EXPECT_EQ(reset.count() - resets, m.moved != 0 ? 1 : 0);
        expect_window_shows(model, m.first, m.rows);
        EXPECT_EQ(model.rows_before_window(), m.before);
        EXPECT_EQ(model.rows_after_window(), m.after);
    }
}

TEST(TableModelWindow, PublishingPastTheEndMovesTheWindowByHalfAWindow)
{
    TMeasurementTableModel model;
    model.set_window_rows(10);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    std::vector<int> moved_at;
    for (int count = 1; count <= 30; ++count) {
        fill(model, 1);
        const int resets = reset.count();
        model.publish();
        if (reset.count() > resets)
            moved_at.push_back(count);
        ASSERT_LE(model.rowCount(), 10);
        EXPECT_EQ(model.headerData(model.rowCount() - 1, Qt::Vertical).toString(), QString::number(count))
            << "the newest row is the window's last";
    }
    // Each move leaves room for five more rows.
    EXPECT_EQ(moved_at, (std::vector<int>{11, 17, 23, 29}));
    EXPECT_EQ(model.window_first(), 24);
    EXPECT_EQ(inserted.count(), 9 + 3 * 5 + 1) << "between the moves, rows are inserted";

    // A long batch at once, as after the window was hidden: one move to the newest.
    fill(model, 77);
    const int resets = reset.count();
    model.publish();
    EXPECT_EQ(reset.count(), resets + 1);
    expect_window_shows(model, 102, 5);

    // A window moved back by a user follows again with the next rows.
    model.move_window(0);
    fill(model, 1);
    model.publish();
    expect_window_shows(model, 103, 5);
}

TEST(TableModelWindow, ExportAndGridCoverTheWholeRun)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    TMeasurementTableModel windowed;
    windowed.set_window_rows(10);
    fill(windowed, 25);
    windowed.publish();
    windowed.move_window(7);
    // The same rows seen whole, from the same store.
    TMeasurementTableModel whole;
    whole.set_store(windowed.store());
    whole.record_all(format());
    whole.publish();
    ASSERT_EQ(whole.rowCount(), 25);

    EXPECT_EQ(windowed.measurement_count(), 25);
    EXPECT_EQ(windowed.grid_rows(), 26);
    for (int row = 0; row <= 26; ++row)
        EXPECT_EQ(windowed.grid_row(row), whole.grid_row(row)) << row;
    EXPECT_EQ(windowed.grid_cell(1, 0), QStringLiteral("1"));
    TRowTextWriter a(QLatin1Char('.')), b(QLatin1Char('.'));
    QByteArray fromWindowed, fromWhole;
    windowed.export_rows(0, 25, a, fromWindowed);
    whole.export_rows(0, 25, b, fromWhole);
    EXPECT_EQ(fromWindowed, fromWhole);
    EXPECT_EQ(fromWindowed.count("\r\n"), 25);
}

TEST(TableModelWindow, ClearingAndANewStoreStartTheWindowAgain)
{
    TMeasurementTableModel model;
    fill(model, 25);
    model.publish();
    expect_window_shows(model, 0, 25);
    model.set_window_rows(10);
    expect_window_shows(model, 20, 5);

    // Rows cleared by the store's writer elsewhere.
    model.store()->clear();
    fill(model, 3);
    model.publish();
    expect_window_shows(model, 0, 3);

    fill(model, 30);
    model.publish();
    model.clear();
    EXPECT_EQ(model.window_first(), 0);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_FALSE(model.rows_before_window());

    fill(model, 30);
    model.publish();
    model.set_store(std::make_shared<TMeasurementStore>());
    EXPECT_EQ(model.window_first(), 0);
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.move_window(5), 0) << "nothing to move over";
}
