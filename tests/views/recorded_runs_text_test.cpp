// Texts of the list of recorded runs: durations, sizes and the line of a run that ended, runs or
// was cut off.
#include "qt_printers.h"
#include "views/windows/recorded_runs_text.h"

#include <gtest/gtest.h>

namespace {

constexpr std::int64_t Second = 1000;
constexpr std::int64_t Day = 86400 * Second;

run_database::Run run_of(std::int64_t rows, std::int64_t last_ms)
{
    run_database::Run r;
    r.id = 4;
    r.started = QDateTime(QDate(2026, 12, 11), QTime(9, 4, 54));
    r.address = 0x28;
    r.product_code = QStringLiteral("F01234E07P0056");
    r.rows = rows;
    r.last_ms = last_ms;
    r.bytes = 20 * 1024;
    return r;
}

} // namespace

TEST(RecordedRunsText, DurationsCountDaysOnceTheyAreWhole)
{
    const struct {
        std::int64_t msecs;
        const char *text;
    } cases[] = {
        {0, "00:00:00"},
        {5 * Second + 999, "00:00:05"}, // the list shows whole seconds
        {Day - Second, "23:59:59"},
        {Day, "1 d 00:00:00"},
        {3 * Day + 3723 * Second, "3 d 01:02:03"},
        {-5 * Second, "00:00:05"}, // a clock set back: its size
    };
    for (const auto &c : cases)
        EXPECT_EQ(recorded_runs_text::duration(c.msecs), QString::fromLatin1(c.text)) << c.msecs;
}

TEST(RecordedRunsText, SizesInTheUnitThatKeepsThemShort)
{
    const struct {
        std::int64_t bytes;
        QChar separator;
        const char *text;
    } cases[] = {
        {0, u'.', "0 kB"},
        {-1, u'.', "0 kB"},
        {20 * 1024, u'.', "20 kB"},
        {1024 * 1024 - 1, u'.', "1024 kB"},
        {1024 * 1024, u'.', "1.0 MB"},
        {std::int64_t(12.34 * 1024 * 1024), u',', "12,3 MB"},
        {std::int64_t(3) * 1024 * 1024 * 1024 / 2, u'.', "1.5 GB"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(recorded_runs_text::size(c.bytes, c.separator), QString::fromLatin1(c.text)) << c.bytes;
}

TEST(RecordedRunsText, ALineSaysWhetherTheRunEndedRunsOrWasCutOff)
{
    run_database::Run ended = run_of(217, 5400);
    ended.ended = ended.started.addMSecs(5504);
    const run_database::Run cut = run_of(3000, 75 * Second);
    const run_database::Run empty = run_of(0, -1);
    const struct {
        const char *name;
        run_database::Run run;
        bool running;
        const char *duration;
    } cases[] = {
        {"ended", ended, false, "00:00:05"},
        {"running", cut, true, "running"},
        {"cut off", cut, false, "00:01:15 (cut off)"},
        {"cut off before a row", empty, false, "00:00:00 (cut off)"},
    };
    for (const auto &c : cases) {
        const QStringList cells = recorded_runs_text::cells(c.run, c.running);
        ASSERT_EQ(cells.size(), recorded_runs_text::ColumnCount) << c.name;
        EXPECT_EQ(cells[recorded_runs_text::Date], QStringLiteral("11.12.2026 09:04:54")) << c.name;
        EXPECT_EQ(cells[recorded_runs_text::Transmitter], QStringLiteral("0x28  F01234E07P0056")) << c.name;
        EXPECT_EQ(cells[recorded_runs_text::Duration], QString::fromLatin1(c.duration)) << c.name;
        EXPECT_EQ(cells[recorded_runs_text::Rows], QString::number(c.run.rows)) << c.name;
    }
    run_database::Run unnamed = run_of(1, 0);
    unnamed.product_code.clear();
    unnamed.address = 0x0A;
    EXPECT_EQ(recorded_runs_text::transmitter(unnamed), QStringLiteral("0x0A"));
}
