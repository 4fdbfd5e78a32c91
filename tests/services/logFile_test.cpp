// Which events the log accepts, how a line looks, and the verbosity properties.
#include "locale_guard.h"
#include "log_test_support.h"

#include <QDateTime>
#include <ctime>
#include <optional>

namespace {

using IniModeSetter = void (TIniHandler::*)(int);
using IniModeGetter = int (TIniHandler::*)() const;

// The verbosity key of each category, indexed by TCategory.
const IniModeSetter StoreVerbosity[] = {
    &TIniHandler::Set_LogDBMode,        &TIniHandler::Set_LogTranslatorMode, &TIniHandler::Set_LogCoreMode,
    &TIniHandler::Set_LogCommunicationMode, &TIniHandler::Set_LogViewerMode, &TIniHandler::Set_LogConverterMode,
};

struct FilterCase {
    TCategory category;
    std::optional<int> storedVerbosity; // only this category's key is written
    TMode level;
    bool accepted;
};

std::ostream &operator<<(std::ostream &os, const FilterCase &c)
{
    return os << "category " << int(c.category) << " verbosity "
              << (c.storedVerbosity ? std::to_string(*c.storedVerbosity) : std::string("default")) << " level "
              << int(c.level);
}

class LogFilter : public LogFixture, public ::testing::WithParamInterface<FilterCase>
{
};

TEST_P(LogFilter, AcceptsByTheCategoryVerbosity)
{
    const FilterCase c = GetParam();
    if (c.storedVerbosity)
        (fIni.get()->*StoreVerbosity[c.category])(*c.storedVerbosity);
    auto log = makeLog();
    log->addEvent(c.category, c.level, QStringLiteral("probe"));
    log.reset();

    // A rejected event still wakes the writer, which leaves an empty file.
    ASSERT_TRUE(QFile::exists(logFile()));
    EXPECT_EQ(fileBytes(logFile()).contains("probe"), c.accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Verbosity, LogFilter,
    ::testing::Values(
        // Communication at each verbosity against each level.
        FilterCase{catCommunication, 0, lNormal, true}, FilterCase{catCommunication, 0, lError, false},
        FilterCase{catCommunication, 0, lDebug, false}, FilterCase{catCommunication, 1, lNormal, true},
        FilterCase{catCommunication, 1, lError, true}, FilterCase{catCommunication, 1, lDebug, false},
        FilterCase{catCommunication, 2, lError, true}, FilterCase{catCommunication, 2, lDebug, true},
        // Each category reads its own key: a wrong key would give the default lError.
        FilterCase{catDB, 2, lDebug, true}, FilterCase{catDB, 0, lError, false},
        FilterCase{catTranslator, 2, lDebug, true}, FilterCase{catTranslator, 0, lError, false},
        FilterCase{catCore, 2, lDebug, true}, FilterCase{catCore, 0, lError, false},
        FilterCase{catViewer, 2, lDebug, true}, FilterCase{catViewer, 0, lError, false},
        FilterCase{catConverter, 2, lDebug, true}, FilterCase{catConverter, 0, lError, false},
        // Without a key the verbosity is lError.
        FilterCase{catCore, std::nullopt, lError, true}, FilterCase{catCore, std::nullopt, lDebug, false},
        // Stored values beyond the enumeration are compared as read.
        FilterCase{catCore, 5, lDebug, true}, FilterCase{catCore, -1, lNormal, false},
        // No verbosity applies to catNone; unknown categories are never written.
        FilterCase{catNone, std::nullopt, lDebug, true}, FilterCase{TCategory(7), std::nullopt, lNormal, false},
        FilterCase{TCategory(-1), std::nullopt, lNormal, false}));

using LogNone = LogFixture;

TEST_F(LogNone, IsWrittenWithEveryVerbosityAtNormal)
{
    for (IniModeSetter store : StoreVerbosity)
        (fIni.get()->*store)(lNormal);
    auto log = makeLog();
    log->addEvent(catNone, lNormal, QStringLiteral("header"));
    log->addEvent(catCommunication, lError, QStringLiteral("dropped"));
    log.reset();
    EXPECT_EQ(fileBytes(logFile()), line("header"));
}

// ---- line layout ----------------------------------------------------------------------------

struct LayoutCase {
    TCategory category;
    TMode level;
    const char *message;
    const char *expected;
};

std::ostream &operator<<(std::ostream &os, const LayoutCase &c)
{
    return os << "category " << int(c.category) << " level " << int(c.level) << " message \"" << c.message << '"';
}

class LogLineLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(LogLineLayout, JoinsStampCategoryLevelAndMessageByTabs)
{
    const LayoutCase c = GetParam();
    const TEvent event{c.category, c.level, {QDate(2018, 7, 31), QTime(14, 5, 9)}, QString::fromUtf8(c.message)};
    EXPECT_EQ(TLogFile::queueEvent(event), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LogLineLayout,
    ::testing::Values(LayoutCase{catNone, lNormal, "M", "31.07.2018 14:05:09\t-\t-\tM"},
                      LayoutCase{catDB, lError, "x", "31.07.2018 14:05:09\tDB\tError\tx"},
                      LayoutCase{catTranslator, lDebug, "x", "31.07.2018 14:05:09\tTranslator\tDebug\tx"},
                      LayoutCase{catCore, lNormal, "x", "31.07.2018 14:05:09\tCore\t-\tx"},
                      LayoutCase{catCommunication, lError, "x", "31.07.2018 14:05:09\tCommunication\tError\tx"},
                      LayoutCase{catViewer, lDebug, "x", "31.07.2018 14:05:09\tViewer\tDebug\tx"},
                      LayoutCase{catConverter, lNormal, "x", "31.07.2018 14:05:09\tConverter\t-\tx"},
                      // An empty message leaves the TAB after the level; a message is never escaped.
                      LayoutCase{catCommunication, lError, "", "31.07.2018 14:05:09\tCommunication\tError\t"},
                      LayoutCase{catNone, lNormal, "a\tb \\n", "31.07.2018 14:05:09\t-\t-\ta\tb \\n"}));

TEST(LogStamp, IsDayMonthYearWithSecondsWhateverTheLocale)
{
    const TLocalTime early{QDate(2021, 1, 5), QTime(3, 4, 0, 999)};
    const TLocalTime late{QDate(1999, 12, 31), QTime(23, 59, 58)};
    for (const QLocale &locale : {LocaleGuard::pointLocale(), LocaleGuard::commaLocale(), QLocale(QLocale::Japanese)}) {
        LocaleGuard guard(locale);
        EXPECT_EQ(TLogFile::queueEvent({catNone, lNormal, early, QString()}), QStringLiteral("05.01.2021 03:04:00\t-\t-\t"));
        EXPECT_EQ(TLogFile::queueEvent({catNone, lNormal, late, QString()}).left(20),
                  QStringLiteral("31.12.1999 23:59:58\t"));
    }
}

// Sets the process's time zone for one test.
class TimeZoneGuard
{
public:
    explicit TimeZoneGuard(const char *zone) : fPrevious(qgetenv("TZ")), fHadZone(qEnvironmentVariableIsSet("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~TimeZoneGuard()
    {
        if (fHadZone)
            qputenv("TZ", fPrevious);
        else
            qunsetenv("TZ");
        tzset();
    }

private:
    QByteArray fPrevious;
    bool fHadZone;
};

TEST(LogClock, TellsTheLocalTimeOfTheTimeZone)
{
    TimeZoneGuard zone("IST-5:30"); // half an hour off any whole-hour zone
    const QDateTime qtNow = QDateTime::currentDateTime();
    const TLocalTime now = TLogFile::localNow();
    EXPECT_NEAR(double(qtNow.msecsTo(QDateTime(now.date, now.time))), 0.0, 2000.0)
        << qtNow.toString(Qt::ISODate).toStdString() << " against "
        << QDateTime(now.date, now.time).toString(Qt::ISODate).toStdString();
}

using LogFileBytes = LogFixture;

TEST_F(LogFileBytes, AreUtf8LinesEndedByCrLfInOrder)
{
    auto log = makeLog();
    log->addEvent(catNone, lNormal, QStringLiteral("first"));
    log->addEvent(catCommunication, lError, QString());
    log->addEvent(catNone, lNormal, QStringLiteral("Druck 1,5 µbar – Öl €"));
    log.reset();
    EXPECT_EQ(fileBytes(logFile()),
              line("first") + line("", "Communication", "Error") + line("Druck 1,5 \xC2\xB5" "bar \xE2\x80\x93 \xC3\x96l \xE2\x82\xAC"));
}

TEST_F(LogFileBytes, AppendToAnExistingFile)
{
    ASSERT_TRUE(writeFile(logFile(), "earlier\r\n"));
    auto log = makeLog();
    log->addEvent(catNone, lNormal, QStringLiteral("later"));
    log.reset();
    EXPECT_EQ(fileBytes(logFile()), QByteArray("earlier\r\n") + line("later"));
}

// ---- verbosity properties --------------------------------------------------------------------

struct ModeProperty {
    const char *name;
    TCategory category;
    void (TLogFile::*set)(TMode);
    TMode (TLogFile::*get)() const;
    QString (TLogFile::*text)() const;
    IniModeGetter stored;
};

std::ostream &operator<<(std::ostream &os, const ModeProperty &p)
{
    return os << p.name;
}

class LogModeProperty : public LogFixture, public ::testing::WithParamInterface<ModeProperty>
{
};

TEST_P(LogModeProperty, WritesItsKeyAtOnceAndFiltersByTheNewValue)
{
    const ModeProperty p = GetParam();
    auto log = makeLog();
    (log.get()->*p.set)(lDebug);
    EXPECT_EQ((log.get()->*p.get)(), lDebug);
    EXPECT_EQ((log.get()->*p.text)(), QStringLiteral("Debug"));
    // Another reader of the same file sees it before the log goes (a store reads its file once).
    const auto stored = [&] {
        TIniHandler reader(path(QStringLiteral("settings")), path(QStringLiteral("exe")));
        return (reader.*p.stored)();
    };
    EXPECT_EQ(stored(), int(lDebug));

    log->addEvent(p.category, lDebug, QStringLiteral("now kept"));
    (log.get()->*p.set)(lNormal);
    EXPECT_EQ(stored(), int(lNormal));
    log->addEvent(p.category, lError, QStringLiteral("now dropped"));
    log.reset();
    EXPECT_TRUE(fileBytes(logFile()).contains("now kept"));
    EXPECT_FALSE(fileBytes(logFile()).contains("now dropped"));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LogModeProperty,
    ::testing::Values(
        ModeProperty{"DBMode", catDB, &TLogFile::Set_DBMode, &TLogFile::Get_DBMode, &TLogFile::Get_DBModeStr,
                     &TIniHandler::Get_LogDBMode},
        ModeProperty{"TranslatorMode", catTranslator, &TLogFile::Set_TranslatorMode, &TLogFile::Get_TranslatorMode,
                     &TLogFile::Get_TranslatorModeStr, &TIniHandler::Get_LogTranslatorMode},
        ModeProperty{"CoreMode", catCore, &TLogFile::Set_CoreMode, &TLogFile::Get_CoreMode, &TLogFile::Get_CoreModeStr,
                     &TIniHandler::Get_LogCoreMode},
        ModeProperty{"CommunicationMode", catCommunication, &TLogFile::Set_CommunicationMode,
                     &TLogFile::Get_CommunicationMode, &TLogFile::Get_CommunicationModeStr,
                     &TIniHandler::Get_LogCommunicationMode},
        ModeProperty{"ViewerMode", catViewer, &TLogFile::Set_ViewerMode, &TLogFile::Get_ViewerMode,
                     &TLogFile::Get_ViewerModeStr, &TIniHandler::Get_LogViewerMode},
        ModeProperty{"ConverterMode", catConverter, &TLogFile::Set_ConverterMode, &TLogFile::Get_ConverterMode,
                     &TLogFile::Get_ConverterModeStr, &TIniHandler::Get_LogConverterMode}),
    [](const ::testing::TestParamInfo<ModeProperty> &info) { return std::string(info.param.name); });

TEST(LogModeString, NamesTheThreeModesAndNothingElse)
{
    EXPECT_EQ(TLogFile::modeString(0), QStringLiteral("Normal"));
    EXPECT_EQ(TLogFile::modeString(1), QStringLiteral("Error"));
    EXPECT_EQ(TLogFile::modeString(2), QStringLiteral("Debug"));
    EXPECT_EQ(TLogFile::modeString(3), QString());
    EXPECT_EQ(TLogFile::modeString(-1), QString());
}

using LogModeRead = LogFixture;

TEST_F(LogModeRead, KeepsAStoredValueOutsideTheModesAsRead)
{
    fIni->Set_LogViewerMode(7);
    auto log = makeLog();
    EXPECT_EQ(int(log->Get_ViewerMode()), 7);
    EXPECT_EQ(log->Get_ViewerModeStr(), QString());
    EXPECT_EQ(log->Get_CoreMode(), lError); // no key: the default
}

} // namespace
