// Small class-operation utilities: bit access, lenient number reading and number texts,
// UTF-8 byte strings, application folders, one-shot threads, OS version and user name.
// Every operation is stateless and may be called from any thread.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <stdexcept>

// A text that does not read as a number.
class EConvertError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A file that cannot be opened, read or written.
class EInOutError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class ZByte
{
public:
    static bool readBit(uint8_t b, int pos);
    static uint8_t writeBit(uint8_t b, int pos, bool bit);
};

class ZWord
{
public:
    static uint16_t writeBit(uint16_t b, int pos, bool bit);
};

class ZString
{
public:
    // Number texts use the default locale, which is the user's own unless a test sets another.
    // Every character but a digit, "+" or "-" counts as the decimal separator.
    // Throws EConvertError when the result is still no number.
    static double ToFloat(const QString &str);
    // Same reading; false instead of an exception.
    static bool TryToFloat(const QString &str, double &value);

    // Fixed-point text with `digits` decimals, rounded half away from zero to at most
    // `precision` significant digits (later places are written as 0). A value whose integer
    // part needs more than `precision` digits is written in scientific notation ("1.2345679E8");
    // a result that rounds to zero has no sign.
    static QString FormatFixed(double value, int digits, int precision, QChar decimalSeparator);
    // The same with the user's locale decimal separator.
    static QString FormatFixed(double value, int digits, int precision = 12);
    static QChar LocaleDecimalSeparator();

    // Decodes UTF-8 bytes held one per character.
    static QString ToUtf8(const QString &str);
    // Encodes a text as UTF-8 bytes held one per character.
    static QString Utf8ToStr(const QString &wstr);
};

enum TWinVersion {
    wvUnknown = 0,
    wvWin95 = 1,
    wvWin98 = 2,
    wvWin98SE = 3,
    wvWinNT = 4,
    wvWinME = 5,
    wvWin2000 = 6,
    wvWinXP = 7,
    wvWinVista = 8,
    wvWin7 = 9
};

class ZOS
{
public:
    static TWinVersion GetWinVersion();
    // The version table itself, for a platform id (1 = 9x family, 2 = NT family).
    static TWinVersion MapWinVersion(unsigned platformId, unsigned major, unsigned minor,
                                     const QString &serviceText);
};

class ZFile
{
public:
    static const QString AccessDenied;

    // The application folder below the user's (or else the all-users) data folder,
    // created with its parents when missing; "Access Denied" when nothing is writable.
    // `subpath` may use "\" or "/" as separator.
    static QString Get_known_Folder(const QString &local, const QString &subpath);

    // The two base folders the rule tries, in order, for a version and a convention.
    struct Bases {
        QString first;
        QString second;
    };
    static Bases BaseFolders(TWinVersion version, const QString &local);

    // Whether the current user can create files in `folder` (tried, not guessed).
    static bool CheckWriteAccess(const QString &folder);

    // Low 32 bits of the file's size, or -1 when there is no such file.
    static int32_t getFileSize(const QString &path);
};

class ZThread
{
public:
    // Runs `method` once on a new thread that cleans up after itself; the caller does not wait.
    static void runProcedure(std::function<void()> method);
};

class ZUser
{
public:
    enum NameFormat { NameFullyQualifiedDN = 1, NameSamCompatible = 2 };

    // 0 and the name in `Username`, or an errno-style code with `Username` unchanged.
    // On Linux format 1 is the account's full name and format 2 is host + "\" + login.
    static int GetLoggedOnUserNameEx(int fFormat, QString &Username);
};
