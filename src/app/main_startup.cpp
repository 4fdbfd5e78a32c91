// Start-up, menu and shutdown of the main window, and the components it owns.
#include "app/main.h"

#include "services/settings/IniHandler.h"
#include "app/ThreadSynch.h"
#include "services/settings/Translator.h"
#include "app/about.h"
#include "services/utils/WorkingDirHandler.h"
#include "services/utils/ZUtils.h"
#include "app/changes_left.h"
#include "views/windows/device_memory.h"
#include "views/instruments/instrument_design.h"
#include "app/log_header.h"
#include "services/log/logFile.h"
#include "session/session.h"
#include "app/new_address_group.h"
#include "app/number_pictures.h"
#include "app/product_info.h"
#include "app/readdress_journal_flow.h"
#include "app/recorded_runs_flow.h"
#include "app/readdress_run.h"
#include "app/settings_command.h"
#include "app/status_bar.h"
#include "services/dialogs/themes.h"
#include "views/chart/chart_picture_save.h"
#include "views/monitor/monitor_view.h"
#include "views/windows/table_view.h"
#include "ui_main.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace {

constexpr const char *Caption = "QUARNE : Orvel I2C Zorbit Version : 1.3 Version allows Addr 0x00";
// A worker finishes its cycle before it ends; a full memory read against a silent bus takes ~13 s.
constexpr int ShutdownWaitMs = 15000;

} // namespace

Tmain_Form::Tmain_Form(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tmain_Form>())
{
    ui->setupUi(this);
    setFont(instrument_design::MainWindowFont());
    resize(997, 727);

    style_Timer.setInterval(1000);
    style_Timer.setSingleShot(true);
    time_Timer.setInterval(1000);

    TThreadSynch::getInstance(); // from here on the log reaches its viewer through it
    fIni = TIniHandler::getInstance();
    fIni->loadForm(this);
    f_status_bar = std::make_unique<TStatusBar>(*ui->led_Shape, *ui->status_left_label,
                                                   *ui->status_middle_label, *ui->status_right_label);
    set_status(QString(), QString(), QString());
    TTranslator::getInstance()->Set_Language(fIni->Get_Language());
    fSession = std::make_unique<TSession>();
    fSession->set_digits(fIni->Get_pressure_digits(), fIni->Get_temperature_digits());
    // Every run goes to the disk as it is measured.
    fSession->set_recording_folder(fIni->Get_dbSQLitePath());
    fSession->set_retention(fIni->Get_dbRetentionDays(), fIni->Get_dbRetentionMB());
    setWindowTitle(QString::fromLatin1(Caption));
    fWorkingDirHandler = TWorkingDirHandler::getInstance();
    fLog = TLogFile::getInstance();
    const TMode communication = TMode(fIni->Get_LogCommunicationMode());
    fLog->Set_CommunicationMode(communication);
    fLog->Set_ConverterMode(communication);
    TLogFile *log = fLog;
    fIni->setConversionErrorReporter(
        [log](const QString &, const QString &message) { log->addEvent(catCore, lError, message); });
    TTranslator::setInstanceSink([log](const QString &line) { log->addEvent(catTranslator, lDebug, line); });
    // A settings file that refuses writes is told once; the Settings command and the log viewer.
    f_settings = std::make_unique<TSettingsCommand>(*this, *ui->setting_Action, *fIni, *fLog, *fSession,
                                                    fWindows.options, fWindows.table, [this] { translateGui(); });
    log_header::write(*fLog, *fWorkingDirHandler);

    f_new_address = std::make_unique<TNewAddressGroup>(f_new_address_list, f_selected_addr, *ui->new_slaveaddr_combo,
                                                       *ui->changes_left, *ui->number, *ui->change_addr_btn,
                                                       *ui->change_address_Action);
    f_new_address->show_changes_left(changes_left::NoneShown);

    f_journal = std::make_unique<TReaddressJournalFlow>(*this, *ui->exit_Action, *fSession, *fLog);
    f_readdress_run = std::make_unique<TReaddressRun>(*fLog, *f_status_bar);
    fSession->set_confirm([this](const session::ProcedureStarted &started) { return f_readdress_run->confirm(started); });
    connect(fSession.get(), &TSession::published, this, &Tmain_Form::show_record);

    connect_actions();
    ui->monitor->setup(*fIni); // the chart, whose settings it keeps
    // The chart's picture from the File menu as from the chart's own menu.
    ui->file_menu->insertAction(&f_journal->action(), &ui->monitor->picture_save().action());
    f_runs = std::make_unique<TRecordedRunsFlow>(
        *this, f_journal->action(), *fSession, *fLog,
        [this](std::shared_ptr<TMeasurementStore> store, const run_database::Run &run) {
            show_recorded_run(std::move(store), run);
        },
        [this] { return ui->monitor->running(); });
    ui->monitor->allow_start(false);
    style_Timer.start();
}

Tmain_Form::~Tmain_Form()
{
    // The workers may still hand over what they read: the window shows it until they have ended.
    fSession->shut_down(ShutdownWaitMs);
    TTranslator::release();
    TTranslator::setInstanceSink(nullptr);
    TWorkingDirHandler::release();
    fIni->setConversionErrorReporter(nullptr);
    fIni->setWriteFailureReporter(nullptr);
    TIniHandler::release();
}

void Tmain_Form::connect_actions()
{
    Tmain_Form *window = this;
    QObject::connect(&style_Timer, &QTimer::timeout, window, [this] { style_TimerTimer(); });
    QObject::connect(&time_Timer, &QTimer::timeout, window, [this] { f_status_bar->show_clock(); });

    QObject::connect(ui->show_log_Action, &QAction::triggered, window, [this] { fLog->enableForm(); });
    QObject::connect(ui->exit_Action, &QAction::triggered, window, &QWidget::close);
    QObject::connect(ui->detect_dongle_Action, &QAction::triggered, window, [this] { fSession->detect_dongle(); });
    QObject::connect(ui->ScanDeviceAction, &QAction::triggered, window, [this] { ScanDeviceActionExecute(); });
    QObject::connect(ui->read_memory_image_Action, &QAction::triggered, window, [this] { read_memory_image(true); });
    QObject::connect(ui->show_memory_map_Action, &QAction::triggered, window, [this] { show_memory_map(); });
    QObject::connect(ui->aboutAction, &QAction::triggered, window, [this] {
        if (fWindows.about)
            fWindows.about->exec();
    });
    QObject::connect(ui->change_address_Action, &QAction::triggered, window,
                     &Tmain_Form::change_address_ActionExecute);
    ui->change_addr_btn->setDefaultAction(ui->change_address_Action);

    QObject::connect(ui->new_slaveaddr_combo, qOverload<int>(&QComboBox::activated), window,
                     &Tmain_Form::new_slaveaddr_comboSelect);
    // The scan looks for the picked transmitter first.
    QObject::connect(ui->slaveaddr_combo, qOverload<int>(&QComboBox::activated), window, [this](int index) {
        bool ok = false;
        const int address = ui->slaveaddr_combo->itemText(index).mid(2).toInt(&ok, 16);
        if (ok)
            fSession->pick(address);
    });
    TMonitorView *monitor = ui->monitor;
    QObject::connect(monitor, &TMonitorView::start_clicked, window, &Tmain_Form::start_btnClick);
    QObject::connect(monitor, &TMonitorView::stop_clicked, window, &Tmain_Form::stop_btnClick);
    QObject::connect(monitor, &TMonitorView::table_clicked, window, &Tmain_Form::table_btnClick);
    QObject::connect(monitor, &TMonitorView::cleared, window, [this] { chart_cleared(); });
    QObject::connect(monitor, &TMonitorView::delay_changed, window,
                     [this](int ms) { fSession->set_delay(uint32_t(ms)); });
}

void Tmain_Form::attach_windows(const Windows &windows)
{
    fWindows = windows;
    if (fWindows.table)
        fWindows.table->share_store(ui->monitor->store());
}

void Tmain_Form::set_status(const QString &left, const QString &middle, const QString &right)
{
    set_status_left(left);
    set_status_middle(middle);
    set_status_right(right);
}

void Tmain_Form::set_status_left(const QString &text)
{
    f_status_bar->set_left(text);
}

void Tmain_Form::set_status_middle(const QString &text)
{
    f_status_bar->set_middle(text);
}

void Tmain_Form::set_status_right(const QString &text)
{
    f_status_bar->set_right(text);
}

void Tmain_Form::set_led(int index)
{
    f_status_bar->set_led(index);
}

void Tmain_Form::style_TimerTimer()
{
    style_Timer.stop();
    const int style = fIni->Get_style();
    const QStringList names = themes::names();
    if (style >= 0 && style < names.size())
        themes::apply(names[style]);
    time_Timer.start();
    set_led(0);
    ui->monitor->init_series();
    fSession->start();
    // Not inside the timer: the message waits for the user while the scan goes on.
    QTimer::singleShot(0, this, [this] { f_journal->announce_interrupted(); });
}

void Tmain_Form::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!fTranslated) {
        fTranslated = true;
        translateGui();
    }
}

void Tmain_Form::closeEvent(QCloseEvent *event)
{
    // The procedure is writing the transmitter; it ends on its own within seconds, and the window
    // closes then.
    if (fSession->readdressing()) {
        f_close_after_procedure = true;
        event->ignore();
        return;
    }
    fSession->close();
    try {
        fIni->saveForm(this);
        ui->monitor->save_chart_settings(); // the chart: sections "Chart" and "viewer"
        fIni->Set_LogCommunicationMode(fLog->Get_CommunicationMode());
    } catch (const EInOutError &e) {
        fLog->addEvent(catCore, lError, QString::fromLocal8Bit(e.what()));
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
