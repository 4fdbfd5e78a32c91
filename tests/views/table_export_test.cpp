// Texts of the measurement table: row cells, scroll rule and export.
#include "locale_guard.h"
#include "qt_printers.h"
#include "views/windows/table_export.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 Hour = 60LL * 60 * 1000;

QDateTime at(int day, int hour, int minute, int second, int msec)
{
    return QDateTime(QDate(2024, 3, day), QTime(hour, minute, second, msec));
}

table_export::ExportContent identity_only()
{
    table_export::ExportContent content;
    content.description = {"Description", ""};
    content.initials = {"Initial", ""};
    content.identity = {{"Scaling", "-----"},
                        {"Date of Calibration", "-----"},
                        {"Unique ID", "-----"},
                        {"Device Status", "-----"},
                        {"Slave Address", "-----"},
                        {"Number of Re-Addressing left", "------"}};
    content.rows = {table_export::header_cells("Date", "Time"), {"", "", "", "", "", "", ""}};
    return content;
}

} // namespace

TEST(TableExport, DurationReadsAsTimeOfDay)
{
    struct {
        qint64 msecs;
        const char *text;
    } cases[] = {{0, "00:00:00.000"},
                 {7, "00:00:00.007"},
                 {61001, "00:01:01.001"},
                 {10 * Hour + 59 * 60000 + 59999, "10:59:59.999"},
                 {24 * Hour - 1, "23:59:59.999"},
                 {25 * Hour, "01:00:00.000"}, // whole days drop out
                 {48 * Hour + 3723004, "01:02:03.004"},
                 {-5, "00:00:00.005"}}; // clock set back
    for (const auto &c : cases)
        EXPECT_EQ(table_export::duration_text(c.msecs), QString::fromLatin1(c.text)) << c.msecs;
}

TEST(TableExport, RowCellsRelativeOrTimeOfDay)
{
    LocaleGuard locale(LocaleGuard::pointLocale());
    const table_export::Measurement m{12345, 1.5, 26000, 23.456};
    struct {
        QDateTime start;
        QDateTime now;
        bool relative;
        const char *date;
        const char *time;
    } cases[] = {
        {at(5, 10, 0, 0, 0), at(5, 10, 0, 1, 234), true, "05.03.2024", "00:00:01.234"},
        {at(5, 10, 0, 0, 0), at(5, 10, 0, 1, 234), false, "05.03.2024", "10:00:01.234"},
        {at(5, 23, 59, 59, 500), at(6, 0, 0, 0, 250), true, "06.03.2024", "00:00:00.750"},
        {at(5, 9, 0, 0, 0), at(6, 10, 0, 0, 0), true, "06.03.2024", "01:00:00.000"},
        {at(5, 9, 0, 0, 0), at(6, 10, 0, 0, 0), false, "06.03.2024", "10:00:00.000"},
    };
    for (const auto &c : cases) {
        const QStringList cells = table_export::row_cells(7, m, {c.now, c.start, c.relative}, 3, 2);
        const QStringList expected = {"7", c.date, c.time, "12345", "1.500", "26000", "23.46"};
        EXPECT_EQ(cells, expected) << c.now.toString().toStdString() << " relative " << c.relative;
    }
}

TEST(TableExport, PressureAndTemperatureUseTheirDigitsAndTheLocaleSeparator)
{
    const QDateTime now = at(5, 10, 0, 0, 0);
    struct {
        QLocale locale;
        double pbar;
        int pdigits;
        double tcels;
        int tdigits;
        const char *pressure;
        const char *temperature;
    } cases[] = {
        {LocaleGuard::pointLocale(), 1.5, 3, 23.456, 2, "1.500", "23.46"},
        {LocaleGuard::commaLocale(), 1.5, 3, 23.456, 2, "1,500", "23,46"},
        {LocaleGuard::pointLocale(), -0.98766, 4, -12.5, 0, "-0.9877", "-13"},
        {LocaleGuard::pointLocale(), 10.0, 0, 85.0, 5, "10", "85.00000"},
    };
    for (const auto &c : cases) {
        LocaleGuard locale(c.locale);
        const QStringList cells =
            table_export::row_cells(1, {0, c.pbar, 0, c.tcels}, {now, now, true}, c.pdigits, c.tdigits);
        EXPECT_EQ(cells.at(table_export::PressureColumn), QString::fromLatin1(c.pressure)) << c.pbar;
        EXPECT_EQ(cells.at(table_export::TemperatureColumn), QString::fromLatin1(c.temperature)) << c.tcels;
    }
}

TEST(TableExport, ScrollRuleStartsOnceTheRowsFillTheGrid)
{
    struct {
        int row;
        int visible_rows;
        int top;
    } cases[] = {{1, 13, 0}, {12, 13, 0}, {13, 13, 4}, {14, 13, 5}, {40, 13, 31}, {3, 3, 4}, {5, 0, 9}};
    for (const auto &c : cases)
        EXPECT_EQ(table_export::top_visible_row(c.row, c.visible_rows), c.top) << c.row << "/" << c.visible_rows;
}

TEST(TableExport, DescriptionLinesLikeAMultiLineField)
{
    struct {
        const char *text;
        QStringList lines;
    } cases[] = {{"", {}},
                 {"one", {"one"}},
                 {"one\ntwo", {"one", "two"}},
                 {"one\n", {"one"}},
                 {"one\n\n", {"one", ""}},
                 {"one\r\ntwo\rthree", {"one", "two", "three"}},
                 {"\ntwo", {"", "two"}}};
    for (const auto &c : cases)
        EXPECT_EQ(table_export::description_lines(QString::fromLatin1(c.text)), c.lines) << c.text;
}

TEST(TableExport, FreshTableExportsTheHeaderAndALineOfFiveTabs)
{
    const QStringList expected = {"Description\t",
                                  "\t",
                                  "Initial\t",
                                  "\t",
                                  "\t",
                                  "Scaling\t-----",
                                  "Date of Calibration\t-----",
                                  "Unique ID\t-----",
                                  "Device Status\t-----",
                                  "Slave Address\t-----",
                                  "Number of Re-Addressing left\t------",
                                  "\t",
                                  QStringLiteral("Date\tTime\tP[u16]\tP [bar]\tT[u16]\tT [°C]"),
                                  "\t\t\t\t\t"};
    EXPECT_EQ(table_export::fill_memo(identity_only()), expected);
}

TEST(TableExport, DescriptionLinesAfterTheFirstStartWithATab)
{
    table_export::ExportContent content = identity_only();
    content.description.value = "Leak test\nvalve 3 open\n";
    content.initials.value = "JD";
    const QStringList lines = table_export::fill_memo(content);
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines.mid(0, 5), (QStringList{"Description\tLeak test", "\tvalve 3 open", "\t", "Initial\tJD", "\t"}));
}

TEST(TableExport, FileBytesEndEveryLineWithCrLfWithoutByteOrderMark)
{
    const QByteArray bytes = table_export::file_bytes({QStringLiteral("T [°C]\t23.46"), "", "last"});
    EXPECT_EQ(bytes, QByteArray("T [\xC2\xB0" "C]\t23.46\r\n\r\nlast\r\n"));
    EXPECT_EQ(table_export::file_bytes({}), QByteArray());
}
