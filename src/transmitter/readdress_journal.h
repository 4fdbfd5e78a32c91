// The journal of every re-addressing and restore attempt: one CSV line per attempt in
// "readdress_journal.csv" of the data folder, with the memory image before and after in
// "images/" beside it. No widgets; the window and the command line both write it.
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
// The failed step, for a refusal with its reason ("Check: NoChangeLeft"); empty on success.
QString failed_step_text(const readdress::Outcome &outcome);

// Writes the images, then appends the line and has it on the disk before returning. The
// after-image is what the transmitter was last read to hold; it is left out when the procedure
// wrote and could not read back. Returns the reasons of failures, empty when all was written.
QString record(const QString &folder, const Attempt &attempt, const readdress::Outcome &outcome,
               T_Orvel_Handler &h);

// One CSV line of the fields, quoted where needed, without its end of line.
QString csv_line(const QStringList &fields);
// The fields of one line; quoted fields may hold commas and doubled quotes.
QStringList csv_fields(const QString &line);

// The lines of the journal, newest first, header left out. An absent journal has no lines;
// `error` gets the reason when the file exists and cannot be read.
QList<QStringList> read(const QString &folder, QString *error = nullptr);

} // namespace readdress_journal
