// Start-up, menu and shutdown of the main window, and the parts it owns.
#include "app/main.h"

#include "services/settings/IniHandler.h"
#include "app/ThreadSynch.h"
#include "services/settings/Translator.h"
#include "app/about.h"
#include "services/utils/WorkingDirHandler.h"
#include "services/utils/ZUtils.h"
#include "app/adapter_handover.h"
#include "app/changes_left.h"
#include "views/windows/device_memory.h"
#include "views/instruments/instrument_design.h"
#include "app/log_header.h"
#include "services/log/logFile.h"
#include "app/main_parts.h"
#include "views/chart/monitor_chart.h"
#include "app/new_address_group.h"
#include "app/number_pictures.h"
#include "app/product_info.h"
#include "app/readdress_journal_flow.h"
#include "app/readdress_run.h"
#include "app/settings_command.h"
#include "app/status_bar.h"
#include "services/dialogs/themes.h"
#include "ui_main.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace {

constexpr const char *Caption = "QUARNE : Orvel I2C Zorbit Version : 1.3 Version allows Addr 0x00";
// A worker finishes its cycle before it ends; a full memory read against a silent bus takes ~13 s.
constexpr int ShutdownWaitMs = 15000;

} // namespace

Tmain_Form::Tmain_Form(QWidget *parent)
    : QMainWindow(parent), ui(std::make_unique<Ui::Tmain_Form>()), fParts(std::make_unique<Parts>(*this))
{
    ui->setupUi(this);
    setFont(instrument_design::MainWindowFont());
    resize(997, 727);
    fParts->design_instruments();

    style_Timer.setInterval(1000);
    style_Timer.setSingleShot(true);
    time_Timer.setInterval(1000);
    for (QTimer *t : {&scan_start_Timer, &meas_start_Timer, &re_address_Timer})
        t->setInterval(200);

    TThreadSynch::getInstance(); // from here on the log reaches its viewer through it
    fIni = TIniHandler::getInstance();
    fIni->loadForm(this);
    fParts->f_status_bar = std::make_unique<TStatusBar>(*ui->led_Shape, *ui->status_left_label,
                                                   *ui->status_middle_label, *ui->status_right_label);
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
    TTranslator::setInstanceSink([log](const QString &line) { log->addEvent(catTranslator, lDebug, line); });
    // A settings file that refuses writes is told once; the Settings command and the log viewer.
    fParts->f_settings =
        std::make_unique<TSettingsCommand>(*this, *ui->setting_Action, *fIni, *fLog, *fOrvel_Handler,
                                           fParts->fWindows.options, fParts->fWindows.table, [this] { translateGui(); });
    log_header::write(*fLog, *fWorkingDirHandler);

    f_blink = false;
    f_new_address_list.clear();
    f_selected_addr.clear();
    fParts->f_new_address = std::make_unique<TNewAddressGroup>(*fOrvel_Handler, f_new_address_list, f_selected_addr,
                                                          *ui->new_slaveaddr_combo, *ui->changes_left, *ui->number,
                                                          *ui->change_addr_btn, *ui->change_address_Action);
    fParts->f_new_address->show_changes_left(changes_left::NoneShown);
    ui->stop_btn->hide();

    fParts->f_handover = std::make_unique<TAdapterHandover>(scan_start_Timer, meas_start_Timer, re_address_Timer,
                                                       [this] { return fParts->worker_exists(); });
    fParts->f_journal = std::make_unique<TReaddressJournalFlow>(
        *this, *ui->exit_Action, *fOrvel_Handler, *fLog,
        [this] { return fParts->f_handover->readdressing() || re_address_Timer.isActive(); },
        [this] { change_address_ActionExecute(); });
    fParts->f_readdress_run = std::make_unique<TReaddressRun>(
        *fOrvel_Handler, *fLog, *fParts->f_status_bar, *fParts->f_handover, *fParts->f_journal,
        TReaddressRun::Hooks{[this] { update_status_Gui(); },
                             [this] { fParts->show_memory_map(); },
                             [this](bool succeeded) {
                                 emit readdressed(succeeded);
                                 // However it ended, scan again at once so the panel shows where
                                 // the transmitter is now.
                                 f_scan_allowed = true;
                                 fParts->f_handover->arm(scan_start_Timer);
                             }});

    fParts->connect_actions();
    fParts->setup_chart(); // the chart, its settings panel and the monitor's chart controls
    style_Timer.start();
}

Tmain_Form::~Tmain_Form()
{
    // The workers may be inside a synchronised call: keep serving them until they have ended,
    // so the handler is released only when nobody uses it any more.
    const bool ended = fParts->f_handover->close_and_wait(
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
    TTranslator::setInstanceSink(nullptr);
    TWorkingDirHandler::release();
    fIni->setConversionErrorReporter(nullptr);
    fIni->setWriteFailureReporter(nullptr);
    TIniHandler::release();
}

Tmain_Form::Parts::Parts(Tmain_Form &window) : w(window) {}

Tmain_Form::Parts::~Parts() = default;

void Tmain_Form::Parts::design_instruments()
{
    instrument_design::DesignBar(*w.ui->pressure_bar, instrument_design::Bar::Pressure);
    instrument_design::DesignBar(*w.ui->thermometer, instrument_design::Bar::Thermometer);
    instrument_design::DesignGauge(*w.ui->AnalogDisplay);
}

void Tmain_Form::Parts::connect_actions()
{
    Ui::Tmain_Form *ui = w.ui.get();
    Tmain_Form *window = &w;
    QObject::connect(&w.style_Timer, &QTimer::timeout, window, [this] { style_TimerTimer(); });
    QObject::connect(&w.time_Timer, &QTimer::timeout, window, [this] { f_status_bar->show_clock(); });
    QObject::connect(&w.scan_start_Timer, &QTimer::timeout, window, [this] { scan_start_TimerTimer(); });
    QObject::connect(&w.meas_start_Timer, &QTimer::timeout, window, [this] { meas_start_TimerTimer(); });
    QObject::connect(&w.re_address_Timer, &QTimer::timeout, window, &Tmain_Form::re_address_TimerTimer);

    QObject::connect(ui->show_log_Action, &QAction::triggered, window, [this] { w.fLog->enableForm(); });
    QObject::connect(ui->exit_Action, &QAction::triggered, window, &QWidget::close);
    QObject::connect(ui->detect_dongle_Action, &QAction::triggered, window,
                     [this] { f_handover->arm(w.scan_start_Timer); });
    QObject::connect(ui->ScanDeviceAction, &QAction::triggered, window, [this] { ScanDeviceActionExecute(); });
    QObject::connect(ui->read_memory_image_Action, &QAction::triggered, window, [this] { w.read_memory_image(true); });
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
        const int address = w.ui->slaveaddr_combo->itemText(index).mid(2).toInt(&ok, 16);
        if (ok)
            w.fOrvel_Handler->Set_preferred_addr(address);
    });
    QObject::connect(ui->start_btn, &QPushButton::clicked, window, &Tmain_Form::start_btnClick);
    QObject::connect(ui->stop_btn, &QPushButton::clicked, window, &Tmain_Form::stop_btnClick);
    QObject::connect(ui->table_btn, &QPushButton::clicked, window, &Tmain_Form::table_btnClick);
    QObject::connect(ui->switch_button, &QToolButton::clicked, window, &Tmain_Form::switch_buttonClick);
    QObject::connect(ui->TrackBar1, &QSlider::valueChanged, window, &Tmain_Form::TrackBar1Change);
    w.TrackBar1Change(ui->TrackBar1->value());
}

void Tmain_Form::set_status(const QString &left, const QString &middle, const QString &right)
{
    set_status_left(left);
    set_status_middle(middle);
    set_status_right(right);
}

void Tmain_Form::set_status_left(const QString &text)
{
    fParts->f_status_bar->set_left(text);
}

void Tmain_Form::set_status_middle(const QString &text)
{
    fParts->f_status_bar->set_middle(text);
}

void Tmain_Form::set_status_right(const QString &text)
{
    fParts->f_status_bar->set_right(text);
}

void Tmain_Form::set_led(int index)
{
    fParts->f_status_bar->set_led(index);
}

bool Tmain_Form::Parts::readdressing() const
{
    return f_handover->readdressing();
}

void Tmain_Form::Parts::style_TimerTimer()
{
    w.style_Timer.stop();
    const int style = w.fIni->Get_style();
    const QStringList names = themes::names();
    if (style >= 0 && style < names.size())
        themes::apply(names[style]);
    w.time_Timer.start();
    w.init_series();
    // The user may already have asked for the adapter (Start, Change Device Address): nobody has
    // used it yet, so that request goes first.
    if (w.meas_start_Timer.isActive())
        w.f_meas_allowed = true;
    if (!f_handover->claimed())
        w.fScan = TScanThread::Create(&w, &w, &w.fOrvel_Handler, 500);
}

void Tmain_Form::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!fParts->fTranslated) {
        fParts->fTranslated = true;
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
    if (fParts->f_handover->readdressing()) {
        event->ignore();
        return;
    }
    fParts->f_handover->close();
    try {
        fIni->saveForm(this);
        fParts->fChart->save_chart_settings(); // the chart: sections "Chart" and "viewer"
        fIni->Set_LogCommunicationMode(fLog->Get_CommunicationMode());
    } catch (const EInOutError &e) {
        fLog->addEvent(catCore, lError, QString::fromLocal8Bit(e.what()));
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
