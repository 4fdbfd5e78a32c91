// The chart's appearance in section "Chart" of the settings file.
#include "services/settings/IniHandler.h"
#include "views/chart/chart_props.h"
#include "qt_printers.h"
#include "temp_data_folders.h"

#include <QFile>
#include <QRegularExpression>

namespace {

class ChartProps : public TempDataFolders
{
protected:
    void SetUp() override
    {
        TempDataFolders::SetUp();
        folder = fRoot.filePath(QStringLiteral("settings"));
        QDir().mkpath(folder);
        ini = std::make_unique<TIniHandler>(folder, fRoot.filePath(QStringLiteral("bin")));
    }
    QString path() const { return folder + QStringLiteral("/Orvel_IIC_Addr.ini"); }
    // The file as the user left it, read by a store opened afresh (a store reads its file once).
    void write(const QByteArray &content)
    {
        {
            QFile f(path());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        ini = std::make_unique<TIniHandler>(folder, fRoot.filePath(QStringLiteral("bin")));
    }
    QStringList lines() const
    {
        QFile f(path());
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return QString::fromLocal8Bit(f.readAll()).split(QRegularExpression("\r?\n"), Qt::SkipEmptyParts);
    }

    QString folder;
    std::unique_ptr<TIniHandler> ini;
};

// A layout unlike every default.
TChartProps laid_out()
{
    TChartProps p;
    p.left = {0xC08000, 2, 0x102030, 0x405060, 0xFFD784};
    p.bottom = {0x808080, 3, 0x0000FF, 0x00FF00, 0xFF0000};
    p.right = {0x4080FF, 4, 0x111111, 0x222222, 0x91B5FF};
    p.back_color = 0xF0FBFF;
    p.gradient = true;
    p.gradient_start = 0x800000;
    p.gradient_middle = 0x008080;
    p.gradient_end = 0x00FFFF;
    p.gradient_direction = 7;
    return p;
}

} // namespace

TEST_F(ChartProps, SavedSectionReadsBackAndKeepsTheKeyOrder)
{
    write("[viewer]\nl_min=0\n");
    save_chart_props(*ini, laid_out());
    TChartProps read;
    ASSERT_TRUE(read_chart_props(*ini, read));
    EXPECT_TRUE(read == laid_out());

    const QStringList expected = {
        "[Chart]",
        "LeftAxis_Axis_Color=$00C08000",      "BottomAxis_Axis_Color=clGray",       "RightAxis_Axis_Color=$004080FF",
        "LeftAxis_Axis_Width=2",              "BottomAxis_Axis_Width=3",            "RightAxis_Axis_Width=4",
        "LeftAxis_Ticks_Color=$00102030",     "BottomAxis_Ticks_Color=clRed",       "RightAxis_Ticks_Color=$00111111",
        "LeftAxis_LabelsFont_Color=$00405060",
        "BottomAxis_LabelsFont_Color=clLime",
        "RightAxis_LabelsFont_Color=$00222222",
        "LeftAxis_Grid_Color=$00FFD784",      "BottomAxis_Grid_Color=clBlue",       "RightAxis_Grid_Color=$0091B5FF",
        "Back_Panel_Color=clCream",           "Gradient=1",                         "Gradient_StartColor=clNavy",
        "Gradient_MidColor=clOlive",          "Gradient_EndColor=clYellow",         "Gradient_Direction=7"};
    const QStringList all = lines();
    const qsizetype start = all.indexOf(QStringLiteral("[Chart]"));
    ASSERT_GE(start, 0) << all.join(u'\n').toStdString();
    EXPECT_EQ(all.mid(start), expected);
    EXPECT_EQ(all.mid(0, 2), (QStringList{"[viewer]", "l_min=0"}));
}

TEST_F(ChartProps, AbsentSectionLeavesTheLayout)
{
    const QByteArray files[] = {QByteArray(), "[viewer]\nLeftAxis_Axis_Width=9\n[Chart2]\nGradient=1\n"};
    for (const QByteArray &content : files) {
        QFile::remove(path());
        if (!content.isEmpty())
            write(content);
        TChartProps props = laid_out();
        EXPECT_FALSE(read_chart_props(*ini, props));
        EXPECT_TRUE(props == laid_out());
    }
}

TEST_F(ChartProps, MissingKeysTakeTheirDefaults)
{
    // Section names match without regard to case; a value that is no colour falls back too.
    write("[chart]\nRightAxis_Axis_Width=5\nBottomAxis_Grid_Color=$000000FF\nGradient_Direction=3\n"
          "LeftAxis_Axis_Color=no colour\n");
    TChartProps props = laid_out();
    ASSERT_TRUE(read_chart_props(*ini, props));
    TChartProps expected; // the defaults
    expected.right.axis_width = 5;
    expected.bottom.grid_color = 0x0000FF;
    expected.gradient_direction = 3;
    EXPECT_TRUE(props == expected);
    EXPECT_EQ(expected.left.axis_color, 0x000000u);
    EXPECT_EQ(expected.left.grid_color, 0xC0C0C0u);
    EXPECT_EQ(expected.back_color, 0xFFFFFFu);
    EXPECT_FALSE(expected.gradient);
    EXPECT_EQ(expected.gradient_start, 0x808080u);
    EXPECT_EQ(expected.gradient_middle, 0xC0C0C0u);
    EXPECT_EQ(expected.gradient_end, 0xFFFFFFu);

    // An empty section is a section.
    write("[Chart]\n");
    props = laid_out();
    ASSERT_TRUE(read_chart_props(*ini, props));
    EXPECT_TRUE(props == TChartProps());
}
