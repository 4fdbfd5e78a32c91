#include "services/settings/IniHandler.h"
#include "main_window_fixture.h"
#include "services/dialogs/themes.h"

#include <QFile>
#include <QRegularExpression>

namespace {

QStringList logMessages()
{
    QFile file(MainWindowTest::home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList messages;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        messages.append(line.section(u'\t', 3));
    return messages;
}

using Startup = MainWindowTest;

} // namespace

TEST_F(Startup, LogHeaderOpensEveryRun)
{
    ASSERT_TRUE(waitFor([] { return logMessages().join(u'\n').contains(QStringLiteral("User : ")); }));
    const QStringList messages = logMessages();
    qsizetype version = -1;
    for (qsizetype i = 0; i < messages.size(); ++i)
        if (messages[i].contains(QRegularExpression(QStringLiteral("^-+ +QUARNE Orvel : IIC Zorbit"))))
            version = i;
    ASSERT_GE(version, 2);
    EXPECT_EQ(messages[version - 1], QString());
    EXPECT_EQ(messages[version - 2], QString());
    EXPECT_TRUE(messages[version].contains(QStringLiteral("Version: 1.3 Version allows Addr 0x00(")));
    EXPECT_TRUE(messages[version].endsWith(QStringLiteral(") ---------------------------")));
    ASSERT_GT(messages.size(), version + 4);
    EXPECT_TRUE(messages[version + 1].startsWith(QStringLiteral("Logfile : ")));
    EXPECT_TRUE(messages[version + 1].endsWith(QStringLiteral("Orvel_IIC_Zorbit/logs")));
    EXPECT_TRUE(messages[version + 2].startsWith(QStringLiteral("User : ")));
    EXPECT_TRUE(messages[version + 3].startsWith(QStringLiteral("User : ")));
    EXPECT_TRUE(messages[version + 3].contains(u'\\')) << "host and login";
    EXPECT_EQ(messages[version + 4], QString());
}

TEST_F(Startup, StatusBarTextsAndLampColours)
{
    form->set_status(QStringLiteral("left"), QStringLiteral("middle"), QStringLiteral("right"));
    EXPECT_EQ(text("status_left_label"), QStringLiteral("left"));
    EXPECT_EQ(text("status_middle_label"), QStringLiteral("middle"));
    EXPECT_EQ(text("status_right_label"), QStringLiteral("right"));
    form->set_status_middle(QStringLiteral("other"));
    EXPECT_EQ(text("status_middle_label"), QStringLiteral("other"));

    const struct {
        int index;
        QColor colour;
    } lamps[] = {{1, QColor(128, 255, 0)}, {2, QColor(255, 0, 0)}, {3, QColor(0, 165, 244)}};
    for (const auto &lamp : lamps) {
        form->set_led(lamp.index);
        EXPECT_EQ(TColorToQColor(child<TShape>("led_Shape")->Get_brush_color()), lamp.colour) << lamp.index;
    }
}

TEST_F(Startup, ClockAppearsAboutTwoSecondsAfterCreation)
{
    EXPECT_TRUE(text("status_right_label").isEmpty());
    QTest::qWait(1500);
    EXPECT_TRUE(text("status_right_label").isEmpty()) << "the clock starts with the deferred start-up";
    ASSERT_TRUE(waitFor([this] { return !text("status_right_label").isEmpty(); }, 3000));
    EXPECT_TRUE(text("status_right_label").contains(QRegularExpression(QStringLiteral(" \\d\\d:\\d\\d:\\d\\d$"))));
}

TEST_F(Startup, ScanStartsOneSecondLaterAndFillsThePanel)
{
    ASSERT_TRUE(waitForScan());
    EXPECT_EQ(child<QLineEdit>("calibrationdate_ed")->text(), QStringLiteral("07.04.2019"));
    EXPECT_TRUE(form->session().scan_running());
}

namespace {

class StoredStyle : public MainWindowTest, public ::testing::WithParamInterface<int>
{
protected:
    void SetUp() override
    {
        home();
        QDir().mkpath(QFileInfo(settingsFile()).path());
        QFile::remove(settingsFile());
        TIniHandler(QFileInfo(settingsFile()).path(), QString()).Set_style(GetParam());
        themes::apply(QStringLiteral("Amethyst Kamri"));
        MainWindowTest::SetUp();
    }
    void TearDown() override
    {
        MainWindowTest::TearDown();
        QFile::remove(settingsFile());
    }
};

} // namespace

TEST_P(StoredStyle, OutsideTheListLeavesTheStartUpTheme)
{
    ASSERT_TRUE(waitFor([this] { return !text("status_right_label").isEmpty(); }, 4000)) << "deferred start-up ran";
    const int stored = GetParam();
    const QStringList names = themes::names();
    const QString expected = stored >= 0 && stored < names.size() ? names[stored] : QStringLiteral("Amethyst Kamri");
    EXPECT_EQ(themes::activeName(), expected);
}

INSTANTIATE_TEST_SUITE_P(Indexes, StoredStyle, ::testing::Values(-1, 6, 4, 0));

TEST_F(Startup, GeometryStoredOnCloseAndRestoredOnStart)
{
    form->setGeometry(40, 50, 990, 720); // between the minimum and the designed size
    const QRect outer = form->frameGeometry();
    form->close();
    form.reset();
    form = std::make_unique<Tmain_Form>();
    // The outer size is the window system's once the window is on the screen.
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    EXPECT_EQ(form->frameGeometry().topLeft(), outer.topLeft());
    EXPECT_EQ(form->frameGeometry().size(), outer.size());
    QFile::remove(settingsFile());
}

namespace {

// The event log's lines of the level "Error", whole.
QStringList errorLines()
{
    QFile file(MainWindowTest::home().filePath(QStringLiteral("data/Orvel_IIC_Zorbit/logs/log.txt")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList errors;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        if (line.section(u'\t', 2, 2) == QStringLiteral("Error"))
            errors.append(line);
    return errors;
}

// Closed while the scan worker, or the measurement worker of a run, is in the middle of a cycle.
class Closing : public MainWindowTest, public ::testing::WithParamInterface<bool>
{
};

} // namespace

TEST_P(Closing, WritesNoErrorLinesForTheCycleItCutShort)
{
    const bool run = GetParam();
    ASSERT_TRUE(waitForScan());
    if (run) {
        child<QPushButton>("start_btn")->click();
        ASSERT_TRUE(waitFor([this] { return form->session().meas_running(); }));
    }
    // The worker waits for a late answer and has the rest of its cycle before it.
    sim.iowsim_delay_answer(1, 150);
    sim.iowsim_clear_traffic();
    ASSERT_TRUE(waitFor([this] {
        for (const iowsim_report &r : sim.takeTraffic())
            if (r.direction == IOWSIM_TO_ADAPTER && r.pipe == 1 && (r.data[0] == 0x02 || r.data[0] == 0x03))
                return true;
        return false;
    }));
    form->close();
    form.reset();
    // The writer keeps the order: once this line is in the file, so is every line before it.
    const QString marker = QStringLiteral("closed, run %1").arg(run);
    TLogFile::getInstance()->addEvent(catNone, lNormal, marker);
    ASSERT_TRUE(waitFor([&marker] { return logMessages().contains(marker); }));
    EXPECT_EQ(errorLines(), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Workers, Closing, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool> &info) { return info.param ? "Run" : "Scan"; });
