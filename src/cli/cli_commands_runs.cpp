#include "cli/cli_commands_runs.h"

#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "services/settings/IniHandler.h"
#include "session/run_recorder.h"
#include "session/session.h"
#include "transmitter/OrvelHandler.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonObject>

using cli_output::Kind;

namespace cli_commands {

namespace {

QString recording_folder()
{
    TIniHandler *ini = TIniHandler::getInstance();
    const QString folder = ini->Get_dbSQLitePath();
    TIniHandler::release();
    return folder;
}

QString iso(const QDateTime &t)
{
    return t.isValid() ? t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs) : QString();
}

} // namespace

MeasureRecording::MeasureRecording(TSession &session, int interval_ms)
    : f_recorder(std::make_unique<TRunRecorder>(recording_folder())), f_started(QDateTime::currentDateTime())
{
    QObject::connect(f_recorder.get(), &TRunRecorder::problem, f_recorder.get(),
                     [](bool, const QString &text) { cli_output::notice(Kind::Recording, text); });
    const session::Transmitter &t = session.transmitter();
    run_database::Run run;
    run.started = f_started;
    run.address = t.address;
    run.product_code = t.product_code;
    run.range_min = t.pmin;
    run.range_max = t.pmax;
    run.pressure_mode = t.pressure_mode;
    run.calibration_date = t.calibration_date;
    run.adapter_serial = session.adapter_serial();
    run.interval_ms = interval_ms;
    run.program_version = QCoreApplication::applicationVersion();
    f_recorder->start_run(run);
}

MeasureRecording::~MeasureRecording()
{
    f_recorder->end_run(QDateTime::currentDateTime());
    f_recorder->flush();
    QCoreApplication::processEvents();
}

void MeasureRecording::add(const QDateTime &time, unsigned pressure_raw, unsigned temperature_raw)
{
    f_recorder->add(f_started.msecsTo(time), std::uint16_t(pressure_raw), std::uint16_t(temperature_raw));
    // A notice from the writer is printed as it comes.
    QCoreApplication::processEvents();
}

int runs(const Options &o)
{
    const QString file = QDir(recording_folder()).filePath(QString::fromLatin1(run_database::FileName));
    if (TRunDatabase::file_version(file) == 0)
        return Ok; // nothing recorded yet
    TRunDatabase db;
    QString why = db.open(file, TRunDatabase::Access::ReadOnly);
    const QList<run_database::Run> list = why.isEmpty() ? db.runs(&why) : QList<run_database::Run>();
    if (!why.isEmpty()) {
        cli_output::error(Kind::Recording, QStringLiteral("The recorded runs cannot be read: ") + why, Failed);
        return Failed;
    }
    if (o.json) {
        for (const run_database::Run &r : list)
            cli_output::out(cli_output::json(
                {{QStringLiteral("run"), qint64(r.id)},
                 {QStringLiteral("uid"), r.uid},
                 {QStringLiteral("started"), iso(r.started)},
                 {QStringLiteral("ended"), r.ended.isValid() ? QJsonValue(iso(r.ended)) : QJsonValue()},
                 {QStringLiteral("address"), T_SlaveAddr::hex_text(r.address)},
                 {QStringLiteral("product_code"), r.product_code},
                 {QStringLiteral("range_min"), r.range_min},
                 {QStringLiteral("range_max"), r.range_max},
                 {QStringLiteral("pressure_mode"), r.pressure_mode},
                 {QStringLiteral("calibration_date"), r.calibration_date},
                 {QStringLiteral("adapter_serial"), r.adapter_serial},
                 {QStringLiteral("interval_ms"), r.interval_ms},
                 {QStringLiteral("measurements"), qint64(r.rows)},
                 {QStringLiteral("bytes"), qint64(r.bytes)}}));
        return Ok;
    }
    QList<QStringList> rows;
    for (const run_database::Run &r : list)
        rows.append({QString::number(r.id), iso(r.started), r.ended.isValid() ? iso(r.ended) : QStringLiteral("-"),
                     T_SlaveAddr::hex_text(r.address), r.product_code, QString::number(r.rows)});
    cli_output::out(cli_output::table({QStringLiteral("Run"), QStringLiteral("Started"), QStringLiteral("Ended"),
                                       QStringLiteral("Address"), QStringLiteral("Product code"),
                                       QStringLiteral("Measurements")},
                                      rows));
    return Ok;
}

} // namespace cli_commands
