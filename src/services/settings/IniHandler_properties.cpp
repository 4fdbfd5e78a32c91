// The typed settings: section, key and default of each.
#include "services/settings/IniHandler.h"

#include "services/utils/ZUtils.h"

namespace {

const QString General = QStringLiteral("general");
const QString DbConfig = QStringLiteral("dbconfig");
const QString Icons = QStringLiteral("Icons");
const QString Gui = QStringLiteral("GUI");
const QString LogFile = QStringLiteral("logFile");
const QString Viewer = QStringLiteral("viewer");

} // namespace

#define TEXT_SETTING(Name, Section, Key, Default)                                                                     \
    QString TIniHandler::Get_##Name() const { return readText(Section, QStringLiteral(Key), QStringLiteral(Default)); } \
    void TIniHandler::Set_##Name(const QString &v) { writeText(Section, QStringLiteral(Key), v); }

#define INT_SETTING(Name, Section, Key, Default)                                                                      \
    int TIniHandler::Get_##Name() const { return readInteger(Section, QStringLiteral(Key), Default); }                \
    void TIniHandler::Set_##Name(int v) { writeInteger(Section, QStringLiteral(Key), v); }

// A number that sizes something: what the file holds is kept within the range.
#define CLAMPED_INT_SETTING(Name, Section, Key, Default, Low, High)                                                   \
    int TIniHandler::Get_##Name() const { return readClamped(Section, QStringLiteral(Key), Default, Low, High); }      \
    void TIniHandler::Set_##Name(int v) { writeInteger(Section, QStringLiteral(Key), v); }

#define BOOL_SETTING(Name, Section, Key, Default)                                                                     \
    bool TIniHandler::Get_##Name() const { return readBool(Section, QStringLiteral(Key), Default); }                  \
    void TIniHandler::Set_##Name(bool v) { writeBool(Section, QStringLiteral(Key), v); }

#define LENIENT_REAL_SETTING(Name, Section, Key, DefaultText)                                                         \
    double TIniHandler::Get_##Name() const { return readLenientReal(Section, QStringLiteral(Key), QStringLiteral(DefaultText)); } \
    void TIniHandler::Set_##Name(double v) { writeReal(Section, QStringLiteral(Key), v); }

#define LOCALE_REAL_SETTING(Name, Section, Key, Default)                                                              \
    double TIniHandler::Get_##Name() const { return readLocaleReal(Section, QStringLiteral(Key), Default); }          \
    void TIniHandler::Set_##Name(double v) { writeReal(Section, QStringLiteral(Key), v); }

#define COLOR_SETTING(Name, Section, Key, Default)                                                                    \
    TColor TIniHandler::Get_##Name() const { return readColor(Section, QStringLiteral(Key), Default); }               \
    void TIniHandler::Set_##Name(TColor v) { writeColor(Section, QStringLiteral(Key), v); }

#define FOLDER_SETTING(Name, Section, Key, Subpath)                                                                   \
    QString TIniHandler::Get_##Name() const { return folderSetting(Section, QStringLiteral(Key), QStringLiteral(Subpath)); } \
    void TIniHandler::Set_##Name(const QString &v) { writeText(Section, QStringLiteral(Key), v); }

TEXT_SETTING(Language, General, "language", "english.lang")
FOLDER_SETTING(ExportDir, General, "exportdir", "\\Orvel_IIC_Zorbit\\MeasuringData")
TEXT_SETTING(dbName, DbConfig, "databasename", "")
TEXT_SETTING(dbHost, DbConfig, "host", "")
TEXT_SETTING(dbLoginName, DbConfig, "loginname", "")
TEXT_SETTING(dbPassword, DbConfig, "pw", "")
INT_SETTING(dbTimeout, DbConfig, "timeout", 30)
TEXT_SETTING(dbType, DbConfig, "dbtype", "mysql")
BOOL_SETTING(dbRequireTLS, DbConfig, "requireTLS", false)
FOLDER_SETTING(dbSQLitePath, DbConfig, "sqlitePath", "\\Orvel_IIC_Zorbit\\SQLite")
CLAMPED_INT_SETTING(dbRetentionDays, DbConfig, "retentionDays", 0, 0, MaxRetentionDays)
CLAMPED_INT_SETTING(dbRetentionMB, DbConfig, "retentionMB", 0, 0, MaxRetentionMB)
FOLDER_SETTING(IconPath, Icons, "Path", "\\Orvel_IIC_Zorbit\\Icons")

uint16_t TIniHandler::Get_dbPort() const
{
    return uint16_t(readInteger(DbConfig, QStringLiteral("port"), 3306));
}

void TIniHandler::Set_dbPort(uint16_t v)
{
    writeInteger(DbConfig, QStringLiteral("port"), v);
}

QString TIniHandler::Get_log_file_dir() const
{
    return ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit\\logs"));
}

INT_SETTING(style, Gui, "style", 3)
INT_SETTING(tree_width, Gui, "tree_width", 370)

INT_SETTING(LogDBMode, LogFile, "DBMode", 1)
INT_SETTING(LogTranslatorMode, LogFile, "TranslatorMode", 1)
INT_SETTING(LogCoreMode, LogFile, "CoreMode", 1)
INT_SETTING(LogCommunicationMode, LogFile, "communicationMode", 1)
INT_SETTING(LogViewerMode, LogFile, "viewerMode", 1)
INT_SETTING(LogConverterMode, LogFile, "converterMode", 1)
CLAMPED_INT_SETTING(LogFilesize, LogFile, "FileSize", 1000000, 0, INT32_MAX)

LENIENT_REAL_SETTING(l_min, Viewer, "l_min", "0")
LENIENT_REAL_SETTING(l_max, Viewer, "l_max", "1.0")
LENIENT_REAL_SETTING(r_min, Viewer, "r_min", "0")
LENIENT_REAL_SETTING(r_max, Viewer, "r_max", "30")
INT_SETTING(axismode, Viewer, "axismode", 0)
CLAMPED_INT_SETTING(l_decimals, Viewer, "left_decimals", 3, 0, MaxAxisDecimals)
CLAMPED_INT_SETTING(r_decimals, Viewer, "right_decimals", 3, 0, MaxAxisDecimals)
LOCALE_REAL_SETTING(left_increment, Viewer, "left_increment", 0.001)
LOCALE_REAL_SETTING(right_increment, Viewer, "right_increment", 0.05)
INT_SETTING(bottom_increment, Viewer, "bottom_increment", 0)
BOOL_SETTING(bottom_multi_line, Viewer, "bottom_multiline", false)
INT_SETTING(bottom_lable_angle, Viewer, "bottom_lable_angle", 0)
INT_SETTING(bottom_time_format_index, Viewer, "bottom_format_index", 1)
TEXT_SETTING(bottom_time_format, Viewer, "bottom_format", "dd.mm.yyyy hh:nn:ss")
BOOL_SETTING(draw_cursor, Viewer, "cursor", false)
BOOL_SETTING(show_legend, Viewer, "legend", true)
INT_SETTING(legenden_position, Viewer, "legend_position", 0)
BOOL_SETTING(show_left_grid, Viewer, "left_grid", true)
BOOL_SETTING(show_right_grid, Viewer, "right_grid", true)
COLOR_SETTING(pressure_color, Viewer, "p_color", 0x00CA6500)
COLOR_SETTING(temperature_color, Viewer, "t_color", 0x001111FF)
CLAMPED_INT_SETTING(pressure_digits, Viewer, "p_digits", 3, 0, MaxDigits)
CLAMPED_INT_SETTING(temperature_digits, Viewer, "T_digits", 2, 0, MaxDigits)
