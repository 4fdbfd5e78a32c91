// The application's settings: one typed property per setting. The file is read once and kept in
// memory; each write reaches the file at once. A write the file refuses keeps the value in
// memory and is reported once. GUI thread only.
#pragma once

#include "services/utils/ini_file.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QWidget;

// A colour laid out $00BBGGRR (red in the low byte).
using TColor = uint32_t;

// Window geometry as stored; -1 marks a value that is absent.
struct TFormGeometry {
    int left = -1;
    int top = -1;
    int width = -1;
    int height = -1;
    int state = -1; // 0 normal, 1 minimised, 2 maximised
};

class TIniHandler
{
public:
    static TIniHandler *getInstance();
    static void release();

    // `folder` holds the settings file; a file of the same name in `exeDir` is moved there first.
    TIniHandler(const QString &folder, const QString &exeDir);

    const QString &fileName() const { return fFile.FileName(); }

    // Ranges the settings dialogs offer; stored values are clamped to them.
    static constexpr int MaxDigits = 5;       // pressure and temperature decimals
    static constexpr int MaxAxisDecimals = 8; // decimals of the chart's value axes
    static constexpr int MaxRetentionDays = 36500;  // how long recorded runs are kept, 0: always
    static constexpr int MaxRetentionMB = 1000000;  // how much they may take, 0: no limit

    // Hears of the first write the file refuses (the file and why); later ones are not reported
    // again. A refusal seen before a reporter is set (the check at construction) is reported
    // when it is set.
    using WriteFailureReporter = std::function<void(const QString &fileName, const QString &reason)>;
    void setWriteFailureReporter(WriteFailureReporter reporter);
    // Why the file cannot be written, found at construction or by a refused write; empty while
    // every write went through.
    const QString &writeProblem() const { return fWriteProblem; }
    bool hasSection(const QString &section) const { return fFile.SectionExists(section); }

    // Stored values that do not convert fall back to their default; the reporter hears of each
    // (the key and a sentence) so that it reaches the event log.
    using ConversionErrorReporter = std::function<void(const QString &key, const QString &message)>;
    void setConversionErrorReporter(ConversionErrorReporter reporter) { fReportError = std::move(reporter); }

    // Generic access, with the value encodings of the settings file.
    QString readText(const QString &section, const QString &key, const QString &defaultValue) const;
    void writeText(const QString &section, const QString &key, const QString &value);
    int readInteger(const QString &section, const QString &key, int defaultValue) const;
    void writeInteger(const QString &section, const QString &key, int value);
    bool readBool(const QString &section, const QString &key, bool defaultValue) const;
    void writeBool(const QString &section, const QString &key, bool value);
    // Every character but a digit, "+" or "-" is the separator (see ZString::ToFloat).
    double readLenientReal(const QString &section, const QString &key, const QString &defaultText) const;
    // The locale's separator only; empty or unparsable gives the default.
    double readLocaleReal(const QString &section, const QString &key, double defaultValue) const;
    void writeReal(const QString &section, const QString &key, double value);
    TColor readColor(const QString &section, const QString &key, TColor defaultValue) const;
    void writeColor(const QString &section, const QString &key, TColor value);

    QString Get_Language() const;
    void Set_Language(const QString &v);
    QString Get_ExportDir() const;
    void Set_ExportDir(const QString &v);
    QString Get_dbName() const;
    void Set_dbName(const QString &v);
    QString Get_dbHost() const;
    void Set_dbHost(const QString &v);
    QString Get_dbLoginName() const;
    void Set_dbLoginName(const QString &v);
    QString Get_dbPassword() const;
    void Set_dbPassword(const QString &v);
    uint16_t Get_dbPort() const;
    void Set_dbPort(uint16_t v);
    int Get_dbTimeout() const;
    void Set_dbTimeout(int v);
    QString Get_dbType() const;
    void Set_dbType(const QString &v);
    // Whether the server connection must be encrypted.
    bool Get_dbRequireTLS() const;
    void Set_dbRequireTLS(bool v);
    QString Get_dbSQLitePath() const;
    void Set_dbSQLitePath(const QString &v);
    int Get_dbRetentionDays() const;
    void Set_dbRetentionDays(int v);
    int Get_dbRetentionMB() const;
    void Set_dbRetentionMB(int v);
    QString Get_IconPath() const;
    void Set_IconPath(const QString &v);
    QString Get_log_file_dir() const;

    int Get_style() const;
    void Set_style(int v);
    int Get_tree_width() const;
    void Set_tree_width(int v);

    int Get_LogDBMode() const;
    void Set_LogDBMode(int v);
    int Get_LogTranslatorMode() const;
    void Set_LogTranslatorMode(int v);
    int Get_LogCoreMode() const;
    void Set_LogCoreMode(int v);
    int Get_LogCommunicationMode() const;
    void Set_LogCommunicationMode(int v);
    int Get_LogViewerMode() const;
    void Set_LogViewerMode(int v);
    int Get_LogConverterMode() const;
    void Set_LogConverterMode(int v);
    int Get_LogFilesize() const;
    void Set_LogFilesize(int v);

    double Get_l_min() const;
    void Set_l_min(double v);
    double Get_l_max() const;
    void Set_l_max(double v);
    double Get_r_min() const;
    void Set_r_min(double v);
    double Get_r_max() const;
    void Set_r_max(double v);
    int Get_axismode() const;
    void Set_axismode(int v);
    int Get_l_decimals() const;
    void Set_l_decimals(int v);
    int Get_r_decimals() const;
    void Set_r_decimals(int v);
    double Get_left_increment() const;
    void Set_left_increment(double v);
    double Get_right_increment() const;
    void Set_right_increment(double v);
    int Get_bottom_increment() const;
    void Set_bottom_increment(int v);
    bool Get_bottom_multi_line() const;
    void Set_bottom_multi_line(bool v);
    int Get_bottom_lable_angle() const;
    void Set_bottom_lable_angle(int v);
    int Get_bottom_time_format_index() const;
    void Set_bottom_time_format_index(int v);
    QString Get_bottom_time_format() const;
    void Set_bottom_time_format(const QString &v);
    bool Get_draw_cursor() const;
    void Set_draw_cursor(bool v);
    bool Get_show_legend() const;
    void Set_show_legend(bool v);
    int Get_legenden_position() const;
    void Set_legenden_position(int v);
    bool Get_show_left_grid() const;
    void Set_show_left_grid(bool v);
    bool Get_show_right_grid() const;
    void Set_show_right_grid(bool v);
    TColor Get_pressure_color() const;
    void Set_pressure_color(TColor v);
    TColor Get_temperature_color() const;
    void Set_temperature_color(TColor v);
    int Get_pressure_digits() const;
    void Set_pressure_digits(int v);
    int Get_temperature_digits() const;
    void Set_temperature_digits(int v);

    // Window geometry by class name in section "gui".
    TFormGeometry readGeometry(const QString &className) const;
    // Position and size only in normal state; the state always.
    void writeGeometry(const QString &className, const TFormGeometry &geometry);
    // The same for a window (defined with the windows, which link the widget library).
    // Sizes are outer sizes: a window whose frame is not known yet gets its size put right once
    // the frame is known, and until then that wanted size is what saveForm stores.
    void saveForm(QWidget *form);
    // Under the keys of `className`, for a window whose final class is no longer known.
    void saveForm(QWidget *form, const QString &className);
    void loadForm(QWidget *form);

private:
    QString folderSetting(const QString &section, const QString &key, const QString &subpath) const;
    void reportConversionError(const QString &key, const QString &message) const;
    void writeFailed(const QString &reason);
    int readClamped(const QString &section, const QString &key, int defaultValue, int low, int high) const;

    TIniFile fFile;
    ConversionErrorReporter fReportError;
    WriteFailureReporter fReportWriteFailure;
    QString fWriteProblem;
    bool fWriteProblemReported = false;
};
