// Transmitter operations against the simulated adapter with zero USB latency: the time an
// operation takes beyond the waits its protocol prescribes is the program's own overhead.
#include "transmitter/OrvelHandler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <dlfcn.h>
#include <functional>

namespace {

// The simulator takes its scenario from the environment when it is first loaded.
T_Orvel_Handler &connectedHandler()
{
    static QTemporaryDir dir;
    static std::unique_ptr<T_Orvel_Handler> handler;
    if (!handler) {
        const QString scenario = dir.filePath(QStringLiteral("bench.ini"));
        QFile file(scenario);
        file.open(QIODevice::WriteOnly);
        file.write("[adapter]\nlatency_ms = 0\n[transmitter.main]\naddress = 0x28\n");
        file.close();
        setenv("IOWSIM_SCENARIO", scenario.toLocal8Bit().constData(), 1);
        setenv("IOWSIM_STATE", "", 1);
        handler = std::make_unique<T_Orvel_Handler>(nullptr);
        if (handler->detect_dongle()) {
            handler->disable_SPI();
            handler->switch_OFF();
            handler->switch_ON();
            handler->enable_IIC();
            handler->get_slave_address();
        }
    }
    return *handler;
}

void timeOperation(benchmark::State &state, const std::function<bool(T_Orvel_Handler &)> &operation,
                   double prescribedWaitMs)
{
    T_Orvel_Handler &handler = connectedHandler();
    if (!operation(handler)) {
        state.SkipWithError("the simulated transmitter did not answer (is build-bench/sim on LD_LIBRARY_PATH?)");
        return;
    }
    double wallMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(operation(handler));
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["ratio_to_waits"] = wallMs / (double(state.iterations()) * prescribedWaitMs);
}

} // namespace

static void BM_GetDeviceScaling(benchmark::State &state)
{
    timeOperation(state, [](T_Orvel_Handler &h) { return h.get_device_scaling(); }, 7 * 5 + 20);
}
BENCHMARK(BM_GetDeviceScaling)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

static void BM_GetDeviceMemory(benchmark::State &state)
{
    timeOperation(state, [](T_Orvel_Handler &h) { return h.get_device_memory(); }, 25 * 5);
}
BENCHMARK(BM_GetDeviceMemory)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Outside command mode the chip acknowledges and ignores the words, so its pages stay unused.
static void BM_SetDeviceMemory(benchmark::State &state)
{
    timeOperation(state, [](T_Orvel_Handler &h) { return h.set_device_memory(); }, 23 * 20);
}
BENCHMARK(BM_SetDeviceMemory)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);

static void BM_GetMeasurement(benchmark::State &state)
{
    timeOperation(state, [](T_Orvel_Handler &h) { return h.get_measurement(); }, 10);
}
BENCHMARK(BM_GetMeasurement)->UseRealTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

namespace {

// The simulator's switch for an adapter that takes requests and never answers them.
void setSilentBus(bool silent)
{
    using SetFault = int (*)(int, int, int);
    constexpr int DropAnswers = 3; // IOWSIM_FAULT_DROP_ANSWERS
    void *library = dlopen("libiowkit.so.1", RTLD_NOW | RTLD_NOLOAD);
    if (!library)
        return;
    if (auto setFault = reinterpret_cast<SetFault>(dlsym(library, "iowsim_set_fault")))
        setFault(-1, DropAnswers, silent ? 1 : 0);
    dlclose(library);
}

// What the scan worker runs after a failure, every step called even when one before it failed.
bool scanCycle(T_Orvel_Handler &h)
{
    bool ok = h.detect_dongle() && h.disable_SPI() && h.disable_IIC() && h.switch_OFF() && h.switch_ON() &&
              h.enable_IIC();
    ok = h.get_slave_address() && ok;
    ok = h.get_device_scaling() && ok;
    ok = h.get_device_memory() && ok;
    return h.get_measurement() && ok;
}

} // namespace

// A bus whose adapter never answers: the cycle ends after three read timeouts of 1000 ms.
static void BM_ScanCycleSilentBus(benchmark::State &state)
{
    T_Orvel_Handler &handler = connectedHandler();
    setSilentBus(true);
    double wallMs = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(scanCycle(handler));
        wallMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (!handler.Get_adapter_lost())
            state.SkipWithError("the silent adapter was not given up");
    }
    setSilentBus(false);
    state.counters["read_timeouts"] = wallMs / (double(state.iterations()) * 1000.0);
    // Back to a working bus for the benchmarks after this one; the first probe takes the
    // answers that never came.
    scanCycle(handler);
}
BENCHMARK(BM_ScanCycleSilentBus)->UseRealTime()->Unit(benchmark::kMillisecond)->Iterations(2);
