#include "services/settings/IniHandler.h"

#include "services/utils/ZUtils.h"
#include "services/settings/color_text.h"
#include "services/settings/settings_numbers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace {

const QString SettingsFileName = QStringLiteral("Orvel_IIC_Addr.ini");
const QString GeometrySection = QStringLiteral("gui");

std::unique_ptr<TIniHandler> &instance()
{
    static std::unique_ptr<TIniHandler> handler;
    return handler;
}

QString settingsFilePath(const QString &folder)
{
    return QDir(folder).filePath(SettingsFileName);
}

} // namespace

TIniHandler *TIniHandler::getInstance()
{
    if (!instance()) {
        const QString folder = ZFile::Get_known_Folder(QStringLiteral("local"), QStringLiteral("\\Orvel_IIC_Zorbit"));
        instance() = std::make_unique<TIniHandler>(folder, QCoreApplication::applicationDirPath());
    }
    return instance().get();
}

void TIniHandler::release()
{
    instance().reset();
}

TIniHandler::TIniHandler(const QString &folder, const QString &exeDir) : fFile(settingsFilePath(folder))
{
    // An older installation kept its settings beside the program; they move once.
    const QString besideExe = settingsFilePath(exeDir);
    if (QFileInfo::exists(besideExe) && QFileInfo(besideExe) != QFileInfo(fFile.FileName()))
        QFile::rename(besideExe, fFile.FileName());
    // Opening a save file creates its temporary beside the file and checks the file itself,
    // as every later write does; nothing is written.
    QSaveFile probe(fFile.FileName());
    if (probe.open(QIODevice::WriteOnly))
        probe.cancelWriting();
    else
        fWriteProblem = probe.errorString();
}

void TIniHandler::setWriteFailureReporter(WriteFailureReporter reporter)
{
    fReportWriteFailure = std::move(reporter);
    if (fReportWriteFailure && !fWriteProblem.isEmpty() && !fWriteProblemReported) {
        fWriteProblemReported = true;
        fReportWriteFailure(fFile.FileName(), fWriteProblem);
    }
}

void TIniHandler::writeFailed(const QString &reason)
{
    fWriteProblem = reason;
    if (fReportWriteFailure && !fWriteProblemReported) {
        fWriteProblemReported = true;
        fReportWriteFailure(fFile.FileName(), reason);
    }
}

void TIniHandler::reportConversionError(const QString &key, const QString &message) const
{
    if (fReportError)
        fReportError(key, message);
}

QString TIniHandler::readText(const QString &section, const QString &key, const QString &defaultValue) const
{
    return fFile.ReadString(section, key, defaultValue);
}

void TIniHandler::writeText(const QString &section, const QString &key, const QString &value)
{
    try {
        fFile.WriteString(section, key, value);
    } catch (const EInOutError &) {
        writeFailed(fFile.LastError());
    }
}

int TIniHandler::readInteger(const QString &section, const QString &key, int defaultValue) const
{
    int64_t value = 0;
    if (!SettingsNumbers::parseInteger(readText(section, key, QString()), value) || value < INT32_MIN ||
        value > INT32_MAX)
        return defaultValue;
    return int(value);
}

void TIniHandler::writeInteger(const QString &section, const QString &key, int value)
{
    writeText(section, key, QString::number(value));
}

int TIniHandler::readClamped(const QString &section, const QString &key, int defaultValue, int low,
                             int high) const
{
    return std::clamp(readInteger(section, key, defaultValue), low, high);
}

bool TIniHandler::readBool(const QString &section, const QString &key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniHandler::writeBool(const QString &section, const QString &key, bool value)
{
    writeText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

double TIniHandler::readLenientReal(const QString &section, const QString &key, const QString &defaultText) const
{
    const QString stored = readText(section, key, defaultText);
    double value = 0;
    if (ZString::TryToFloat(stored, value))
        return value;
    reportConversionError(key, QStringLiteral("Settings: \"%1\" in [%2] %3 is no number, default %4 used")
                                   .arg(stored, section, key, defaultText));
    return ZString::ToFloat(defaultText);
}

double TIniHandler::readLocaleReal(const QString &section, const QString &key, double defaultValue) const
{
    double value = defaultValue;
    SettingsNumbers::parseLocaleReal(readText(section, key, QString()), value);
    return value;
}

void TIniHandler::writeReal(const QString &section, const QString &key, double value)
{
    writeText(section, key, SettingsNumbers::realText(value));
}

TColor TIniHandler::readColor(const QString &section, const QString &key, TColor defaultValue) const
{
    const QString stored = readText(section, key, QString());
    if (stored.isEmpty())
        return defaultValue;
    TColor color = 0;
    if (ColorText::fromText(stored, color))
        return color;
    reportConversionError(key, QStringLiteral("Settings: \"%1\" in [%2] %3 is no colour, default %4 used")
                                   .arg(stored, section, key, ColorText::toText(defaultValue)));
    return defaultValue;
}

void TIniHandler::writeColor(const QString &section, const QString &key, TColor value)
{
    writeText(section, key, ColorText::toText(value));
}

QString TIniHandler::folderSetting(const QString &section, const QString &key, const QString &subpath) const
{
    // Resolving the default also creates that folder, even when another one is stored.
    const QString folder = ZFile::Get_known_Folder(QStringLiteral("local"), subpath);
    return readText(section, key, folder);
}

TFormGeometry TIniHandler::readGeometry(const QString &className) const
{
    TFormGeometry g;
    g.left = readInteger(GeometrySection, className + QStringLiteral("_left"), -1);
    g.top = readInteger(GeometrySection, className + QStringLiteral("_top"), -1);
    g.width = readInteger(GeometrySection, className + QStringLiteral("_width"), -1);
    g.height = readInteger(GeometrySection, className + QStringLiteral("_height"), -1);
    g.state = readInteger(GeometrySection, className + QStringLiteral("_state"), -1);
    if (g.state < 0 || g.state > 2)
        g.state = -1;
    return g;
}

void TIniHandler::writeGeometry(const QString &className, const TFormGeometry &g)
{
    if (g.state == 0) {
        writeInteger(GeometrySection, className + QStringLiteral("_left"), g.left);
        writeInteger(GeometrySection, className + QStringLiteral("_top"), g.top);
        writeInteger(GeometrySection, className + QStringLiteral("_width"), g.width);
        writeInteger(GeometrySection, className + QStringLiteral("_height"), g.height);
    }
    writeInteger(GeometrySection, className + QStringLiteral("_state"), g.state);
}
