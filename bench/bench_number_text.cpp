// Number texts are made for every measurement shown (numbers, table rows), up to 100 per second.
#include "transmitter/OrvelDevice.h"

#include <benchmark/benchmark.h>

static void BM_PressureText(benchmark::State &state)
{
    T_OrvelDevice device;
    device.Set_pmax(10);
    device.Set_pressure_digits(int(state.range(0)));
    int32_t raw = 0x4000;
    for (auto _ : state) {
        device.Set_pressure_U16_raw(raw);
        benchmark::DoNotOptimize(device.Get_pressure_as_String());
        raw = (raw + 977) & 0xFFFF;
    }
}
BENCHMARK(BM_PressureText)->Arg(0)->Arg(3)->Arg(5);
