// Start-up with a settings file grown to 60 MB (lines of the user's own): the store reads it once,
// so the start costs one read however many settings the program asks for; a write at close
// rewrites the file once.
#include "services/settings/IniHandler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr qint64 FileBytes = 60 * 1000 * 1000;

struct LargeSettings {
    LargeSettings()
    {
        QFile f(QDir(folder.path()).filePath(QStringLiteral("Orvel_IIC_Addr.ini")));
        f.open(QIODevice::WriteOnly);
        f.write("[general]\nlanguage=english.lang\n[GUI]\nstyle=3\nTmain_Form_left=100\n[viewer]\np_digits=3\n"
                "left_decimals=3\nl_max=2.5\n[user]\n");
        for (qint64 n = 0; f.size() < FileBytes; ++n)
            f.write(QStringLiteral("entry%1=a value of the user's own that the program does not read\n")
                        .arg(n, 8, 10, QLatin1Char('0'))
                        .toLatin1());
        bytes = f.size();
    }
    QTemporaryDir folder;
    qint64 bytes = 0;
};

LargeSettings &settings()
{
    static LargeSettings large;
    return large;
}

// What the main window, the chart and the log read while the program starts.
int readAtStart(const TIniHandler &ini)
{
    int sum = ini.Get_Language().size() + ini.Get_style() + ini.Get_pressure_digits() + ini.Get_temperature_digits();
    sum += ini.Get_LogDBMode() + ini.Get_LogTranslatorMode() + ini.Get_LogCoreMode() + ini.Get_LogCommunicationMode() +
           ini.Get_LogViewerMode() + ini.Get_LogConverterMode() + ini.Get_LogFilesize();
    sum += int(ini.Get_l_min() + ini.Get_l_max() + ini.Get_r_min() + ini.Get_r_max()) + ini.Get_axismode() +
           ini.Get_l_decimals() + ini.Get_r_decimals() + int(ini.Get_left_increment() + ini.Get_right_increment());
    sum += int(ini.Get_show_left_grid()) + int(ini.Get_show_right_grid()) + int(ini.Get_pressure_color() & 1) +
           int(ini.Get_temperature_color() & 1) + int(ini.hasSection(QStringLiteral("Chart")));
    const TFormGeometry g = ini.readGeometry(QStringLiteral("Tmain_Form"));
    return sum + g.left + g.top + g.width + g.height + g.state;
}

void BM_StartWith60MBSettingsFile(benchmark::State &state)
{
    LargeSettings &large = settings();
    for (auto _ : state) {
        TIniHandler ini(large.folder.path(), large.folder.path());
        benchmark::DoNotOptimize(readAtStart(ini));
    }
    state.SetBytesProcessed(state.iterations() * large.bytes);
}
BENCHMARK(BM_StartWith60MBSettingsFile)->Unit(benchmark::kMillisecond);

void BM_OneWriteTo60MBSettingsFile(benchmark::State &state)
{
    LargeSettings &large = settings();
    TIniHandler ini(large.folder.path(), large.folder.path());
    int value = 0;
    for (auto _ : state)
        ini.Set_style(++value % 6);
    state.SetBytesProcessed(state.iterations() * large.bytes);
}
BENCHMARK(BM_OneWriteTo60MBSettingsFile)->Unit(benchmark::kMillisecond);

} // namespace
