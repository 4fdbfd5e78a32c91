// Recorded runs in the main window: a window killed in the middle of a run keeps every
// measurement but the last second, and after a restart File → "Recorded runs…" lists the run and
// opens it into the chart and the table; a run started afterwards replaces it, the list refuses
// to open a run while one is measured and asks before it deletes one. Retention spares the run
// the chart shows.
#include "main_window_fixture.h"
#include "program_process.h"
#include "run_files.h"

#include "app/recorded_runs_flow.h"
#include "services/recording/run_database.h"
#include "services/settings/IniHandler.h"
#include "session/recorded_run.h"
#include "session/run_recorder.h"
#include "views/chart/chart.h"
#include "views/chart/measurement_store.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/recorded_runs_form.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QSettings>
#include <QSlider>
#include <QTreeWidget>
#include <csignal>

namespace {

constexpr int ResultYes = 6;
constexpr int ResultNo = 7;

struct Printed {
    qint64 msecs = 0;
    unsigned pressure_raw = 0;
    unsigned temperature_raw = 0;
};

// What the killed window recorded, kept for the restart.
struct Killed {
    QTemporaryDir home;
    QDateTime at;
    QList<Printed> printed;
    QString folder() const { return home.filePath(QStringLiteral("data/Orvel_IIC_Zorbit/SQLite")); }
    QString file() const { return folder() + u'/' + QString::fromLatin1(run_database::FileName); }
};

Killed &killed()
{
    static Killed k;
    return k;
}

// Runs the window as a process until several seconds of its run are measured, then kills it.
void run_and_kill(Killed &k)
{
    QProcess window;
    const QString why = program_process::start(
        window, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("window_run_process")), k.home,
        "[transmitter.t]\naddress = 0x28\n");
    ASSERT_TRUE(why.isEmpty()) << why.toStdString();
    QByteArray output;
    QElapsedTimer measuring;
    QElapsedTimer waited;
    waited.start();
    while (window.state() == QProcess::Running && (!measuring.isValid() || measuring.elapsed() < 4000) &&
           waited.elapsed() < 60000) {
        window.waitForReadyRead(100);
        output += window.readAllStandardOutput();
        if (!measuring.isValid() && output.count('\n') >= 2)
            measuring.start();
    }
    ASSERT_TRUE(measuring.isValid()) << "no run was measured: " << window.readAllStandardError().toStdString();
    ASSERT_EQ(window.state(), QProcess::Running) << window.readAllStandardError().toStdString();
    k.at = QDateTime::currentDateTime();
    ::kill(pid_t(window.processId()), SIGKILL);
    ASSERT_TRUE(window.waitForFinished(10000));
    output += window.readAllStandardOutput();
    for (const QByteArray &line : output.split('\n')) {
        const QList<QByteArray> f = line.split('\t');
        if (f.size() == 3)
            k.printed << Printed{f[0].toLongLong(), f[1].toUInt(), f[2].toUInt()};
    }
}

class RecordedRuns : public MainWindowTest
{
protected:
    QAction *runsAction() const { return form->findChild<QAction *>(QStringLiteral("recorded_runs_Action")); }
    Trecorded_runs_form *runsForm() const { return form->findChild<Trecorded_runs_form *>(); }
    TMonitorView *monitor() const { return form->findChild<TMonitorView *>(); }
    // Opens the list and the run at `index`; true once the chart shows it.
    bool openRun(int index)
    {
        runsAction()->trigger();
        Trecorded_runs_form *list = runsForm();
        if (!list || list->runs().size() <= index)
            return false;
        list->select(index);
        list->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
        return waitFor([this] { return monitor()->showing_run(); }, 20000);
    }
    void startRun()
    {
        ASSERT_TRUE(waitFor([this] { return child<QPushButton>("start_btn")->isEnabled(); }));
        child<QSlider>("TrackBar1")->setValue(10);
        child<QPushButton>("start_btn")->click();
    }
    void stopRun()
    {
        child<QPushButton>("stop_btn")->click();
        ASSERT_TRUE(waitFor([this] { return !child<QPushButton>("start_btn")->isHidden(); }));
    }
};

class KilledWindow : public RecordedRuns
{
protected:
    void before_window() override
    {
        ASSERT_NO_FATAL_FAILURE(run_and_kill(killed()));
        // The restarted window records into, and reads from, the folder the killed one used.
        QSettings settings(settingsFile(), QSettings::IniFormat);
        settings.setValue(QStringLiteral("dbconfig/sqlitePath"), killed().folder());
        settings.sync();
    }
};

} // namespace

TEST_F(KilledWindow, KeepsEveryMeasurementButTheLastSecondAndOpensTheRunAfterARestart)
{
    const Killed &k = killed();
    ASSERT_GT(k.printed.size(), 50);
    qsizetype before_last_second = 0;
    while (before_last_second < k.printed.size() && k.printed[before_last_second].msecs < k.at.toMSecsSinceEpoch() - 1000)
        ++before_last_second;

    std::vector<run_database::Row> rows;
    run_database::Run run;
    {
        TRunDatabase db;
        ASSERT_EQ(db.open(k.file(), TRunDatabase::Access::ReadOnly), QString());
        EXPECT_EQ(db.integrity_check(), QStringLiteral("ok"));
        const QList<run_database::Run> runs = db.runs();
        ASSERT_EQ(runs.size(), 1);
        run = runs[0];
        EXPECT_FALSE(run.ended.isValid()) << "killed: no end";
        EXPECT_EQ(run.address, 0x28);
        std::vector<std::int64_t> breaks;
        ASSERT_EQ(db.read(run.id, rows, breaks), QString());
    }
    EXPECT_GE(qsizetype(rows.size()), before_last_second) << "at most the last second is lost";
    ASSERT_LE(qsizetype(rows.size()), k.printed.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].n, std::int64_t(i));
        ASSERT_EQ(run.started.toMSecsSinceEpoch() + rows[i].t_ms, k.printed[qsizetype(i)].msecs) << i;
        ASSERT_EQ(rows[i].pressure_raw, k.printed[qsizetype(i)].pressure_raw) << i;
        ASSERT_EQ(rows[i].temperature_raw, k.printed[qsizetype(i)].temperature_raw) << i;
    }

    // The restarted window lists the run, cut off, and opens it.
    ASSERT_TRUE(waitForScan());
    ASSERT_NE(runsAction(), nullptr);
    runsAction()->trigger();
    Trecorded_runs_form *list = runsForm();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->runs().size(), 1);
    auto *lines = list->findChild<QTreeWidget *>(QStringLiteral("runs_list"));
    EXPECT_TRUE(lines->topLevelItem(0)->text(2).contains(QStringLiteral("cut off"))) << lines->topLevelItem(0)->text(2).toStdString();
    EXPECT_EQ(lines->topLevelItem(0)->text(3), QString::number(rows.size()));
    ASSERT_TRUE(openRun(0));
    EXPECT_FALSE(list->isVisible()) << "the list makes way for the chart";

    const TMeasurementStore &store = *monitor()->store();
    ASSERT_EQ(store.size(), rows.size());
    for (size_t i = 0; i < rows.size(); i += 37) {
        const session::Measurement m = recorded_run::measurement(run, rows[i], 3, 2);
        EXPECT_EQ(store.pressure(i), m.pressure) << i;
        EXPECT_EQ(store.temperature(i), m.temperature) << i;
        EXPECT_EQ(store.msecs(i), m.time.toMSecsSinceEpoch()) << i;
    }
    auto *chart = form->findChild<TChart *>(QStringLiteral("Chart"));
    EXPECT_EQ(chart->point_count(TChart::PressureSeries), int(rows.size()));
    EXPECT_TRUE(child<QGroupBox>("monitor_Group")->title().contains(QStringLiteral("0x28")));
    // The table shows the same rows under the run's transmitter.
    table->update_view();
    EXPECT_EQ(table->row_count(), int(rows.size()) + 1);
    EXPECT_EQ(table->Get_slave_addr(), QStringLiteral("0x28"));
    EXPECT_EQ(table->cell_text(1, 3), QString::number(rows[0].pressure_raw));
    EXPECT_EQ(table->cell_text(1, 4), recorded_run::measurement(run, rows[0], 3, 2).pressure_text);
}

TEST_F(RecordedRuns, AStartReplacesTheShownRunAndADeleteAsksFirst)
{
    ASSERT_TRUE(waitForScan());
    ASSERT_NO_FATAL_FAILURE(startRun());
    ASSERT_TRUE(waitFor([this] { return monitor()->store()->size() > 20; }));
    // While a run is measured, no recorded run takes the chart, and the running one cannot go.
    Trecorded_runs_form *list = nullptr;
    // Listed once the recorder has stored the run.
    ASSERT_TRUE(waitFor([&] {
        runsAction()->trigger();
        list = runsForm();
        const std::int64_t running = form->session().recorder()->run_id();
        return running >= 0 && !list->runs().isEmpty() && list->runs().first().id == running;
    }));
    list->select(0);
    EXPECT_FALSE(list->findChild<QPushButton *>(QStringLiteral("delete_btn"))->isEnabled());
    QString refusal;
    answerNextDialog(ResultNo, &refusal);
    list->findChild<QPushButton *>(QStringLiteral("open_btn"))->click();
    EXPECT_TRUE(refusal.contains(QStringLiteral("Stop"))) << refusal.toStdString();
    EXPECT_FALSE(monitor()->showing_run());
    ASSERT_NO_FATAL_FAILURE(stopRun());
    list->close();

    const int before = [&] {
        runsAction()->trigger();
        return int(list->runs().size());
    }();
    ASSERT_TRUE(openRun(0));
    const std::size_t shown = monitor()->store()->size();
    EXPECT_GT(shown, 20u);
    // A new run starts on a chart of its own: none of the recorded rows stay.
    ASSERT_NO_FATAL_FAILURE(startRun());
    EXPECT_TRUE(waitFor([this] { return !monitor()->showing_run(); }));
    EXPECT_EQ(child<QGroupBox>("monitor_Group")->title(), QStringLiteral("Monitor"));
    ASSERT_TRUE(waitFor([this] { return monitor()->store()->size() > 5; }));
    EXPECT_LT(monitor()->store()->size(), shown + 5);
    EXPECT_GE(monitor()->store()->msecs(0), QDateTime::currentDateTime().addSecs(-60).toMSecsSinceEpoch());
    ASSERT_NO_FATAL_FAILURE(stopRun());

    // Deleting asks; No keeps the run, Yes removes it.
    runsAction()->trigger();
    ASSERT_EQ(list->runs().size(), before + 1);
    const std::int64_t newest = list->runs().first().id;
    list->select(0);
    QString question;
    answerNextDialog(ResultNo, &question);
    list->findChild<QPushButton *>(QStringLiteral("delete_btn"))->click();
    EXPECT_TRUE(question.contains(QStringLiteral("cannot be brought back"))) << question.toStdString();
    EXPECT_EQ(list->runs().size(), before + 1);
    answerNextDialog(ResultYes);
    list->findChild<QPushButton *>(QStringLiteral("delete_btn"))->click();
    ASSERT_EQ(list->runs().size(), before);
    for (const run_database::Run &r : list->runs())
        EXPECT_NE(r.id, newest);
}

TEST_F(RecordedRuns, RetentionSparesTheOpenedRunUntilTheChartPutsItAway)
{
    ASSERT_TRUE(waitForScan());
    const QString folder = TIniHandler::getInstance()->Get_dbSQLitePath();
    const std::int64_t old =
        run_files::store(folder, run_files::transmitter(QDateTime::currentDateTime().addDays(-40)), run_files::rows(30));
    ASSERT_GT(old, 0);
    runsAction()->trigger();
    const QList<run_database::Run> listed = runsForm()->runs();
    const auto at = std::find_if(listed.begin(), listed.end(), [old](const run_database::Run &r) { return r.id == old; });
    ASSERT_NE(at, listed.end());
    ASSERT_TRUE(openRun(int(at - listed.begin())));

    TSession &session = form->session();
    session.set_retention(30, 0);
    session.recorder()->flush();
    EXPECT_TRUE(run_files::ids(folder).contains(old)) << "shown in the chart";
    child<QPushButton>("clear_btn")->click();
    EXPECT_FALSE(monitor()->showing_run());
    session.set_retention(30, 0);
    session.recorder()->flush();
    EXPECT_FALSE(run_files::ids(folder).contains(old)) << "put away";
    session.set_retention(0, 0);
}
