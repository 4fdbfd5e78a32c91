// The measurement table window over a run longer than the rows its grid is given at a time:
// following the newest row, browsing to either end of the run, and the keys for first and last.
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "temp_data_folders.h"
#include "views/windows/measurement_table_model.h"
#include "views/windows/table_export.h"
#include "views/windows/table_view.h"

#include <QApplication>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int Window = 60;
constexpr int RunRows = 200;

// Row r of a run carries r as its raw pressure word, in a range of 0 … 10 bar.
TMeasurementStore::Reading numbered(int r)
{
    return {std::uint16_t(r), std::uint16_t(r), 0.0f, 10.0f, 0x28};
}

class TableWindow : public TempDataFolders
{
protected:
    void SetUp() override
    {
        TempDataFolders::SetUp();
        ASSERT_TRUE(QDir().mkpath(fRoot.filePath(QStringLiteral("settings"))));
        ini = std::make_unique<TIniHandler>(fRoot.filePath(QStringLiteral("settings")),
                                            fRoot.filePath(QStringLiteral("exe")));
        form = std::make_unique<Ttable_form>(nullptr, ini.get());
        form->show();
        grid = form->findChild<QTableView *>(QStringLiteral("Grid"));
        ASSERT_NE(grid, nullptr);
        model = qobject_cast<TMeasurementTableModel *>(grid->model());
        ASSERT_NE(model, nullptr);
        model->set_window_rows(Window);
        ASSERT_GT(Window, 2 * form->visible_rows()) << "the grid must scroll inside the window";
    }
    void TearDown() override
    {
        form.reset();
        TTranslator::release();
        ini.reset();
        TempDataFolders::TearDown();
    }

    void add_run(int count)
    {
        for (int r = 1; r <= count; ++r)
            form->add_row(numbered(r));
        form->update_view();
    }
    // The run's row number the grid shows in view row `row`, checked against the row's cells.
    int number_at(int row) const
    {
        const int number = grid->model()->headerData(row, Qt::Vertical).toInt();
        EXPECT_EQ(grid->model()->index(row, table_export::PressureRawColumn - 1).data().toInt(), number) << row;
        return number;
    }
    // Scrolled to the end, the view aligns the last row with its bottom and cuts the top one.
    int top_number() const { return number_at(grid->rowAt(0) + cut_top()); }
    int bottom_number() const { return number_at(grid->rowAt(grid->viewport()->height() - 1)); }
    int cut_top() const { return grid->rowViewportPosition(grid->rowAt(0)) < 0 ? 1 : 0; }
    int current_number() const { return number_at(grid->currentIndex().row()); }
    int selected_number() const
    {
        const QModelIndexList rows = grid->selectionModel()->selectedRows();
        return rows.size() == 1 ? number_at(rows.first().row()) : -rows.size();
    }
    bool in_view(int row) const
    {
        return grid->viewport()->rect().contains(grid->visualRect(grid->model()->index(row, 0)));
    }
    void wheel(int notches)
    {
        const QPointF at = grid->viewport()->rect().center();
        QWheelEvent event(at, grid->viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(grid->viewport(), &event);
    }

    std::unique_ptr<TIniHandler> ini;
    std::unique_ptr<Ttable_form> form;
    QTableView *grid = nullptr;
    TMeasurementTableModel *model = nullptr;
};

} // namespace

TEST_F(TableWindow, ALiveRunLongerThanTheWindowKeepsItsNewestRowSelectedAndInView)
{
    int moves = 0;
    for (int r = 1; r <= RunRows; ++r) {
        const int first = model->window_first();
        form->add_row(numbered(r));
        form->update_view();
        moves += model->window_first() != first ? 1 : 0;
        ASSERT_LE(grid->model()->rowCount(), Window);
        ASSERT_EQ(selected_number(), r);
        ASSERT_TRUE(in_view(grid->selectionModel()->selectedRows().first().row())) << r;
    }
    EXPECT_EQ(moves, 5) << "at rows 61, 92, 123, 154 and 185: half a window of room after each move";
    EXPECT_EQ(form->row_count(), RunRows + 1) << "the whole run stays in the table";
    EXPECT_EQ(form->cell_text(1, table_export::PressureRawColumn), QStringLiteral("1"));
}

TEST_F(TableWindow, ScrollingOverTheWindowsEdgesKeepsTheRowsInPlaceAndTheSelection)
{
    add_run(RunRows);
    QScrollBar *bar = grid->verticalScrollBar();
    const int firstBefore = model->window_first();
    ASSERT_GT(firstBefore, 0);
    grid->selectRow(3);
    const int selected = selected_number();
    // Dragged to the top: the window's first row is at the top, with the rows before it now above.
    bar->setValue(bar->minimum());
    EXPECT_EQ(model->window_first(), firstBefore - Window / 2);
    EXPECT_EQ(top_number(), firstBefore + 1);
    EXPECT_EQ(bar->value(), Window / 2);
    EXPECT_EQ(selected_number(), selected);
    EXPECT_EQ(current_number(), selected);
    EXPECT_EQ(form->first_visible_row(), firstBefore + 1);

    // Dragged to the bottom with rows after the window: the rows stay where they were.
    model->move_window(0);
    grid->selectRow(Window - 3);
    ASSERT_LT(bar->value(), bar->maximum());
    const int end = bar->maximum();
    bar->setValue(end);
    EXPECT_EQ(model->window_first(), Window / 2);
    // At the end the view cut the top row (its number end + 1) to show the last one whole; now the
    // same rows are shown from that row on.
    EXPECT_EQ(number_at(grid->rowAt(0)), end + 1);
    EXPECT_TRUE(in_view(Window / 2 - 1));
    EXPECT_LT(bar->value(), bar->maximum());
    EXPECT_EQ(selected_number(), Window - 2);
    EXPECT_EQ(current_number(), Window - 2);
}

// Wheel, scroll bar and keys all reach the run's first row and then its last, one step at a
// time as in a grid of all the rows.
TEST_F(TableWindow, EveryWayOfBrowsingReachesBothEndsOfTheRun)
{
    using Step = std::function<void(int direction)>;
    const int page = form->visible_rows() + 2;
    const struct Case {
        const char *name;
        Step step;
        int max_jump;
        bool follows_keys; // the current row leads, the view follows it
    } cases[] = {
        {"wheel", [this](int d) { wheel(-d); }, 3, false},
        {"trough click",
         [this](int d) {
             grid->verticalScrollBar()->triggerAction(d < 0 ? QAbstractSlider::SliderPageStepSub
                                                              : QAbstractSlider::SliderPageStepAdd);
         },
         page, false},
        {"thumb to the end",
         [this](int d) {
             QScrollBar *bar = grid->verticalScrollBar();
             bar->setValue(d < 0 ? bar->minimum() : bar->maximum());
         },
         Window, false},
        {"arrow keys", [this](int d) { QTest::keyClick(grid, d < 0 ? Qt::Key_Up : Qt::Key_Down); }, 1,
         true},
        {"page keys",
         [this](int d) { QTest::keyClick(grid, d < 0 ? Qt::Key_PageUp : Qt::Key_PageDown); }, page,
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        form->init();
        add_run(RunRows);
        const auto position = [&](int direction) {
            if (c.follows_keys)
                return current_number();
            return direction < 0 ? top_number() : bottom_number();
        };
        for (int direction : {-1, 1}) {
            const int end = direction < 0 ? 1 : RunRows;
            int at = position(direction);
            for (int steps = 0; at != end && steps < 3 * RunRows; ++steps) {
                c.step(direction);
                const int next = position(direction);
                ASSERT_GE((next - at) * direction, c.follows_keys ? 1 : 0) << "from " << at;
                ASSERT_LE((next - at) * direction, c.max_jump) << "from " << at;
                at = next;
                if (c.follows_keys) {
                    ASSERT_TRUE(in_view(grid->currentIndex().row())) << at;
                    ASSERT_EQ(selected_number(), at);
                }
            }
            EXPECT_EQ(at, end);
        }
        EXPECT_GT(model->window_first(), 0);
    }
}

TEST_F(TableWindow, CtrlHomeAndCtrlEndGoToTheRunsFirstAndLastRows)
{
    add_run(RunRows);
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(model->window_first(), 0);
    EXPECT_EQ(current_number(), 1);
    EXPECT_EQ(selected_number(), 1);
    EXPECT_EQ(top_number(), 1);
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(model->window_first(), RunRows - Window);
    EXPECT_EQ(current_number(), RunRows);
    EXPECT_EQ(selected_number(), RunRows);
    EXPECT_EQ(bottom_number(), RunRows);
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(current_number(), RunRows) << "at the end already";

    // Without Ctrl, Home and End stay in the row.
    QTest::keyClick(grid, Qt::Key_Home);
    EXPECT_EQ(current_number(), RunRows);
}

TEST_F(TableWindow, ARecordedRunOpensAtItsNewestRowAndClearChartStartsAgain)
{
    auto store = std::make_shared<TMeasurementStore>();
    const qint64 start = QDateTime(QDate(2024, 3, 5), QTime(10, 0)).toMSecsSinceEpoch();
    for (int r = 1; r <= RunRows; ++r)
        store->append(start, 100 * r, numbered(r));
    form->show_run(store, {});
    EXPECT_EQ(form->row_count(), RunRows + 1);
    EXPECT_EQ(selected_number(), RunRows);
    EXPECT_TRUE(in_view(grid->selectionModel()->selectedRows().first().row()));
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(top_number(), 1);
    EXPECT_EQ(form->cell_text(1, table_export::TimeColumn), QStringLiteral("00:00:00.000"));

    form->init();
    EXPECT_EQ(model->window_first(), 0);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    add_run(3);
    EXPECT_EQ(selected_number(), 3);
    EXPECT_EQ(top_number(), 1);
}
