#include "services/settings/IniHandler.h"
#include "services/utils/ZUtils.h"
#include "services/settings/color_text.h"
#include "services/settings/form_bounds.h"
#include "locale_guard.h"
#include "qt_printers.h"
#include "temp_data_folders.h"

#include <QFileInfo>
#include <functional>

namespace {

class Settings : public TempDataFolders
{
protected:
    void SetUp() override
    {
        TempDataFolders::SetUp();
        folder = fRoot.filePath(QStringLiteral("settings"));
        exeDir = fRoot.filePath(QStringLiteral("bin"));
        QDir().mkpath(folder);
        QDir().mkpath(exeDir);
    }

    std::unique_ptr<TIniHandler> open()
    {
        auto ini = std::make_unique<TIniHandler>(folder, exeDir);
        ini->setConversionErrorReporter([this](const QString &key, const QString &message) {
            reported.append(key + QStringLiteral(": ") + message);
        });
        return ini;
    }
    QByteArray fileContent() const
    {
        QFile f(folder + QStringLiteral("/Orvel_IIC_Addr.ini"));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeFile(const QString &path, const QByteArray &content) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    void store(const QByteArray &content) const { writeFile(folder + QStringLiteral("/Orvel_IIC_Addr.ini"), content); }

    QString folder;
    QString exeDir;
    QStringList reported;
};

} // namespace

TEST_F(Settings, DefaultsWithoutAFile)
{
    auto ini = open();
    struct {
        const char *name;
        QString value;
        QString expected;
    } texts[] = {
        {"Language", ini->Get_Language(), "english.lang"},
        {"dbName", ini->Get_dbName(), ""},
        {"dbType", ini->Get_dbType(), "mysql"},
        {"bottom_time_format", ini->Get_bottom_time_format(), "dd.mm.yyyy hh:nn:ss"},
    };
    for (const auto &t : texts)
        EXPECT_EQ(t.value, t.expected) << t.name;

    struct {
        const char *name;
        double value;
        double expected;
    } numbers[] = {
        {"dbPort", double(ini->Get_dbPort()), 3306},   {"dbTimeout", double(ini->Get_dbTimeout()), 30},
        {"style", double(ini->Get_style()), 3},         {"tree_width", double(ini->Get_tree_width()), 370},
        {"LogDBMode", double(ini->Get_LogDBMode()), 1}, {"LogCommunicationMode", double(ini->Get_LogCommunicationMode()), 1},
        {"LogConverterMode", double(ini->Get_LogConverterMode()), 1}, {"LogFilesize", double(ini->Get_LogFilesize()), 1000000},
        {"l_min", ini->Get_l_min(), 0},                 {"l_max", ini->Get_l_max(), 1.0},
        {"r_min", ini->Get_r_min(), 0},                 {"r_max", ini->Get_r_max(), 30},
        {"axismode", double(ini->Get_axismode()), 0},   {"l_decimals", double(ini->Get_l_decimals()), 3},
        {"r_decimals", double(ini->Get_r_decimals()), 3}, {"left_increment", ini->Get_left_increment(), 0.001},
        {"right_increment", ini->Get_right_increment(), 0.05},
        {"bottom_time_format_index", double(ini->Get_bottom_time_format_index()), 1},
        {"show_legend", double(ini->Get_show_legend()), 1}, {"draw_cursor", double(ini->Get_draw_cursor()), 0},
        {"show_left_grid", double(ini->Get_show_left_grid()), 1},
        {"pressure_color", double(ini->Get_pressure_color()), double(0x00CA6500)},
        {"temperature_color", double(ini->Get_temperature_color()), double(0x001111FF)},
        {"pressure_digits", double(ini->Get_pressure_digits()), 3},
        {"temperature_digits", double(ini->Get_temperature_digits()), 2},
        {"dbRetentionDays", double(ini->Get_dbRetentionDays()), 0},
        {"dbRetentionMB", double(ini->Get_dbRetentionMB()), 0},
        {"dbRequireTLS", double(ini->Get_dbRequireTLS()), 0},
    };
    for (const auto &n : numbers)
        EXPECT_DOUBLE_EQ(n.value, n.expected) << n.name;

    for (const QString &dir : {ini->Get_ExportDir(), ini->Get_dbSQLitePath(), ini->Get_IconPath(), ini->Get_log_file_dir()}) {
        EXPECT_TRUE(dir.startsWith(userData + QStringLiteral("/Orvel_IIC_Zorbit/"))) << dir.toStdString();
        EXPECT_TRUE(QFileInfo(dir).isDir()) << dir.toStdString();
    }
    EXPECT_TRUE(ini->Get_ExportDir().endsWith(QStringLiteral("/MeasuringData")));
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_FALSE(QFile::exists(ini->fileName())) << "reading creates no file";
}

TEST_F(Settings, WritesReachTheFileAtOnceAndReadBack)
{
    auto ini = open();
    ini->Set_style(4);
    ini->Set_Language(QStringLiteral("german.lang"));
    ini->Set_show_legend(false);
    ini->Set_pressure_color(0x000000FF);
    ini->Set_temperature_color(0x00123456);
    EXPECT_EQ(fileContent(), QByteArray("[GUI]\nstyle=4\n\n[general]\nlanguage=german.lang\n\n[viewer]\nlegend=0\n"
                                        "p_color=clRed\nt_color=$00123456\n"));
    auto again = open();
    EXPECT_EQ(again->Get_style(), 4);
    EXPECT_FALSE(again->Get_show_legend());
    EXPECT_EQ(again->Get_temperature_color(), 0x00123456u);
}

TEST_F(Settings, RetentionLimitsAreKeptWithTheRecordingFolder)
{
    auto ini = open();
    ini->Set_dbSQLitePath(QStringLiteral("/srv/runs"));
    ini->Set_dbRetentionDays(30);
    ini->Set_dbRetentionMB(500);
    EXPECT_EQ(fileContent(), QByteArray("[dbconfig]\nsqlitePath=/srv/runs\nretentionDays=30\nretentionMB=500\n"));
    auto again = open();
    EXPECT_EQ(again->Get_dbRetentionDays(), 30);
    EXPECT_EQ(again->Get_dbRetentionMB(), 500);
}

TEST_F(Settings, ServerConnectionIsKeptInDbconfig)
{
    auto ini = open();
    ini->Set_dbType(QStringLiteral("mysql"));
    ini->Set_dbHost(QStringLiteral("db.lab"));
    ini->Set_dbPort(3307);
    ini->Set_dbName(QStringLiteral("runs"));
    ini->Set_dbLoginName(QStringLiteral("bench"));
    ini->Set_dbTimeout(12);
    ini->Set_dbRequireTLS(true);
    EXPECT_EQ(fileContent(), QByteArray("[dbconfig]\ndbtype=mysql\nhost=db.lab\nport=3307\ndatabasename=runs\n"
                                        "loginname=bench\ntimeout=12\nrequireTLS=1\n"));
    auto again = open();
    EXPECT_EQ(again->Get_dbHost(), QStringLiteral("db.lab"));
    EXPECT_EQ(again->Get_dbPort(), 3307);
    EXPECT_EQ(again->Get_dbName(), QStringLiteral("runs"));
    EXPECT_EQ(again->Get_dbLoginName(), QStringLiteral("bench"));
    EXPECT_EQ(again->Get_dbTimeout(), 12);
    EXPECT_TRUE(again->Get_dbRequireTLS());
    again->Set_dbRequireTLS(false);
    EXPECT_FALSE(open()->Get_dbRequireTLS());
}

TEST_F(Settings, GuiSectionIsOneWhateverItsCase)
{
    for (bool styleFirst : {true, false}) {
        QFile::remove(folder + QStringLiteral("/Orvel_IIC_Addr.ini"));
        auto ini = open();
        std::function<void()> writes[] = {[&] { ini->Set_style(2); },
                                          [&] { ini->writeGeometry(QStringLiteral("Tmain_Form"), {10, 20, 997, 727, 0}); }};
        if (!styleFirst)
            std::swap(writes[0], writes[1]);
        writes[0]();
        writes[1]();
        const QByteArray content = fileContent().toLower();
        EXPECT_EQ(content.count("[gui]"), 1) << content.toStdString();
        EXPECT_EQ(ini->Get_style(), 2);
        EXPECT_EQ(ini->readGeometry(QStringLiteral("Tmain_Form")).left, 10);
    }
}

TEST_F(Settings, IntegerEncodings)
{
    store("[dbconfig]\nport=0x0CEA\ntimeout=$1E\n[GUI]\nstyle=abc\ntree_width=-5\n[viewer]\ncursor=2\nlegend=0\n");
    auto ini = open();
    EXPECT_EQ(ini->Get_dbPort(), 3306);
    EXPECT_EQ(ini->Get_dbTimeout(), 30);
    EXPECT_EQ(ini->Get_style(), 3) << "unparsable reads as the default";
    EXPECT_EQ(ini->Get_tree_width(), -5);
    EXPECT_TRUE(ini->Get_draw_cursor());
    EXPECT_FALSE(ini->Get_show_legend());
}

TEST_F(Settings, AxisLimitsReadLenientlyInEveryLocale)
{
    for (const QLocale &locale : {LocaleGuard::pointLocale(), LocaleGuard::commaLocale()}) {
        LocaleGuard guard(locale);
        store("[viewer]\nl_max=2,5\nr_max=2.5\nl_min=-1;25\n");
        auto ini = open();
        EXPECT_DOUBLE_EQ(ini->Get_l_max(), 2.5);
        EXPECT_DOUBLE_EQ(ini->Get_r_max(), 2.5);
        EXPECT_DOUBLE_EQ(ini->Get_l_min(), -1.25);
    }
    EXPECT_TRUE(reported.isEmpty());
}

TEST_F(Settings, UnreadableValuesFallBackAndAreReportedOnce)
{
    store("[viewer]\nl_max=two\nr_min=1.2.3\np_color=clNoSuchColour\nt_color=$XYZ\n");
    auto ini = open();
    EXPECT_DOUBLE_EQ(ini->Get_l_max(), 1.0);
    EXPECT_DOUBLE_EQ(ini->Get_r_min(), 0.0);
    EXPECT_EQ(ini->Get_pressure_color(), 0x00CA6500u);
    EXPECT_EQ(ini->Get_temperature_color(), 0x001111FFu);
    ASSERT_EQ(reported.size(), 4);
    EXPECT_TRUE(reported[0].startsWith(QStringLiteral("l_max: ")));
    EXPECT_TRUE(reported[0].contains(QStringLiteral("two")));
    EXPECT_TRUE(reported[2].startsWith(QStringLiteral("p_color: ")));
}

TEST_F(Settings, IncrementsReadWithTheLocaleSeparatorOnly)
{
    store("[viewer]\nleft_increment=0.002\nright_increment=\n");
    {
        LocaleGuard guard(LocaleGuard::pointLocale());
        auto ini = open();
        EXPECT_DOUBLE_EQ(ini->Get_left_increment(), 0.002);
        EXPECT_DOUBLE_EQ(ini->Get_right_increment(), 0.05);
    }
    LocaleGuard guard(LocaleGuard::commaLocale());
    auto ini = open();
    EXPECT_DOUBLE_EQ(ini->Get_left_increment(), 0.001);
    ini->Set_left_increment(0.0025);
    EXPECT_TRUE(fileContent().contains("left_increment=0,0025"));
    EXPECT_DOUBLE_EQ(ini->Get_left_increment(), 0.0025);
    ini->Set_right_increment(1234567.5);
    EXPECT_TRUE(fileContent().contains("right_increment=1234567,5")) << "no group separators";
}

TEST_F(Settings, GeometryWithMinusOneAsAbsent)
{
    store("[GUI]\nTmain_Form_left=-1\nTmain_Form_top=40\n");
    auto ini = open();
    const TFormGeometry g = ini->readGeometry(QStringLiteral("Tmain_Form"));
    EXPECT_EQ(g.left, -1);
    EXPECT_EQ(g.top, 40);
    EXPECT_EQ(g.width, -1);
    EXPECT_EQ(g.state, -1);

    ini->writeGeometry(QStringLiteral("TlogForm"), {1, 2, 3, 4, 2});
    const TFormGeometry maximised = ini->readGeometry(QStringLiteral("TlogForm"));
    EXPECT_EQ(maximised.left, -1) << "a maximised window keeps its normal geometry";
    EXPECT_EQ(maximised.state, 2);
}

TEST_F(Settings, FileBesideTheProgramMovesOnce)
{
    writeFile(exeDir + QStringLiteral("/Orvel_IIC_Addr.ini"), "[GUI]\nstyle=5\n");
    EXPECT_EQ(open()->Get_style(), 5);
    EXPECT_FALSE(QFile::exists(exeDir + QStringLiteral("/Orvel_IIC_Addr.ini")));

    writeFile(exeDir + QStringLiteral("/Orvel_IIC_Addr.ini"), "[GUI]\nstyle=1\n");
    EXPECT_EQ(open()->Get_style(), 5) << "the user's file is not replaced";
    EXPECT_TRUE(QFile::exists(exeDir + QStringLiteral("/Orvel_IIC_Addr.ini")));
}

TEST_F(Settings, RefusedWriteIsKeptInMemoryAndToldOnce)
{
    folder = fRoot.filePath(QStringLiteral("Access Denied"));
    auto ini = open();
    EXPECT_FALSE(ini->writeProblem().isEmpty()) << "found when the store opens";
    EXPECT_EQ(ini->Get_style(), 3);
    ini->Set_style(1);
    QStringList told;
    ini->setWriteFailureReporter([&](const QString &file, const QString &reason) { told.append(file + u'|' + reason); });
    ini->Set_style(2);
    ini->Set_LogCommunicationMode(0);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith(ini->fileName() + u'|'));
    EXPECT_EQ(ini->Get_style(), 2);
    EXPECT_EQ(ini->Get_LogCommunicationMode(), 0);
}

TEST_F(Settings, StoredSizesAreClampedToWhatTheDialogsOffer)
{
    struct {
        const char *stored;
        int leftDecimals, rightDecimals, pressureDigits, temperatureDigits, fileSize, retentionDays, retentionMB;
    } cases[] = {
        {"left_decimals=2147483647\nright_decimals=99999\np_digits=100000\nT_digits=6\n[logFile]\nFileSize=-5\n"
         "[dbconfig]\nretentionDays=2147483647\nretentionMB=1000001\n",
         8, 8, 5, 5, 0, TIniHandler::MaxRetentionDays, TIniHandler::MaxRetentionMB},
        {"left_decimals=-1\nright_decimals=-2147483648\np_digits=-1\nT_digits=-7\n[dbconfig]\nretentionDays=-1\n"
         "retentionMB=-30\n",
         0, 0, 0, 0, 1000000, 0, 0},
        {"left_decimals=4\nright_decimals=0\np_digits=5\nT_digits=0\n[dbconfig]\nretentionDays=90\nretentionMB=$400\n",
         4, 0, 5, 0, 1000000, 90, 1024},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        store(QByteArray("[viewer]\n") + c.stored);
        auto ini = open();
        EXPECT_EQ(ini->Get_l_decimals(), c.leftDecimals);
        EXPECT_EQ(ini->Get_r_decimals(), c.rightDecimals);
        EXPECT_EQ(ini->Get_pressure_digits(), c.pressureDigits);
        EXPECT_EQ(ini->Get_temperature_digits(), c.temperatureDigits);
        EXPECT_EQ(ini->Get_LogFilesize(), c.fileSize);
        EXPECT_EQ(ini->Get_dbRetentionDays(), c.retentionDays);
        EXPECT_EQ(ini->Get_dbRetentionMB(), c.retentionMB);
    }
}

TEST_F(Settings, FileIsReadOnceAndKeptInMemory)
{
    store("[GUI]\nstyle=5\n");
    auto ini = open();
    EXPECT_EQ(ini->Get_style(), 5);
    store("[GUI]\nstyle=1\n");
    EXPECT_EQ(ini->Get_style(), 5) << "read again";
    ini->Set_tree_width(12);
    EXPECT_EQ(fileContent(), QByteArray("[GUI]\nstyle=5\ntree_width=12\n")) << "writes go through at once";
}

TEST_F(Settings, LinesNotWrittenKeepTheirBytes)
{
    // Latin-1 and broken UTF-8 of the user's own, a line without line end at the very end.
    const QByteArray own = "; Notiz f\xfcr M\xfcller\r\n[user]\nname=M\xfcller\nbroken=\xC0\x8A\xED\xA0\x80\n[GUI]\nstyle=5";
    store(own);
    auto ini = open();
    ini->Set_style(2);
    ini->Set_tree_width(7);
    EXPECT_EQ(fileContent(), QByteArray("; Notiz f\xfcr M\xfcller\n[user]\nname=M\xfcller\nbroken=\xC0\x8A\xED\xA0\x80\n"
                                        "[GUI]\nstyle=2\ntree_width=7\n"));
}

TEST(FormBounds, PlacedOnAScreenAtMostAsLargeAsTheScreens)
{
    const QList<QRect> screens = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    const QRect home = screens[0];
    const QSize designed(997, 727);
    const QRect centred(461, 176, 997, 727);
    struct {
        const char *what;
        qint64 left, top, width, height;
        QRect placed;
    } cases[] = {
        {"on the first screen", 100, 50, 800, 600, QRect(100, 50, 800, 600)},
        {"across both screens", 1500, 100, 1000, 600, QRect(1500, 100, 1000, 600)},
        {"on the second screen", 2000, 100, 800, 600, QRect(2000, 100, 800, 600)},
        {"as wide as both", 0, 0, 3200, 1024, QRect(0, 0, 3200, 1024)},
        {"wider than both", 0, 0, 3201, 600, centred},
        {"huge", 0, 0, 40000, 40000, centred},
        {"largest integer", 0, 0, 2147483647, 2147483647, centred},
        {"off to the left", -30000, 50000, 800, 600, centred},
        {"largest position", 2147483647, 2147483647, 800, 600, centred},
        {"below the second screen's bottom", 2000, 1030, 800, 600, centred},
        {"only a sliver on screen", -795, 100, 800, 600, centred},
        {"zero size", 100, 100, 0, 600, centred},
    };
    for (const auto &c : cases)
        EXPECT_EQ(form_bounds::placed(c.left, c.top, c.width, c.height, designed, screens, home), c.placed) << c.what;
    // A screen smaller than the design: the window starts at the screen's corner.
    EXPECT_EQ(form_bounds::placed(-5000, 0, 300, 300, designed, {QRect(0, 0, 800, 600)}, QRect(0, 0, 800, 600)),
              QRect(QPoint(0, 0), designed));
}

TEST(ColorTexts, NamesAndHexadecimal)
{
    struct {
        uint32_t color;
        const char *text;
    } cases[] = {{0x00C0C0C0, "clSilver"}, {0x00000000, "clBlack"}, {0x00A4A0A0, "clMedGray"},
                 {0x00CA6500, "$00CA6500"}, {0x001111FF, "$001111FF"}, {0xFF000000, "$FF000000"}};
    for (const auto &c : cases) {
        EXPECT_EQ(ColorText::toText(c.color), QString::fromLatin1(c.text));
        uint32_t back = 1;
        ASSERT_TRUE(ColorText::fromText(QString::fromLatin1(c.text), back)) << c.text;
        EXPECT_EQ(back, c.color);
    }
    uint32_t color = 7;
    EXPECT_TRUE(ColorText::fromText(QStringLiteral("clsilver"), color));
    EXPECT_EQ(color, 0x00C0C0C0u);
    EXPECT_TRUE(ColorText::fromText(QStringLiteral("255"), color));
    EXPECT_EQ(color, 255u);
    for (const char *bad : {"", "clPink", "$12G", "#FF0000"})
        EXPECT_FALSE(ColorText::fromText(QString::fromLatin1(bad), color)) << bad;
}
