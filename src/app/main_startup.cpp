// Start-up, status bar, clock, menu and shutdown of the main window.
#include "main.h"

#include "IniHandler.h"
#include "ThreadSynch.h"
#include "Translator.h"
#include "about.h"
#include "WorkingDirHandler.h"
#include "ZUtils.h"
#include "instrument_design.h"
#include "locale_texts.h"
#include "logFile.h"
#include "number_pictures.h"
#include "productInfo.h"
#include "themes.h"
#include "ui_main.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>
#include <QThread>

namespace {

constexpr const char *Caption = "QUARNE : Orvel I2C Zorbit Version : 1.3 Version allows Addr 0x00";
const QString NoChanges = QStringLiteral("************");
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
    hook_settings_failures();
    write_log_header();

    f_chart_cleared = true;
    f_blink = false;
    f_new_address_list.clear();
    f_selected_addr.clear();
    ui->changes_left->setText(NoChanges);
    ui->change_addr_btn->setEnabled(false);
    ui->number->setPixmap(QPixmap::fromImage(number_pictures::picture(number_pictures::Unknown)));
    ui->stop_btn->hide();

    connect_actions();
    setup_chart(); // the chart, its settings panel and the monitor's chart controls
    hook_settings_and_log_viewer(); // Settings command and log viewer (main_settings.cpp)
    hook_journal(); // File menu entry of the re-addressing journal (main_journal.cpp)
    style_Timer.start();
}

Tmain_Form::~Tmain_Form()
{
    if (stop_workers_and_wait()) {
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
    ui->p_Shape->Set_brush_color(p_color);
    ui->T_Shape->Set_brush_color(t_color);
}

void Tmain_Form::connect_actions()
{
    connect(&style_Timer, &QTimer::timeout, this, &Tmain_Form::style_TimerTimer);
    connect(&time_Timer, &QTimer::timeout, this, &Tmain_Form::time_TimerTimer);
    connect(&scan_start_Timer, &QTimer::timeout, this, &Tmain_Form::scan_start_TimerTimer);
    connect(&meas_start_Timer, &QTimer::timeout, this, &Tmain_Form::meas_start_TimerTimer);
    connect(&re_address_Timer, &QTimer::timeout, this, &Tmain_Form::re_address_TimerTimer);

    connect(ui->show_log_Action, &QAction::triggered, this, [this] { fLog->enableForm(); });
    connect(ui->exit_Action, &QAction::triggered, this, &QWidget::close);
    connect(ui->detect_dongle_Action, &QAction::triggered, this, [this] { arm_start_timer(scan_start_Timer); });
    connect(ui->ScanDeviceAction, &QAction::triggered, this, &Tmain_Form::ScanDeviceActionExecute);
    connect(ui->read_memory_image_Action, &QAction::triggered, this, [this] { read_memory_image(true); });
    connect(ui->show_memory_map_Action, &QAction::triggered, this, &Tmain_Form::show_memory_map_ActionExecute);
    connect(ui->aboutAction, &QAction::triggered, this, &Tmain_Form::aboutActionExecute);
    connect(ui->change_address_Action, &QAction::triggered, this, &Tmain_Form::change_address_ActionExecute);
    ui->change_addr_btn->setDefaultAction(ui->change_address_Action);

    connect(ui->new_slaveaddr_combo, qOverload<int>(&QComboBox::activated), this,
            &Tmain_Form::new_slaveaddr_comboSelect);
    connect(ui->slaveaddr_combo, qOverload<int>(&QComboBox::activated), this, &Tmain_Form::slaveaddr_comboSelect);
    connect(ui->start_btn, &QPushButton::clicked, this, &Tmain_Form::start_btnClick);
    connect(ui->stop_btn, &QPushButton::clicked, this, &Tmain_Form::stop_btnClick);
    connect(ui->table_btn, &QPushButton::clicked, this, &Tmain_Form::table_btnClick);
    connect(ui->switch_button, &QToolButton::clicked, this, &Tmain_Form::switch_buttonClick);
    connect(ui->TrackBar1, &QSlider::valueChanged, this, &Tmain_Form::TrackBar1Change);
    show_speed(ui->TrackBar1->value());
}

QString Tmain_Form::tr_(const char *key, const char *defaultText) const
{
    return fTranslator->translate(QString::fromLatin1(key), QString::fromUtf8(defaultText));
}

QColor Tmain_Form::led_color(int index)
{
    switch (index) {
    case 1: return QColor(128, 255, 0);
    case 2: return QColor(255, 0, 0);
    case 3: return QColor(0, 165, 244);
    default: return QColor(0xF0, 0xF0, 0xF0); // the neutral button face
    }
}

void Tmain_Form::set_status(const QString &left, const QString &middle, const QString &right)
{
    set_status_left(left);
    set_status_middle(middle);
    set_status_right(right);
}

void Tmain_Form::set_status_left(const QString &text)
{
    ui->status_left_label->setText(text);
}

void Tmain_Form::set_status_middle(const QString &text)
{
    ui->status_middle_label->setText(text);
    // A long message is cut at the panel's edge instead of widening the window; the whole
    // text stays at hand.
    ui->status_middle_label->setToolTip(text);
}

void Tmain_Form::set_status_right(const QString &text)
{
    ui->status_right_label->setText(text);
}

void Tmain_Form::set_led(int index)
{
    ui->led_Shape->Set_brush_color(RgbToTColor(led_color(index).rgb()));
}

void Tmain_Form::write_log_header()
{
    const QString built = product::programBuildStamp();
    const QString logFolder = ZFile::Get_known_Folder(fWorkingDirHandler->Get_working_dir_convention(),
                                                      QStringLiteral("\\Orvel_IIC_Zorbit"));
    QStringList lines = {QString(), QString(),
                         QStringLiteral("----------------------       QUARNE Orvel : IIC Zorbit     Version: 1.3 "
                                        "Version allows Addr 0x00(") +
                             built + QStringLiteral(") ---------------------------"),
                         QStringLiteral("Logfile : ") + QDir::toNativeSeparators(logFolder + QStringLiteral("/logs"))};
    for (int format : {int(ZUser::NameFullyQualifiedDN), int(ZUser::NameSamCompatible)}) {
        QString name;
        const int error = ZUser::GetLoggedOnUserNameEx(format, name);
        lines.append(QStringLiteral("User : ") + (error == 0 ? name : qt_error_string(error)));
    }
    lines.append(QString());
    for (const QString &line : lines)
        fLog->addEvent(catNone, lNormal, line);
}

void Tmain_Form::aboutActionExecute()
{
    if (fWindows.about)
        fWindows.about->exec();
}

void Tmain_Form::time_TimerTimer()
{
    set_status_right(locale_texts::clock(QDateTime::currentDateTime()));
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
    if (!adapter_claimed())
        start_scan_worker();
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
    if (f_readdressing) {
        event->ignore();
        return;
    }
    stop_start_timers();
    try {
        fIni->saveForm(this);
        save_chart_settings(); // the chart: sections "Chart" and "viewer"
        fIni->Set_LogCommunicationMode(fLog->Get_CommunicationMode());
    } catch (const EInOutError &e) {
        fLog->addEvent(catCore, lError, QString::fromLocal8Bit(e.what()));
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

// The workers may be inside a synchronised call: keep serving them until they have ended, so
// the handler is released only when nobody uses it any more. False when one did not end.
void Tmain_Form::stop_start_timers()
{
    f_closing = true;
    for (QTimer *t : {&scan_start_Timer, &meas_start_Timer, &re_address_Timer})
        t->stop();
}

bool Tmain_Form::stop_workers_and_wait()
{
    // Events are served below: no start timer may hand the adapter to anybody meanwhile.
    stop_start_timers();
    // A worker inside a cycle over a silent bus would otherwise wait out every timeout.
    fOrvel_Handler->cancel();
    // Also a worker that has not started its run yet.
    if (fMeas)
        fMeas->Stop();
    if (fScan)
        fScan->Stop();
    QElapsedTimer waited;
    waited.start();
    while ((fMeas || fScan) && waited.elapsed() < ShutdownWaitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(5);
    }
    return !fMeas && !fScan;
}
