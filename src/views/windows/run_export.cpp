#include "views/windows/run_export.h"

#include "services/utils/file_commit.h"
#include "session/recorded_run.h"
#include "transmitter/OrvelDevice.h"
#include "transmitter/OrvelHandler.h"
#include "views/windows/row_text_writer.h"

namespace run_export {

table_export::Identity identity(const run_database::Run &run, int pressure_digits)
{
    return {T_OrvelDevice::range_text(run.range_min, run.range_max, std::uint8_t(run.pressure_mode), pressure_digits),
            run.calibration_date,
            run.product_code,
            table_export::placeholder(),
            T_SlaveAddr::hex_text(run.address),
            table_export::addr_left_placeholder()};
}

Outcome save(TRunDatabase &db, const run_database::Run &run, const QString &file, const Format &format)
{
    Outcome out;
    const table_export::Captions &c = format.captions;
    const table_export::ExportContent head = table_export::export_content(c, {}, {}, identity(run, format.pressure_digits));
    out.write_error = file_commit::replace_streamed(file, [&](const file_commit::ChunkWriter &write) {
        TRowTextWriter writer(format.decimal_separator);
        const std::int64_t started = run.started.toMSecsSinceEpoch();
        std::int64_t origin = started;
        bool headed = false, written = true;
        QByteArray chunk;
        std::vector<std::int64_t> breaks;
        out.read_error = db.read(
            run.id,
            [&](const std::vector<run_database::Row> &rows) {
                chunk.clear();
                if (!headed) {
                    // The relative times count from the first row, as in the window.
                    origin = started + rows.front().t_ms;
                    chunk = table_export::head_bytes(head, table_export::header_cells(c.date, c.time), false);
                    headed = true;
                }
                for (const run_database::Row &row : rows) {
                    const recorded_run::Values v = recorded_run::values(run, row);
                    writer.append(chunk, {started + row.t_ms, origin, true, row.pressure_raw, v.pressure,
                                          format.pressure_digits, row.temperature_raw, v.temperature,
                                          format.temperature_digits});
                }
                out.rows += std::int64_t(rows.size());
                written = write(chunk);
                return written;
            },
            breaks);
        if (!written) {
            out.read_error.clear(); // the read stopped because the file could not take more
            return false;
        }
        if (!out.read_error.isEmpty())
            return false;
        return headed || write(table_export::head_bytes(head, table_export::header_cells(c.date, c.time), true));
    });
    return out;
}

} // namespace run_export
