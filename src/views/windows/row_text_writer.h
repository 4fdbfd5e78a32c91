#pragma once
// The export bytes of measurement rows, made without building a text per cell: the same texts
// as the table's cells (date, time, raw values, fixed-point values), at a million rows a second.
// One writer per export; not thread-safe.
#include <QByteArray>
#include <QChar>
#include <QDate>
#include <cstdint>

class TRowTextWriter
{
public:
    explicit TRowTextWriter(QChar decimal_separator);

    struct Row {
        std::int64_t msecs = 0;       // when measured, since the epoch
        std::int64_t start_msecs = 0; // origin of the relative time
        bool relative = true;
        int pu16 = 0;
        double pbar = 0.0;
        int pressure_digits = 3;
        int tu16 = 0;
        double tcels = 0.0;
        int temperature_digits = 2;
    };
    // Columns 1 … 6 joined by TAB, then CR LF, in the system's 8-bit encoding.
    void append(QByteArray &out, const Row &row);

private:
    void append_fixed(QByteArray &out, double value, int digits);
    void append_clock(QByteArray &out, std::int64_t msecs_of_day);
    std::int64_t local_msecs(std::int64_t msecs);

    QChar fSeparator;
    QByteArray fSeparatorBytes;
    std::int64_t fOffsetBucket = INT64_MIN;
    std::int64_t fOffset = 0;
    std::int64_t fDay = INT64_MIN;
    QByteArray fDateText;
};
