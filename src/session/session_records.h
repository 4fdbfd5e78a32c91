// What the session publishes: plain values, copied out of the device model while nobody else
// drives the adapter, so a face shows them without ever reading the model itself.
// Values only; any thread may hold and copy them.
#pragma once

#include "transmitter/OrvelDevice.h"
#include "transmitter/OrvelMemory.h"
#include "transmitter/readdress.h"
#include "transmitter/readdress_journal.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <cstdint>
#include <variant>

namespace session {

// The address scan found the bus: every transmitter that answered, and the one now selected.
struct BusFound {
    QList<int> addresses;
    int address = -1;
    QString adapter_serial;
};

// One transmitter as the last reads left it: identity and range, status, memory image.
struct Transmitter {
    int address = -1;
    double pmin = 0;
    double pmax = 0;
    uint8_t pressure_mode = 0;
    QString range;            // "-1.000...1.000 PR", the device panel's scaling text
    QString calibration_date;
    QString product_code;
    uint8_t status = 0;
    bool identity_read = false; // range, date and product code were read
    bool image_complete = false;
    bool calibrated = false;    // false for a blank image
    T_Memory_Status memory_status;
    T_DeviceMemory memory;
    T_DeviceMemory verify_memory;
    // -1 while not known (no complete, calibrated image).
    int changes_left() const { return image_complete && calibrated ? memory_status.changes_left() : -1; }
    bool memory_error() const { return (status & readdress::StatusMemoryError) != 0; }
};

// Identity and range were read (each scan cycle, and after a lost measurement was found again).
struct IdentityRead {
    Transmitter transmitter;
};

// What the status and changes left are now (after the address scan, each memory read, each
// procedure step that changes them).
struct StatusRead {
    Transmitter transmitter;
};

// The memory image was read (each scan cycle; the verification of a procedure).
struct MemoryRead {
    Transmitter transmitter;
};

// A scan cycle failed: nothing is known about the bus until the next one succeeds.
struct ScanFailed {
    bool adapter_open = false;
    bool adapter_lost = false;
    bool arbitration_lost = false; // the adapter answers, but something else holds the bus
    bool library_missing = false;  // the adapter maker's library could not be loaded
};

// One measurement the transmitter delivered; `in_run` is false for the scan's own measurement.
struct Measurement {
    QDateTime time;
    int address = -1;
    uint16_t pressure_raw = 0;
    uint16_t temperature_raw = 0;
    // The range the pressure word was converted with, as the device model hands it over.
    float range_min = 0;
    float range_max = 0;
    double pressure = 0;
    double temperature = 0;
    QString pressure_text;
    QString temperature_text;
    uint8_t status = 0;
    bool in_run = false;
};

// A measurement of a run failed; nothing was measured.
struct MeasurementFailed {
};

// A run began or ended (by the user's Stop or a worker's error, see WorkerFailed).
struct RunStarted {
    QDateTime time;
    int delay_ms = 0;
};
struct RunEnded {
    bool by_user = true;
};

// A worker ended on an error; `message` is its text.
struct WorkerFailed {
    QString message;
};

enum class Procedure { Readdress, Restore };

// A change of address or a restore began: it holds the adapter until it ends.
struct ProcedureStarted {
    Procedure procedure = Procedure::Readdress;
    int from = -1;
    int to = -1;
};

// One step of a procedure ran.
struct ProcedureStep {
    Procedure procedure = Procedure::Readdress;
    readdress::Step step = readdress::Step::None;
    bool ok = true;
};

// A procedure ended; its attempt is in the journal unless `journal_error` says why not.
struct ProcedureEnded {
    Procedure procedure = Procedure::Readdress;
    int from = -1;
    int to = -1;
    readdress::Outcome outcome;
    QString journal_error;
    // A restore refused as TwoMatch: the addresses whose transmitters carry the image's identity.
    QList<int> matching;
    bool succeeded() const { return outcome.succeeded(); }
};

// A procedure was not begun: the adapter was in use, or nothing was asked for.
struct ProcedureNotStarted {
    enum class Why { AdapterInUse, NoAddressPicked };
    Procedure procedure = Procedure::Readdress;
    Why why = Why::AdapterInUse;
};

// The file of recorded runs could not be written (told once), or works again.
struct RecordingProblem {
    bool ok = false;
    QString text;
};

// The retention settings removed recorded runs (`ok`), or removing them failed; `text` is the
// log's line.
struct RunsRemoved {
    bool ok = true;
    QList<std::int64_t> runs;
    QString text;
};

using Record = std::variant<BusFound, IdentityRead, StatusRead, MemoryRead, ScanFailed, Measurement, MeasurementFailed,
                            RunStarted, RunEnded, WorkerFailed, ProcedureStarted, ProcedureStep, ProcedureEnded,
                            ProcedureNotStarted, RecordingProblem, RunsRemoved>;

} // namespace session
