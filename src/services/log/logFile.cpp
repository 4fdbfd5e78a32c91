#include "services/log/logFile.h"

#include "services/settings/IniHandler.h"
#include "services/utils/WorkingDirHandler.h"
#include "services/utils/ZUtils.h"
#include "services/log/log_writer.h"

#include <QCoreApplication>
#include <QStringView>
#include <system_error>
#include <chrono>
#include <ctime>
#include <mutex>

namespace {

const QString LogSubpath = QStringLiteral("\\Orvel_IIC_Zorbit\\logs");

using ModeGetter = int (TIniHandler::*)() const;
using ModeSetter = void (TIniHandler::*)(int);
struct ModeKey {
    ModeGetter get;
    ModeSetter set;
};
// Indexed by TCategory.
const ModeKey ModeKeys[] = {
    {&TIniHandler::Get_LogDBMode, &TIniHandler::Set_LogDBMode},
    {&TIniHandler::Get_LogTranslatorMode, &TIniHandler::Set_LogTranslatorMode},
    {&TIniHandler::Get_LogCoreMode, &TIniHandler::Set_LogCoreMode},
    {&TIniHandler::Get_LogCommunicationMode, &TIniHandler::Set_LogCommunicationMode},
    {&TIniHandler::Get_LogViewerMode, &TIniHandler::Set_LogViewerMode},
    {&TIniHandler::Get_LogConverterMode, &TIniHandler::Set_LogConverterMode},
};

QStringView categoryText(TCategory category)
{
    static constexpr QStringView Texts[] = {u"DB", u"Translator", u"Core", u"Communication",
                                            u"Viewer", u"Converter", u"-"};
    return Texts[category];
}

QString levelText(TMode mode)
{
    switch (mode) {
    case lNormal:
        return QStringLiteral("-");
    case lError:
        return QStringLiteral("Error");
    case lDebug:
        return QStringLiteral("Debug");
    }
    return QString::number(int(mode));
}

// The stamp never follows the locale: the log viewer's filter needs its fixed 19 characters.
QChar *writeStamp(QChar *out, const TLocalTime &date)
{
    const QDate &day = date.date;
    const QTime &time = date.time;
    const auto digits = [&out](int value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            out[i] = QChar(u'0' + value % 10);
            value /= 10;
        }
        out += count;
    };
    const auto put = [&out](char16_t c) { *out++ = QChar(c); };
    digits(day.day(), 2);
    put(u'.');
    digits(day.month(), 2);
    put(u'.');
    digits(qBound(0, day.year(), 9999), 4);
    put(u' ');
    digits(time.hour(), 2);
    put(u':');
    digits(time.minute(), 2);
    put(u':');
    digits(time.second(), 2);
    return out;
}

std::mutex &instanceLock()
{
    static std::mutex lock;
    return lock;
}

std::unique_ptr<TLogFile> &instance()
{
    static std::unique_ptr<TLogFile> log;
    return log;
}

TLogFile *existingInstance()
{
    std::lock_guard<std::mutex> lock(instanceLock());
    return instance().get();
}

} // namespace

TLogFile *TLogFile::getInstance()
{
    std::lock_guard<std::mutex> lock(instanceLock());
    if (!instance()) {
        const QString convention = TWorkingDirHandler::getInstance()->Get_working_dir_convention();
        instance() = std::make_unique<TLogFile>(ZFile::Get_known_Folder(convention, LogSubpath), nullptr);
        if (QCoreApplication *app = QCoreApplication::instance()) {
            // The viewer window must go while the application object still exists, and the
            // queued lines must reach the file before the process ends.
            QObject::connect(app, &QCoreApplication::aboutToQuit, [] {
                if (TLogFile *log = existingInstance())
                    log->disableForm();
            });
            qAddPostRoutine(&TLogFile::release);
        }
    }
    return instance().get();
}

void TLogFile::release()
{
    std::unique_ptr<TLogFile> log;
    {
        std::lock_guard<std::mutex> lock(instanceLock());
        log = std::move(instance());
    }
    log.reset();
}

TLogFile::TLogFile(const QString &dir, TIniHandler *settings, Clock clock)
    : fDir(dir),
      fIni(settings),
      fClock(clock ? std::move(clock) : Clock(&TLogFile::localNow))
{
    TIniHandler &ini = this->settings();
    for (int c = 0; c < ModeCount; ++c)
        fModes[size_t(c)].store(int8_t((ini.*ModeKeys[c].get)()));
    fWriter = std::make_shared<TLogWriter>(fDir, int32_t(ini.Get_LogFilesize()), fClock);
    fWriter->setErrorLine([clock = fClock](const QString &message) {
        return queueEvent(TEvent{catCore, lError, clock(), message});
    });
    fThread = std::thread([writer = fWriter] { writer->run(); });
}

TLogFile::~TLogFile()
{
    disableForm();
    if (!fThread.joinable())
        return;
    if (!fWriter->stop(fShutdownWait)) {
        fThread.detach(); // it holds the writer and ends once the file lets it
        return;
    }
    try {
        fThread.join();
    } catch (const std::system_error &) {
        fThread.detach(); // late in process exit the runtime may refuse the join
    }
}

TIniHandler &TLogFile::settings() const
{
    return fIni ? *fIni : *TIniHandler::getInstance();
}

TMode TLogFile::mode(TCategory category) const
{
    return TMode(fModes[size_t(category)].load());
}

void TLogFile::setMode(TCategory category, TMode value)
{
    const size_t index = size_t(category);
    fModes[index].store(value);
    const ModeSetter store = ModeKeys[index].set;
    TIniHandler &ini = settings();
    (ini.*store)(int(value));
}

TLocalTime TLogFile::localNow()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    const int ms = int(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
    return {QDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday),
            QTime(local.tm_hour, local.tm_min, qMin(local.tm_sec, 59), ms)};
}

QString TLogFile::modeString(int value)
{
    switch (value) {
    case lNormal:
        return QStringLiteral("Normal");
    case lError:
        return QStringLiteral("Error");
    case lDebug:
        return QStringLiteral("Debug");
    default:
        return QString();
    }
}

bool TLogFile::accepts(TCategory category, TMode mode) const
{
    const int index = int(category);
    if (index == catNone)
        return true;
    if (index < 0 || index >= ModeCount)
        return false;
    return fModes[size_t(index)].load(std::memory_order_relaxed) >= mode;
}

QString TLogFile::queueEvent(const TEvent &event)
{
    constexpr qsizetype StampLength = 19;
    const QStringView category = categoryText(event.cat);
    const QString level = levelText(event.mode);
    QString line(StampLength + 1 + category.size() + 1 + level.size() + 1 + event.msg.size(), Qt::Uninitialized);
    QChar *out = writeStamp(line.data(), event.date);
    const auto append = [&out](QStringView text) {
        *out++ = QChar(u'\t');
        std::copy(text.begin(), text.end(), out);
        out += text.size();
    };
    append(category);
    append(level);
    append(event.msg);
    return line;
}

void TLogFile::addEvent(TCategory category, TMode mode, const QString &str)
{
    if (accepts(category, mode))
        fWriter->queue(queueEvent(TEvent{category, mode, fClock(), str}));
    else
        fWriter->wake();
}

void TLogFile::deleteLogfile()
{
    fWriter->deleteFile();
}

QString TLogFile::fileName() const
{
    return fWriter->fileName();
}

QStringList TLogFile::Get_Logs() const
{
    return fWriter->queued();
}

bool TLogFile::Get_data_geladen() const
{
    return fWriter->dataLoaded();
}

void TLogFile::Set_data_geladen(bool value)
{
    fWriter->setDataLoaded(value);
}

void TLogFile::setViewerFactory(ViewerFactory factory)
{
    fViewerFactory = std::move(factory);
}

void TLogFile::enableForm()
{
    if (!fShowForm) {
        if (!fViewerFactory)
            return;
        fShowForm = fViewerFactory(*this);
        if (!fShowForm)
            return;
        fWriter->setViewer(fShowForm.get());
    }
    fShowForm->clear();
    // Emptied, it needs the file again, also when it was open already.
    fWriter->setDataLoaded(false);
    fShowForm->showForm();
    // The file is read away from the main thread; the writer object outlives this log if need be.
    fWriter->loaderStarting();
    ZThread::runProcedure([writer = fWriter] { writer->loadViewer(); });
}

void TLogFile::disableForm()
{
    if (!fShowForm)
        return;
    fShowForm->hideForm();
    fWriter->setViewer(nullptr);
    fShowForm.reset();
}
