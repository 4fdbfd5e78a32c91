// One Position change of the main window's instruments, as every shown measurement makes.
#include "bench_app.h"
#include "views/instruments/instrument_design.h"

#include <QApplication>
#include <benchmark/benchmark.h>
#include <memory>


static void BM_GaugePosition(benchmark::State &state)
{
    benchApplication();
    TAnalogDisplay gauge;
    instrument_design::DesignGauge(gauge);
    gauge.resize(313, 530);
    gauge.SetScaleMin(0);
    gauge.SetScaleMax(10);
    double position = 0;
    for (auto _ : state) {
        position = position >= 10 ? 0 : position + 0.37;
        gauge.SetPosition(position);
    }
}
BENCHMARK(BM_GaugePosition)->Unit(benchmark::kMillisecond);

static void BM_BarPosition(benchmark::State &state)
{
    benchApplication();
    TBarDisplay bar;
    instrument_design::DesignBar(bar, instrument_design::Bar::Pressure);
    bar.resize(107, 238);
    bar.SetScale_Min(-1);
    bar.SetScale_Max(11);
    double position = 0;
    for (auto _ : state) {
        position = position >= 11 ? -1 : position + 0.37;
        bar.SetPosition(position);
    }
}
BENCHMARK(BM_BarPosition)->Unit(benchmark::kMillisecond);
