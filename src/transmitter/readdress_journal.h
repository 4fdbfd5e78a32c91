// The journal of every re-addressing and restore attempt: CSV lines in "readdress_journal.csv" of
// the data folder, with the memory image before and after in "images/" beside it. An attempt
// that writes the transmitter is on disk before its first word goes out (a line with outcome
// "started"); its end adds a second line for the same attempt, which time, adapter serial and
// old address name. An attempt left without an end was cut off while it wrote.
// No widgets; the window and the command line both write it.
// Threading: callable from any thread; one writer at a time (the owner of the adapter).
#pragma once

#include "transmitter/OrvelMemory.h"
#include "transmitter/readdress.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class T_Orvel_Handler;

namespace readdress_journal {

enum class Procedure { Readdress, Restore };

// What the procedure is about to change, taken before it starts.
struct Attempt {
    Procedure procedure = Procedure::Readdress;
    QDateTime time;
    QString user;
    QString host;
    QString adapter_serial;
    QString product_code;
    int old_address = -1;
    int new_address = -1;
    int page_before = -1;
    T_DeviceMemory before; // the image the last read delivered
    // Filled by start(): the before-image's name in the journal folder, and whether the line
    // that tells the attempt began is on disk.
    QString before_image;
    bool started = false;
};

// The transmitter at the device's slave address, going to `new_address`.
Attempt begin(T_Orvel_Handler &h, int new_address, Procedure procedure);

// The columns of a line, also the file's first line.
const QStringList &columns();
enum Column {
    Time,
    User,
    Host,
    AdapterSerial,
    ProductCode,
    OldAddress,
    NewAddress,
    PageBefore,
    PageAfter,
    Outcome,
    FailedStep,
    ProcedureColumn,
    BeforeImage,
    AfterImage,
    ColumnCount
};

// "Orvel_IIC_Zorbit" in the user's data folder, created when missing.
QString default_folder();
QString journal_file(const QString &folder);

// "success", "cancel", "refused" or "failure".
QString outcome_text(const readdress::Outcome &outcome);
// "readdress" or "restore".
QString procedure_text(Procedure procedure);
// The outcome of the line written before the write, and what an attempt that never got its end
// shows (its announcement at a later start adds a line with it, too).
inline const QString Started = QStringLiteral("started");
inline const QString Interrupted = QStringLiteral("interrupted");
// The failed step, for a refusal with its reason ("Check: NoChangeLeft"); empty on success.
QString failed_step_text(const readdress::Outcome &outcome);

// Called just before the first word is written: the before-image, then the line with outcome
// "started", each synced to the disk with its folder. Returns the reasons of failures, empty
// when both are on disk.
QString start(const QString &folder, Attempt &attempt);

// Writes the images, then appends the line and has it on the disk before returning; for a
// started attempt the line is its second one. The after-image is what the transmitter was last
// read to hold; it is left out when the procedure wrote and could not read back. Returns the
// reasons of failures, empty when all was written.
QString record(const QString &folder, const Attempt &attempt, const readdress::Outcome &outcome,
               T_Orvel_Handler &h);

// One CSV line of the fields, quoted where needed, without its end of line.
QString csv_line(const QStringList &fields);
// The fields of one line; quoted fields may hold commas and doubled quotes.
QStringList csv_fields(const QString &line);

// The attempts of the journal, newest first, header left out: one row each, with the fields of
// its last line; an attempt that never got its end shows the outcome "interrupted". An absent
// journal has no attempts; `error` gets the reason when the file exists and cannot be read.
QList<QStringList> read(const QString &folder, QString *error = nullptr);

// The attempts cut off while they wrote that no start of the program has told of yet, oldest
// first, with the outcome "started".
QList<QStringList> unannounced(const QString &folder, QString *error = nullptr);
// Remembers that they were told: a line with outcome "interrupted" for each. Returns the reason
// of a failure.
QString mark_announced(const QString &folder, const QList<QStringList> &attempts);

// A file of the journal's row (an image) as a path, empty for an empty name.
QString file_path(const QString &folder, const QString &name);

} // namespace readdress_journal
