// The session against a scripted simulated bus, without any window: the records it publishes,
// in order, with and without its workers, and how it guards a write.
#include "session/session.h"

#include "session/run_recorder.h"

#include "qt_printers.h"
#include "run_files.h"
#include "sim_control.h"
#include "transmitter/readdress_journal.h"
#include "wait_until.h"

#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>
#include <pthread.h>

namespace {

// Each record as one short line, so a sequence reads as a list.
struct Describe {
    QString operator()(const session::BusFound &r) const
    {
        QStringList found;
        for (int a : r.addresses)
            found << T_SlaveAddr::hex_text(a);
        return QStringLiteral("bus ") + found.join(u',') + QStringLiteral(" selected ") + T_SlaveAddr::hex_text(r.address);
    }
    QString operator()(const session::IdentityRead &r) const { return QStringLiteral("identity ") + r.transmitter.range; }
    QString operator()(const session::StatusRead &r) const
    {
        return QStringLiteral("status %1 left %2").arg(r.transmitter.status, 0, 16).arg(r.transmitter.changes_left());
    }
    QString operator()(const session::MemoryRead &) const { return QStringLiteral("memory"); }
    QString operator()(const session::ScanFailed &) const { return QStringLiteral("scan failed"); }
    QString operator()(const session::Measurement &m) const
    {
        return QStringLiteral("%1 %2 %3").arg(m.in_run ? "run" : "single").arg(m.pressure_raw).arg(m.temperature_raw);
    }
    QString operator()(const session::MeasurementFailed &) const { return QStringLiteral("measurement failed"); }
    QString operator()(const session::RunStarted &) const { return QStringLiteral("run started"); }
    QString operator()(const session::RunEnded &r) const { return r.by_user ? QStringLiteral("run stopped") : QStringLiteral("run ended"); }
    QString operator()(const session::WorkerFailed &r) const { return QStringLiteral("worker failed ") + r.message; }
    QString operator()(const session::ProcedureStarted &r) const
    {
        return QStringLiteral("procedure %1 -> %2").arg(T_SlaveAddr::hex_text(r.from), T_SlaveAddr::hex_text(r.to));
    }
    QString operator()(const session::ProcedureStep &r) const
    {
        return QStringLiteral("step %1 %2").arg(int(r.step)).arg(r.ok ? "ok" : "failed");
    }
    QString operator()(const session::ProcedureEnded &r) const
    {
        return QStringLiteral("ended ") + readdress_journal::outcome_text(r.outcome) + QStringLiteral(" at ") +
               T_SlaveAddr::hex_text(r.outcome.answers_at);
    }
    QString operator()(const session::RecordingProblem &r) const
    {
        return (r.ok ? QStringLiteral("recording again ") : QStringLiteral("recording failed ")) + r.text;
    }
    QString operator()(const session::RunsRemoved &r) const { return QStringLiteral("runs removed ") + r.text; }
    QString operator()(const session::ProcedureNotStarted &r) const
    {
        return r.why == session::ProcedureNotStarted::Why::AdapterInUse ? QStringLiteral("not started: adapter in use")
                                                                        : QStringLiteral("not started: no address");
    }
};

class Session : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.loaded()) << sim.error();
        std::string error;
        ASSERT_TRUE(sim.start({}, &error)) << error;
        ASSERT_TRUE(journal.isValid());
        s = std::make_unique<TSession>(std::make_unique<T_Orvel_Handler>([](TCategory, TMode, const QString &) {}));
        s->set_digits(3, 2);
        s->set_journal_folder(journal.path());
        s->set_confirm([this](const session::ProcedureStarted &) { return answer; });
        QObject::connect(s.get(), &TSession::published, s.get(), [this](const session::Record &r) {
            records.append(r);
            lines.append(std::visit(Describe{}, r));
        });
        ASSERT_TRUE(sim.iowsim_set_signal(0, 1, 0x4000, 0x6000));
    }
    void TearDown() override { s.reset(); }

    template <typename T>
    int count() const
    {
        return int(std::count_if(records.begin(), records.end(), [](const session::Record &r) {
            return std::holds_alternative<T>(r);
        }));
    }
    // Waits for `n` more records of type T than there are now.
    template <typename T>
    bool waitForMore(int n, int timeoutMs = 5000)
    {
        const int target = count<T>() + n;
        return wait_until::pumping([&] { return count<T>() >= target; }, timeoutMs);
    }
    // The lines from the first that starts with `first`.
    QStringList from(const QString &first) const
    {
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i].startsWith(first))
                return lines.mid(i);
        return {};
    }

    zorbit_test::SimControl sim;
    QTemporaryDir journal;
    std::unique_ptr<TSession> s;
    bool answer = true;
    QList<session::Record> records;
    QStringList lines;
};

// Steps of a change of address as the procedure reports them: power-up into command mode,
// the write, its verification, the checksum and the power cycle.
QStringList procedureSteps()
{
    using readdress::Step;
    QStringList steps;
    for (Step step : {Step::DisableI2c, Step::DisableSpi, Step::SwitchOff, Step::SwitchOn, Step::EnableI2c,
                      Step::CommandMode})
        steps << QStringLiteral("step %1 ok").arg(int(step));
    return steps;
}

} // namespace

TEST_F(Session, WithoutWorkersEachCallPublishesWhatItRead)
{
    ASSERT_EQ(s->open(), readdress::Step::None);
    ASSERT_TRUE(s->select(0x28));
    const std::optional<session::Measurement> m = s->measure();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(lines, (QStringList{QStringLiteral("bus 0x28 selected 0x28"), QStringLiteral("identity ") +
                                                                                   s->transmitter().range,
                                  QStringLiteral("memory"), QStringLiteral("status 40 left 3"),
                                  QStringLiteral("single 16384 24576")}));
    EXPECT_EQ(m->pressure_raw, 0x4000);
    EXPECT_EQ(m->temperature_raw, 0x6000);
    // The converted values are the model's rules applied to the delivered words.
    T_OrvelDevice model;
    model.Set_pmin(s->transmitter().pmin);
    model.Set_pmax(s->transmitter().pmax);
    model.Set_pressure_U16_raw(0x4000);
    model.Set_temperature_U16_raw(0x6000);
    EXPECT_DOUBLE_EQ(m->pressure, model.Get_pressure());
    EXPECT_DOUBLE_EQ(m->temperature, model.Get_temperature());
    // With the range it was converted with, as the device model passes it on.
    EXPECT_EQ(m->range_min, float(s->transmitter().pmin));
    EXPECT_EQ(m->range_max, float(s->transmitter().pmax));
    EXPECT_NE(m->range_min, m->range_max);
    EXPECT_FALSE(s->select(0x31)) << "nobody answers there";
}

TEST_F(Session, ARefusedMeasureCommandIsAFailureRecordNotAValue)
{
    ASSERT_EQ(s->open(), readdress::Step::None);
    ASSERT_TRUE(s->select(0x28));
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_COMMAND, 0xAC));
    lines.clear();
    EXPECT_FALSE(s->measure().has_value());
    EXPECT_EQ(lines, QStringList{QStringLiteral("measurement failed")});
}

TEST_F(Session, AChangeOfAddressPublishesItsStepsThenItsJournalledOutcome)
{
    ASSERT_EQ(s->open(), readdress::Step::None);
    ASSERT_TRUE(s->select(0x28));
    lines.clear();
    const session::ProcedureEnded ended = s->readdress(0x31);
    EXPECT_TRUE(ended.succeeded());
    EXPECT_EQ(ended.outcome.answers_at, 0x31);
    EXPECT_EQ(ended.journal_error, QString());
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("procedure 0x28 -> 0x31"));
    EXPECT_EQ(lines.mid(1, 6), procedureSteps());
    EXPECT_EQ(lines.last(), QStringLiteral("ended success at 0x31"));
    EXPECT_TRUE(lines.contains(QStringLiteral("memory"))) << "the verification's image is published";
    // The journal line is on disk by the time the end is published.
    const QList<QStringList> rows = readdress_journal::read(journal.path());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][readdress_journal::Outcome], QStringLiteral("success"));
    iowsim_transmitter_info chip{};
    sim.iowsim_get_transmitter(0, &chip);
    EXPECT_EQ(chip.address, 0x31);
}

namespace {

volatile std::sig_atomic_t hangups = 0;

extern "C" void count_hangup(int)
{
    hangups = hangups + 1;
}

bool quitSignalsBlocked()
{
    sigset_t now;
    pthread_sigmask(SIG_BLOCK, nullptr, &now);
    return sigismember(&now, SIGINT) == 1 && sigismember(&now, SIGTERM) == 1 && sigismember(&now, SIGHUP) == 1;
}

} // namespace

TEST_F(Session, DuringTheWriteTheAttemptIsJournalledAndQuitSignalsWaitForTheEnd)
{
    ASSERT_EQ(s->open(), readdress::Step::None);
    ASSERT_TRUE(s->select(0x28));
    struct sigaction counting = {}, before = {};
    counting.sa_handler = count_hangup;
    sigemptyset(&counting.sa_mask);
    ASSERT_EQ(sigaction(SIGHUP, &counting, &before), 0);
    hangups = 0;

    bool blockedAtConfirm = true;
    QList<bool> blockedInWrite;
    QStringList journalInWrite;
    int hangupsInWrite = -1;
    s->set_confirm([&](const session::ProcedureStarted &) {
        blockedAtConfirm = quitSignalsBlocked();
        return true;
    });
    QObject::connect(s.get(), &TSession::published, s.get(), [&](const session::Record &r) {
        const auto *step = std::get_if<session::ProcedureStep>(&r);
        if (!step || step->step < readdress::Step::Write)
            return;
        blockedInWrite << quitSignalsBlocked();
        if (step->step == readdress::Step::Write) {
            journalInWrite << readdress_journal::read(journal.path()).value(0).value(readdress_journal::Outcome);
            pthread_kill(pthread_self(), SIGHUP); // as a hang-up in the middle of the write
        }
        if (step->step == readdress::Step::NewAddress)
            hangupsInWrite = hangups;
    });
    const session::ProcedureEnded ended = s->readdress(0x31);
    const int hangupsAfter = hangups;
    const bool blockedAfter = quitSignalsBlocked();
    sigaction(SIGHUP, &before, nullptr);

    EXPECT_TRUE(ended.succeeded()) << "the write was not cut";
    EXPECT_FALSE(blockedAtConfirm) << "nothing is held before the user has confirmed";
    EXPECT_EQ(blockedInWrite, QList<bool>(blockedInWrite.size(), true));
    EXPECT_GE(blockedInWrite.size(), 6); // write, verify, checksum, off, on, new address
    EXPECT_EQ(journalInWrite, QStringList{readdress_journal::Interrupted}) << "on disk before the end";
    EXPECT_EQ(hangupsInWrite, 0) << "held while the procedure ran";
    EXPECT_EQ(hangupsAfter, 1) << "delivered once it had ended";
    EXPECT_FALSE(blockedAfter);
    const QList<QStringList> rows = readdress_journal::read(journal.path());
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][readdress_journal::Outcome], QStringLiteral("success"));
}

TEST_F(Session, ADeclinedChangeWritesNothingAndSaysSo)
{
    ASSERT_EQ(s->open(), readdress::Step::None);
    ASSERT_TRUE(s->select(0x28));
    answer = false;
    const session::ProcedureEnded ended = s->readdress(0x31);
    EXPECT_EQ(ended.outcome.failed, readdress::Step::Confirm);
    EXPECT_FALSE(ended.outcome.written);
    EXPECT_EQ(lines.last(), QStringLiteral("ended cancel at 0x28"));
}

TEST_F(Session, WorkersPublishTheScanARunAndAProcedureInOrder)
{
    s->start();
    ASSERT_TRUE(waitForMore<session::Measurement>(1, 8000));
    // The status after the address scan comes before anything of the transmitter was read.
    EXPECT_EQ(lines.mid(0, 5), (QStringList{QStringLiteral("bus 0x28 selected 0x28"), QStringLiteral("status 0 left -1"),
                                            QStringLiteral("identity ") + s->transmitter().range,
                                            QStringLiteral("status 40 left 3"), QStringLiteral("memory")}));
    EXPECT_EQ(lines[5], QStringLiteral("single 16384 24576"));

    // A run: its measurements, a refused measure command as a failure and nothing measured,
    // then measurements again.
    s->start_run(10);
    ASSERT_TRUE(waitForMore<session::Measurement>(5, 8000));
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_NACK_COMMAND, 0xAC));
    ASSERT_TRUE(waitForMore<session::MeasurementFailed>(2));
    sim.iowsim_clear_faults();
    ASSERT_TRUE(waitForMore<session::Measurement>(3));
    s->stop_run();
    const QStringList run = from(QStringLiteral("run started"));
    ASSERT_FALSE(run.isEmpty());
    EXPECT_EQ(run[1], QStringLiteral("run 16384 24576"));
    EXPECT_EQ(run.last(), QStringLiteral("run stopped"));
    const int failed = run.indexOf(QStringLiteral("measurement failed"));
    ASSERT_GT(failed, 0);
    for (const QString &line : run.mid(failed)) {
        if (line.startsWith(QStringLiteral("run ")) && line != QStringLiteral("run stopped"))
            break;
        EXPECT_FALSE(line.startsWith(QStringLiteral("single"))) << "no value while the command is refused";
    }

    // A change of address, once the scan that Stop started has read the image again, waits for
    // that worker to end; then scanning finds the transmitter at its new address.
    ASSERT_TRUE(waitForMore<session::MemoryRead>(1, 8000));
    lines.clear();
    records.clear();
    s->request_readdress(0x31);
    ASSERT_TRUE(waitForMore<session::ProcedureEnded>(1, 15000));
    EXPECT_FALSE(s->worker_exists()) << "nobody else used the adapter meanwhile";
    ASSERT_TRUE(waitForMore<session::BusFound>(1, 8000));
    const QStringList after = from(QStringLiteral("procedure"));
    EXPECT_EQ(after.first(), QStringLiteral("procedure 0x28 -> 0x31"));
    const qsizetype ended = after.indexOf(QStringLiteral("ended success at 0x31"));
    ASSERT_GE(ended, 0);
    // The scan's first record after the end; its next records may have come in the same pass.
    const auto bus = std::find_if(after.begin() + ended, after.end(),
                                  [](const QString &line) { return line.startsWith(QStringLiteral("bus ")); });
    ASSERT_NE(bus, after.end());
    EXPECT_EQ(*bus, QStringLiteral("bus 0x31 selected 0x31"));
}

TEST_F(Session, AnEmptyBusIsAScanFailureEveryCycle)
{
    ASSERT_TRUE(sim.start(sim.writeFile("empty.ini", "[adapter]\n"), nullptr));
    s->start();
    ASSERT_TRUE(waitForMore<session::ScanFailed>(2, 8000));
    EXPECT_EQ(count<session::BusFound>(), 0);
    EXPECT_EQ(count<session::Measurement>(), 0);
}

TEST_F(Session, TheChosenAdapterIsTheOneOpenedAndScanned)
{
    ASSERT_TRUE(sim.start(sim.writeFile("two.ini", "[adapter]\nserial = 0000C0DE\n[transmitter.a]\naddress = 0x28\n"
                                                   "[adapter.b]\nserial = 0000BEEF\n[transmitter.b]\naddress = 0x40\n"),
                          nullptr));
    EXPECT_EQ(s->list_adapters().size(), 2);
    s->choose_adapter(QStringLiteral("0000BEEF"));
    ASSERT_EQ(s->open(), readdress::Step::None);
    EXPECT_EQ(s->adapter_serial(), QStringLiteral("0000BEEF"));
    EXPECT_EQ(s->addresses(), QList<int>{0x40});

    s->choose_adapter(QStringLiteral("0000FFFF"));
    EXPECT_EQ(s->open(), readdress::Step::DetectDongle);
    EXPECT_TRUE(s->chosen_adapter_missing());
    ASSERT_EQ(s->adapters_found().size(), 2);
    EXPECT_EQ(s->adapters_found().at(1).serial, QStringLiteral("0000BEEF"));
}

// A lost measurement without workers: the selected transmitter is looked for again, and the
// selection never moves to another one that answers lower on the bus.
TEST_F(Session, FindAgainKeepsToTheSelectedTransmitter)
{
    ASSERT_TRUE(sim.start(sim.writeFile("two.ini", "[adapter]\nlatency_ms = 0\n"
                                                   "[transmitter.low]\naddress = 0x20\npressure_raw = 0x1111\n"
                                                   "[transmitter.main]\naddress = 0x28\npressure_raw = 0x4000\n"),
                          nullptr));
    ASSERT_EQ(s->open(), readdress::Step::None);
    ASSERT_TRUE(s->select(0x28));
    ASSERT_TRUE(s->measure().has_value());

    using Recovery = TSession::Recovery;
    ASSERT_TRUE(sim.iowsim_set_fault(1, IOWSIM_FAULT_REMOVED, 1));
    EXPECT_FALSE(s->measure().has_value());
    EXPECT_EQ(s->find_again(), Recovery::Missing);
    EXPECT_EQ(s->addresses(), QList<int>{0x20});
    EXPECT_FALSE(s->measure().has_value()) << "0x20 answers, but it is not the one measured";

    ASSERT_TRUE(sim.iowsim_set_fault(1, IOWSIM_FAULT_REMOVED, 0));
    EXPECT_EQ(s->find_again(), Recovery::Found);
    const std::optional<session::Measurement> m = s->measure();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->pressure_raw, 0x4000);
    EXPECT_EQ(m->address, 0x28);

    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_UNPLUGGED, 1));
    EXPECT_EQ(s->find_again(), Recovery::NoAdapter);
    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_UNPLUGGED, 0));
    EXPECT_EQ(s->find_again(), Recovery::Found) << "plugged in again";
    EXPECT_TRUE(s->measure().has_value());

    ASSERT_TRUE(sim.iowsim_set_fault(0, IOWSIM_FAULT_DROP_ANSWERS, 1));
    EXPECT_EQ(s->find_again(), Recovery::AdapterSilent);
}

// A run with a recording folder: every measurement of the run reaches the file, with the
// transmitter it came from, a cleared chart as a break, and the end of the run; measurements
// outside the run do not.
TEST_F(Session, ARunIsRecordedAsItIsMeasured)
{
    QTemporaryDir folder;
    s->set_recording_folder(folder.path());
    s->start();
    ASSERT_TRUE(waitForMore<session::Measurement>(1, 8000));
    s->start_run(10);
    ASSERT_TRUE(waitForMore<session::Measurement>(4, 8000));
    s->mark_break();
    ASSERT_TRUE(waitForMore<session::Measurement>(3, 8000));
    s->stop_run();
    ASSERT_TRUE(waitForMore<session::Measurement>(1, 8000)) << "scanning again";
    ASSERT_NE(s->recorder(), nullptr);
    s->recorder()->flush();

    QList<session::Measurement> measured;
    QDateTime started;
    for (const session::Record &r : records) {
        if (const auto *run = std::get_if<session::RunStarted>(&r))
            started = run->time;
        if (const auto *m = std::get_if<session::Measurement>(&r); m && m->in_run)
            measured << *m;
    }
    TRunDatabase db;
    ASSERT_EQ(db.open(s->recorder()->file(), TRunDatabase::Access::ReadOnly), QString());
    const QList<run_database::Run> runs = db.runs();
    ASSERT_EQ(runs.size(), 1);
    const run_database::Run &run = runs[0];
    EXPECT_EQ(run.address, 0x28);
    EXPECT_EQ(run.product_code, s->transmitter().product_code);
    EXPECT_EQ(run.range_max, s->transmitter().pmax);
    EXPECT_EQ(run.calibration_date, s->transmitter().calibration_date);
    EXPECT_EQ(run.interval_ms, 10);
    EXPECT_EQ(run.started, started);
    EXPECT_TRUE(run.ended.isValid());
    std::vector<run_database::Row> rows;
    std::vector<std::int64_t> breaks;
    ASSERT_EQ(db.read(run.id, rows, breaks), QString());
    ASSERT_EQ(rows.size(), size_t(measured.size()));
    for (int i = 0; i < measured.size(); ++i) {
        EXPECT_EQ(rows[size_t(i)].pressure_raw, measured[i].pressure_raw) << i;
        EXPECT_EQ(rows[size_t(i)].temperature_raw, measured[i].temperature_raw) << i;
        EXPECT_EQ(rows[size_t(i)].t_ms, started.msecsTo(measured[i].time)) << i;
    }
    ASSERT_EQ(breaks.size(), 1u);
    EXPECT_GE(breaks[0], 4);
    EXPECT_FALSE(std::any_of(lines.begin(), lines.end(),
                             [](const QString &l) { return l.startsWith(QStringLiteral("recording failed")); }));
}

// Retention through the session: the limits and the open runs given before runs are recorded
// reach the recorder, a run's start removes what is too old by then, never an open run, and each
// removal is published.
TEST_F(Session, RetentionReachesTheRecorderAndEachRemovalIsPublished)
{
    QTemporaryDir folder;
    const QDateTime now = QDateTime::currentDateTime();
    const std::int64_t old = run_files::store(folder.path(), run_files::transmitter(now.addDays(-40)), run_files::rows(5));
    const std::int64_t open = run_files::store(folder.path(), run_files::transmitter(now.addDays(-35)), run_files::rows(5));
    ASSERT_TRUE(old > 0 && open > 0);
    s->set_open_runs({open});
    s->set_retention(30, 0);
    s->set_recording_folder(folder.path());
    ASSERT_TRUE(waitForMore<session::RunsRemoved>(1));
    EXPECT_EQ(std::get<session::RunsRemoved>(records.last()).runs, QList<std::int64_t>{old});
    EXPECT_TRUE(std::get<session::RunsRemoved>(records.last()).ok);

    const std::int64_t copied = run_files::store(folder.path(), run_files::transmitter(now.addDays(-50)), run_files::rows(5));
    s->start();
    ASSERT_TRUE(waitForMore<session::Measurement>(1, 8000));
    s->start_run(10);
    ASSERT_TRUE(waitForMore<session::RunsRemoved>(1, 8000)) << "at the run's start";
    s->stop_run();
    ASSERT_TRUE(waitForMore<session::Measurement>(1, 8000)) << "scanning again";
    const auto removed = std::find_if(records.rbegin(), records.rend(), [](const session::Record &r) {
        return std::holds_alternative<session::RunsRemoved>(r);
    });
    EXPECT_EQ(std::get<session::RunsRemoved>(*removed).runs, QList<std::int64_t>{copied});
    EXPECT_EQ(std::get<session::RunsRemoved>(*removed).text,
              QStringLiteral("Removed 1 recorded run by the retention settings: 1 older than 30 days."));
    s->recorder()->flush();
    const QList<std::int64_t> kept = run_files::ids(folder.path());
    ASSERT_EQ(kept.size(), 2);
    EXPECT_EQ(kept[0], open);
}
