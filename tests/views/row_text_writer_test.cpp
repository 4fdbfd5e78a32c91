// The fast export bytes of measurement rows against the table's own cell texts.
#include "services/utils/ZUtils.h"
#include "locale_guard.h"
#include "views/windows/row_text_writer.h"
#include "views/windows/table_export.h"

#include <QTimeZone>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <random>

namespace {

QByteArray expected(const TRowTextWriter::Row &r)
{
    const table_export::RowTime time{QDateTime::fromMSecsSinceEpoch(r.msecs),
                                     QDateTime::fromMSecsSinceEpoch(r.start_msecs), r.relative};
    const QStringList cells = table_export::row_cells(1, {r.pu16, r.pbar, r.tu16, r.tcels}, time,
                                                      r.pressure_digits, r.temperature_digits);
    return table_export::file_bytes({cells.mid(1).join(QLatin1Char('\t'))});
}

} // namespace

TEST(RowTextWriter, SameBytesAsTheCellTexts)
{
    const double values[] = {0.0, -0.0, 1.5, -1.5, 0.0005, -0.0005, 2.0005, 1.2345, 9.9995, 99999.9999995,
                             123456789012.5, 1e13, -1e15, 1e-9, 23.456, 0.125, 1.0 / 3.0,
                             std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()};
    const std::int64_t start = QDateTime(QDate(2024, 3, 30), QTime(22, 0)).toMSecsSinceEpoch();
    for (const QLocale &locale : {LocaleGuard::pointLocale(), LocaleGuard::commaLocale()}) {
        LocaleGuard guard(locale);
        TRowTextWriter writer(ZString::LocaleDecimalSeparator());
        std::mt19937_64 random(3);
        std::uniform_int_distribution<int> digits(0, 6), raw(0, 65535), pick(0, int(std::size(values)) - 1);
        std::uniform_real_distribution<double> any(-2000.0, 2000.0);
        std::int64_t msecs = start;
        for (int i = 0; i < 20000; ++i) {
            // Rows cross midnight and a change of daylight saving time; some go back in time.
            msecs += std::uniform_int_distribution<std::int64_t>(-5000, 120000)(random);
            TRowTextWriter::Row row;
            row.msecs = msecs;
            row.start_msecs = start;
            row.relative = i % 3 != 0;
            row.pu16 = raw(random);
            row.tu16 = raw(random);
            row.pbar = i % 2 ? values[pick(random)] : any(random);
            row.tcels = i % 5 ? std::round(any(random) * 1000.0) / 1000.0 + 0.0005 : values[pick(random)];
            row.pressure_digits = digits(random);
            row.temperature_digits = digits(random);
            QByteArray out;
            writer.append(out, row);
            ASSERT_EQ(out, expected(row)) << i << " " << row.pbar << " " << row.tcels;
        }
    }
}
