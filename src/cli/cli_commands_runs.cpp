#include "cli/cli_commands_runs.h"

#include "cli/cli_commands.h"
#include "cli/cli_output.h"
#include "services/settings/IniHandler.h"
#include "services/settings/Translator.h"
#include "services/settings/window_text.h"
#include "services/utils/ZUtils.h"
#include "session/run_recorder.h"
#include "session/session.h"
#include "transmitter/OrvelHandler.h"
#include "views/windows/run_export.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <optional>

using cli_output::Kind;

namespace cli_commands {

namespace {

struct RecordingSettings {
    QString folder;
    int retention_days = 0;
    int retention_megabytes = 0;
};

RecordingSettings recording_settings()
{
    TIniHandler *ini = TIniHandler::getInstance();
    const RecordingSettings settings{ini->Get_dbSQLitePath(), ini->Get_dbRetentionDays(), ini->Get_dbRetentionMB()};
    TIniHandler::release();
    return settings;
}

QString runs_file()
{
    return QDir(recording_settings().folder).filePath(QString::fromLatin1(run_database::FileName));
}

int cannot_read(const QString &why)
{
    cli_output::error(Kind::Recording, QStringLiteral("The recorded runs cannot be read: ") + why, Failed);
    return Failed;
}

// Every recorded run, newest first, from `db` opened for reading; none when nothing was recorded
// yet. False, and the error told, when the file cannot be read.
bool read_runs(TRunDatabase &db, QList<run_database::Run> &list)
{
    const QString file = runs_file();
    if (TRunDatabase::file_version(file) == 0)
        return true;
    QString why = db.open(file, TRunDatabase::Access::ReadOnly);
    if (why.isEmpty())
        list = db.runs(&why);
    if (why.isEmpty())
        return true;
    cannot_read(why);
    return false;
}

// The run by its number as `runs` lists it, or by its uid.
std::optional<run_database::Run> find_run(const QList<run_database::Run> &list, const QString &wanted)
{
    bool number = false;
    const qint64 id = wanted.toLongLong(&number);
    for (const run_database::Run &r : list)
        if (number ? r.id == id : r.uid.compare(wanted.trimmed(), Qt::CaseInsensitive) == 0)
            return r;
    return std::nullopt;
}

// Written as the window would save it: its language, its decimals, the system's separator.
int export_run(const Options &o)
{
    TRunDatabase db;
    QList<run_database::Run> list;
    if (!read_runs(db, list))
        return Failed;
    const std::optional<run_database::Run> run = find_run(list, o.run);
    if (!run) {
        cli_output::error(Kind::NoRun,
                          QStringLiteral("No recorded run has the number or uid '%1'; 'orvel-zorbit-cli runs' lists them")
                              .arg(o.run),
                          Failed);
        return Failed;
    }

    run_export::Format format;
    TIniHandler *ini = TIniHandler::getInstance();
    format.pressure_digits = ini->Get_pressure_digits();
    format.temperature_digits = ini->Get_temperature_digits();
    TTranslator::getInstance()->Set_Language(ini->Get_Language());
    TIniHandler::release();
    format.captions = table_export::captions(window_text::tr_);
    TTranslator::release();
    format.decimal_separator = ZString::LocaleDecimalSeparator();

    const QString file = QFileInfo(o.csv).absoluteFilePath();
    const run_export::Outcome outcome = run_export::save(db, *run, file, format);
    const QString name = QDir::toNativeSeparators(file);
    if (!outcome.read_error.isEmpty())
        return cannot_read(QStringLiteral("%1; %2 was left as it was").arg(outcome.read_error, name));
    if (!outcome.write_error.isEmpty()) {
        cli_output::error(Kind::Export,
                          QStringLiteral("Run %1 could not be written to %2: %3").arg(run->id).arg(name, outcome.write_error),
                          Failed);
        return Failed;
    }
    if (o.json)
        cli_output::out(cli_output::json({{QStringLiteral("run"), qint64(run->id)},
                                          {QStringLiteral("uid"), run->uid},
                                          {QStringLiteral("file"), file},
                                          {QStringLiteral("measurements"), qint64(outcome.rows)}}));
    else
        cli_output::out(QStringLiteral("Run %1 (%2 measurements) written to %3").arg(run->id).arg(outcome.rows).arg(name));
    return Ok;
}

QString iso(const QDateTime &t)
{
    return t.isValid() ? t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODateWithMs) : QString();
}

} // namespace

MeasureRecording::MeasureRecording(TSession &session, int interval_ms) : f_started(QDateTime::currentDateTime())
{
    const RecordingSettings settings = recording_settings();
    f_recorder = std::make_unique<TRunRecorder>(settings.folder);
    QObject::connect(f_recorder.get(), &TRunRecorder::problem, f_recorder.get(),
                     [](bool, const QString &text) { cli_output::notice(Kind::Recording, text); });
    QObject::connect(f_recorder.get(), &TRunRecorder::runs_removed, f_recorder.get(),
                     [](bool, const QList<std::int64_t> &, const QString &text) {
                         cli_output::notice(Kind::Recording, text);
                     });
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
    // The window's limits hold here too, applied once the run is stored.
    if (settings.retention_days > 0 || settings.retention_megabytes > 0)
        f_recorder->set_retention(settings.retention_days, settings.retention_megabytes);
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
    if (!o.run.isEmpty())
        return export_run(o);
    if (TRunDatabase::file_version(runs_file()) == 0)
        return Ok; // nothing recorded yet
    TRunDatabase db;
    QList<run_database::Run> list;
    if (!read_runs(db, list))
        return Failed;
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
