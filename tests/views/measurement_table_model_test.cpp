// The compact rows behind the measurement table and how they reach a view.
#include "exact_readings.h"
#include "locale_guard.h"
#include "qt_printers.h"
#include "views/windows/measurement_table_model.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

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
