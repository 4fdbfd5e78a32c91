// The command line's part in recording runs: `measure --record` with the retention settings, the
// list of recorded runs and the export of one. One thread only.
#pragma once

#include <QDateTime>
#include <memory>

class TRunRecorder;
class TSession;

namespace cli_commands {

// Records the measurements of one `measure` run; ends the run when it goes.
class MeasureRecording
{
public:
    // Starts a run for the transmitter the session selected.
    MeasureRecording(TSession &session, int interval_ms);
    ~MeasureRecording();
    MeasureRecording(const MeasureRecording &) = delete;
    MeasureRecording &operator=(const MeasureRecording &) = delete;

    void add(const QDateTime &time, unsigned pressure_raw, unsigned temperature_raw);

private:
    std::unique_ptr<TRunRecorder> f_recorder;
    QDateTime f_started;
};

} // namespace cli_commands
