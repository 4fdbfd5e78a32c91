// The application's event log: every subsystem files its events through addEvent; a writer
// thread owned by the log appends the accepted lines to "log.txt" in the log folder.
// Threading: addEvent, Logs, data_geladen and the mode getters from any thread; construction,
// release, the mode setters, deleteLogfile, enableForm and disableForm on the main thread.
#pragma once

#include "services/log/log_viewer.h"

#include <QDate>
#include <QTime>
#include <QString>
#include <QStringList>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

class TIniHandler;
class TLogWriter;

// Stored in the settings file and compared as numbers: the values are fixed.
enum TCategory : int {
    catDB = 0,
    catTranslator = 1,
    catCore = 2,
    catCommunication = 3,
    catViewer = 4,
    catConverter = 5,
    catNone = 6
};

// The level of an event, and the verbosity of a category (one signed byte as stored).
enum TMode : int8_t { lNormal = 0, lError = 1, lDebug = 2 };

// A local date and time as the wall clock shows it; taking one needs no time-zone work.
struct TLocalTime {
    QDate date;
    QTime time;
};

struct TEvent {
    TCategory cat;
    TMode mode;
    TLocalTime date;
    QString msg;
};

class TLogFile
{
public:
    // Must be callable from any thread.
    using Clock = std::function<TLocalTime()>;
    using ViewerFactory = std::function<std::unique_ptr<TLogViewer>(TLogFile &log)>;

    static constexpr std::chrono::milliseconds DefaultShutdownWait{5000};

    // The single instance, with the folder of the working-directory convention and the
    // process-wide settings store. It is released when the application object ends.
    static TLogFile *getInstance();
    static void release();

    // `dir` is the log folder; a null `settings` means the process-wide settings store.
    TLogFile(const QString &dir, TIniHandler *settings, Clock clock = {});
    // Writes every line accepted so far; waits at most the shutdown wait for the writer,
    // which otherwise finishes on its own.
    ~TLogFile();
    TLogFile(const TLogFile &) = delete;
    TLogFile &operator=(const TLogFile &) = delete;

    void addEvent(TCategory category, TMode mode, const QString &str);
    // Throws EInOutError when the current file exists and cannot be deleted.
    void deleteLogfile();

    // The main window installs how the viewer is made; without a factory there is no viewer.
    void setViewerFactory(ViewerFactory factory);
    void enableForm();
    void disableForm();
    TLogViewer *viewer() const { return fShowForm.get(); }

    QString Get_LogDir() const { return fDir; }
    QString fileName() const;
    QStringList Get_Logs() const;
    bool Get_data_geladen() const;
    void Set_data_geladen(bool value);
    void setShutdownWait(std::chrono::milliseconds wait) { fShutdownWait = wait; }

    // Writing a mode stores it in the settings file at once.
    TMode Get_DBMode() const { return mode(catDB); }
    void Set_DBMode(TMode value) { setMode(catDB, value); }
    TMode Get_TranslatorMode() const { return mode(catTranslator); }
    void Set_TranslatorMode(TMode value) { setMode(catTranslator, value); }
    TMode Get_CoreMode() const { return mode(catCore); }
    void Set_CoreMode(TMode value) { setMode(catCore, value); }
    TMode Get_CommunicationMode() const { return mode(catCommunication); }
    void Set_CommunicationMode(TMode value) { setMode(catCommunication, value); }
    TMode Get_ViewerMode() const { return mode(catViewer); }
    void Set_ViewerMode(TMode value) { setMode(catViewer, value); }
    TMode Get_ConverterMode() const { return mode(catConverter); }
    void Set_ConverterMode(TMode value) { setMode(catConverter, value); }

    QString Get_DBModeStr() const { return modeString(mode(catDB)); }
    QString Get_TranslatorModeStr() const { return modeString(mode(catTranslator)); }
    QString Get_CoreModeStr() const { return modeString(mode(catCore)); }
    QString Get_CommunicationModeStr() const { return modeString(mode(catCommunication)); }
    QString Get_ViewerModeStr() const { return modeString(mode(catViewer)); }
    QString Get_ConverterModeStr() const { return modeString(mode(catConverter)); }

    // Stamp "dd.MM.yyyy hh:mm:ss", category, level and message, joined by TAB.
    static QString queueEvent(const TEvent &event);
    // The current local time: the default clock.
    static TLocalTime localNow();
    // "Normal", "Error", "Debug", or empty for any other value.
    static QString modeString(int value);

private:
    static constexpr int ModeCount = catNone; // catNone has no verbosity
    TMode mode(TCategory category) const;
    void setMode(TCategory category, TMode value);
    bool accepts(TCategory category, TMode mode) const;
    TIniHandler &settings() const;

    const QString fDir;
    TIniHandler *const fIni;
    const Clock fClock;
    std::array<std::atomic<int8_t>, ModeCount> fModes;
    std::chrono::milliseconds fShutdownWait = DefaultShutdownWait;
    ViewerFactory fViewerFactory;
    std::unique_ptr<TLogViewer> fShowForm;
    std::shared_ptr<TLogWriter> fWriter;
    std::thread fThread;
};
