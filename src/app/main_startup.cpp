// Start-up, menu and shutdown of the main window, and the parts it owns.
#include "main.h"

#include "IniHandler.h"
#include "ThreadSynch.h"
#include "Translator.h"
#include "about.h"
#include "WorkingDirHandler.h"
#include "ZUtils.h"
#include "adapter_handover.h"
#include "changes_left.h"
#include "device_memory.h"
#include "instrument_design.h"
#include "log_header.h"
#include "logFile.h"
#include "monitor_chart.h"
#include "new_address_group.h"
#include "number_pictures.h"
#include "productInfo.h"
#include "readdress_journal_flow.h"
#include "readdress_run.h"
#include "settings_command.h"
#include "status_bar.h"
#include "themes.h"
#include "ui_main.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace {

constexpr const char *Caption = "QUARNE : Orvel I2C Zorbit Version : 1.3 Version allows Addr 0x00";
// A worker finishes its cycle before it ends; a full memory read against a silent bus takes ~13 s.
constexpr int ShutdownWaitMs = 15000;

} // namespace

Tmain_Form::Tmain_Form(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::Tmain_Form>())
{
    ui->setupUi(this);
    setFont(instruments::MainWindowFont());
    resize(997, 727);
    design_instruments();

    style_Timer.setInterval(1000);
    style_Timer.setSingleShot(true);
    time_Timer.setInterval(1000);
    for (QTimer *t : {&scan_start_Timer, &meas_start_Timer, &re_address_Timer})
        t->setInterval(200);

    TThreadSynch::getInstance(); // from here on the log reaches its viewer through it
    fIni = TIniHandler::getInstance();
    fIni->loadForm(this);
    f_status_bar = std::make_unique<TStatusBar>(*ui->led_Shape, *ui->status_left_label, *ui->status_middle_label,
                                                *ui->status_right_label);
    set_status(QString(), QString(), QString());
    fTranslator = TTranslator::getInstance();
    fTranslator->Set_Language(fIni->Get_Language());
    fOrvel_Handler = T_Orvel_Handler::get_Instance();
    fOrvel_Handler->set_pressure_digits(fIni->Get_pressure_digits());
    fOrvel_Handler->set_temperature_digits(fIni->Get_temperature_digits());
    setWindowTitle(QString::fromLatin1(Caption));
    app_path = QCoreApplication::applicationDirPath();
    fWorkingDirHandler = TWorkingDirHandler::getInstance();
    fLog = TLogFile::getInstance();
    const TMode communication = TMode(fIni->Get_LogCommunicationMode());
    fLog->Set_CommunicationMode(communication);
    fLog->Set_ConverterMode(communication);
    TLogFile *log = fLog;
    fIni->setConversionErrorReporter(
        [log](const QString &, const QString &message) { log->addEvent(catCore, lError, message); });
    // A settings file that refuses writes is told once; the Settings command and the log viewer.
    f_settings = std::make_unique<TSettingsCommand>(*this, *ui->setting_Action, *fIni, *fLog, *fOrvel_Handler,
                                                    fWindows.options, fWindows.table, [this] { translateGui(); });
    log_header::write(*fLog, *fWorkingDirHandler);

    f_blink = false;
    f_new_address_list.clear();
    f_selected_addr.clear();
    f_new_address = std::make_unique<TNewAddressGroup>(*fOrvel_Handler, f_new_address_list, f_selected_addr,
                                                       *ui->new_slaveaddr_combo, *ui->changes_left, *ui->number,
                                                       *ui->change_addr_btn, *ui->change_address_Action);
    f_new_address->show_changes_left(changes_left::NoneShown);
    ui->stop_btn->hide();

    f_handover = std::make_unique<TAdapterHandover>(scan_start_Timer, meas_start_Timer, re_address_Timer,
                                                    [this] { return worker_exists(); });
    f_journal = std::make_unique<TReaddressJournalFlow>(
        *this, *ui->exit_Action, *fOrvel_Handler, *fLog,
        [this] { return f_handover->readdressing() || re_address_Timer.isActive(); },
        [this] { change_address_ActionExecute(); });
    f_readdress_run = std::make_unique<TReaddressRun>(
        *fOrvel_Handler, *fLog, *f_status_bar, *f_handover, *f_journal,
        TReaddressRun::Hooks{[this] { update_status_Gui(); },
                             [this] {
                                 memory_map_display();
                                 if (fWindows.memory) {
                                     fWindows.memory->show();
                                     fWindows.memory->raise();
                                 }
                             },
                             [this](bool succeeded) {
                                 emit readdressed(succeeded);
                                 // However it ended, scan again at once so the panel shows where
                                 // the transmitter is now.
                                 f_scan_allowed = true;
                                 f_handover->arm(scan_start_Timer);
                             }});

    connect_actions();
    setup_chart(); // the chart, its settings panel and the monitor's chart controls
    style_Timer.start();
}

Tmain_Form::~Tmain_Form()
{
    // The workers may be inside a synchronised call: keep serving them until they have ended,
    // so the handler is released only when nobody uses it any more.
    const bool ended = f_handover->close_and_wait(
        [this] {
            // A worker inside a cycle over a silent bus would otherwise wait out every timeout.
            fOrvel_Handler->cancel();
            // Also a worker that has not started its run yet.
            if (fMeas)
                fMeas->Stop();
            if (fScan)
                fScan->Stop();
        },
        ShutdownWaitMs);
    if (ended) {
        fOrvel_Handler->unload();
        T_Orvel_Handler::release_Instance();
    } else {
        // A worker stuck in a transaction still holds the handler; the process ends anyway.
        fLog->addEvent(catCore, lError, QStringLiteral("A worker did not end; the adapter was left open"));
    }
    TTranslator::release();
    TWorkingDirHandler::release();
    fIni->setConversionErrorReporter(nullptr);
    fIni->setWriteFailureReporter(nullptr);
    TIniHandler::release();
}

void Tmain_Form::design_instruments()
{
    instruments::DesignBar(*ui->pressure_bar, instruments::Bar::Pressure);
    instruments::DesignBar(*ui->thermometer, instruments::Bar::Thermometer);
    instruments::DesignGauge(*ui->AnalogDisplay);
}

void Tmain_Form::connect_actions()
{
    connect(&style_Timer, &QTimer::timeout, this, &Tmain_Form::style_TimerTimer);
    connect(&time_Timer, &QTimer::timeout, this, [this] { f_status_bar->show_clock(); });
    connect(&scan_start_Timer, &QTimer::timeout, this, &Tmain_Form::scan_start_TimerTimer);
    connect(&meas_start_Timer, &QTimer::timeout, this, &Tmain_Form::meas_start_TimerTimer);
    connect(&re_address_Timer, &QTimer::timeout, this, &Tmain_Form::re_address_TimerTimer);

    connect(ui->show_log_Action, &QAction::triggered, this, [this] { fLog->enableForm(); });
    connect(ui->exit_Action, &QAction::triggered, this, &QWidget::close);
    connect(ui->detect_dongle_Action, &QAction::triggered, this, [this] { f_handover->arm(scan_start_Timer); });
    connect(ui->ScanDeviceAction, &QAction::triggered, this, &Tmain_Form::ScanDeviceActionExecute);
    connect(ui->read_memory_image_Action, &QAction::triggered, this, [this] { read_memory_image(true); });
    connect(ui->show_memory_map_Action, &QAction::triggered, this, [this] {
        memory_map_display();
        if (fWindows.memory) {
            fWindows.memory->show();
            fWindows.memory->raise();
        }
    });
    connect(ui->aboutAction, &QAction::triggered, this, [this] {
        if (fWindows.about)
            fWindows.about->exec();
    });
    connect(ui->change_address_Action, &QAction::triggered, this, &Tmain_Form::change_address_ActionExecute);
    ui->change_addr_btn->setDefaultAction(ui->change_address_Action);

    connect(ui->new_slaveaddr_combo, qOverload<int>(&QComboBox::activated), this,
            &Tmain_Form::new_slaveaddr_comboSelect);
    // The scan looks for the picked transmitter first.
    connect(ui->slaveaddr_combo, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        bool ok = false;
        const int address = ui->slaveaddr_combo->itemText(index).mid(2).toInt(&ok, 16);
        if (ok)
            fOrvel_Handler->Set_preferred_addr(address);
    });
    connect(ui->start_btn, &QPushButton::clicked, this, &Tmain_Form::start_btnClick);
    connect(ui->stop_btn, &QPushButton::clicked, this, &Tmain_Form::stop_btnClick);
    connect(ui->table_btn, &QPushButton::clicked, this, &Tmain_Form::table_btnClick);
    connect(ui->switch_button, &QToolButton::clicked, this, &Tmain_Form::switch_buttonClick);
    connect(ui->TrackBar1, &QSlider::valueChanged, this, &Tmain_Form::TrackBar1Change);
    TrackBar1Change(ui->TrackBar1->value());
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

bool Tmain_Form::readdressing() const
{
    return f_handover->readdressing();
}

void Tmain_Form::style_TimerTimer()
{
    style_Timer.stop();
    const int style = fIni->Get_style();
    const QStringList names = themes::names();
    if (style >= 0 && style < names.size())
        themes::apply(names[style]);
    time_Timer.start();
    init_series();
    // The user may already have asked for the adapter (Start, Change Device Address): nobody has
    // used it yet, so that request goes first.
    if (meas_start_Timer.isActive())
        f_meas_allowed = true;
    if (!f_handover->claimed())
        fScan = TScanThread::Create(this, this, &fOrvel_Handler, 500);
}

void Tmain_Form::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!fTranslated) {
        fTranslated = true;
        translateGui();
    }
}

bool Tmain_Form::event(QEvent *event)
{
    if (event->type() == TWindowMessage::EventType) {
        const auto *message = static_cast<TWindowMessage *>(event);
        if (message->msg == TWindowMessage::WM_COMM_ERROR)
            on_comm_error(message->wParam, message->lParam);
        return true;
    }
    return QMainWindow::event(event);
}

void Tmain_Form::closeEvent(QCloseEvent *event)
{
    // The procedure is writing the transmitter; it ends on its own within seconds.
    if (f_handover->readdressing()) {
        event->ignore();
        return;
    }
    f_handover->close();
    try {
        fIni->saveForm(this);
        fChart->save_chart_settings(); // the chart: sections "Chart" and "viewer"
        fIni->Set_LogCommunicationMode(fLog->Get_CommunicationMode());
    } catch (const EInOutError &e) {
        fLog->addEvent(catCore, lError, QString::fromLocal8Bit(e.what()));
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
