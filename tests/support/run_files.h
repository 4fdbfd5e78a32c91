// Recorded runs written straight into a file of runs, as an earlier session left them.
#pragma once

#include "services/recording/run_database.h"

#include <QDateTime>
#include <QDir>
#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace run_files {

// The demo bus's transmitter at 0x28, measured from `started`.
inline run_database::Run transmitter(const QDateTime &started)
{
    run_database::Run r;
    r.started = started;
    r.address = 0x28;
    r.product_code = QStringLiteral("F01234E07P0056");
    r.range_min = 0;
    r.range_max = 10;
    r.pressure_mode = 1;
    r.calibration_date = QStringLiteral("07.04.2019");
    r.adapter_serial = QStringLiteral("0000C0DE");
    r.interval_ms = 10;
    r.program_version = QStringLiteral("1.3");
    return r;
}

// `count` rows 10 ms apart, with words that change from row to row.
inline std::vector<run_database::Row> rows(std::int64_t count)
{
    std::vector<run_database::Row> out;
    for (std::int64_t n = 0; n < count; ++n)
        out.push_back({n, n * 10, std::uint16_t(0x8000 + n * 7), std::uint16_t(0x5C00 + n % 97)});
    return out;
}

// Stores an ended run in the file of runs in `folder`; its id, or -1 with the failure reported.
inline std::int64_t store(const QString &folder, run_database::Run run, const std::vector<run_database::Row> &rows)
{
    QDir().mkpath(folder);
    TRunDatabase db;
    const QString file = QDir(folder).filePath(QString::fromLatin1(run_database::FileName));
    const QString opened = db.open(file, TRunDatabase::Access::ReadWrite);
    EXPECT_EQ(opened, QString());
    if (!opened.isEmpty() || !db.begin_run(run).isEmpty())
        return -1;
    const QString appended = db.append(run.id, rows, {}, run.started.addMSecs(rows.empty() ? 0 : rows.back().t_ms));
    EXPECT_EQ(appended, QString());
    return appended.isEmpty() ? run.id : -1;
}

// The ids of the runs in the file of runs in `folder`, sorted.
inline QList<std::int64_t> ids(const QString &folder)
{
    TRunDatabase db;
    QList<std::int64_t> out;
    if (!db.open(QDir(folder).filePath(QString::fromLatin1(run_database::FileName)), TRunDatabase::Access::ReadOnly)
             .isEmpty())
        return out;
    for (const run_database::Run &r : db.runs())
        out << r.id;
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace run_files
