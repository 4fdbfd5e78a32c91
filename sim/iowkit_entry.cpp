// The 17 entry points of the adapter maker's library, answered by the simulation.
#include "exports.h"
#include "simulator.h"

#include <algorithm>
#include <cstring>
#include <thread>
#include <unistd.h>
#include <vector>

using iowsim::Adapter;
using iowsim::Clock;
using iowsim::Simulator;

namespace {

// A timeout of "forever" must not overflow the clock.
iowsim::TimePoint deadlineAfter(unsigned long ms) {
    return Clock::now() + iowsim::Millis(std::min(ms, 0xFFFFFFFFUL));
}

unsigned long deliver(Simulator &sim, std::size_t adapter, const iowsim::Report &report, unsigned long pipe,
                      char *buffer) {
    std::memcpy(buffer, report.bytes, report.length);
    sim.traffic().record(static_cast<int>(adapter), IOWSIM_FROM_ADAPTER, pipe, report.bytes, report.length);
    return static_cast<unsigned long>(report.length);
}

// Lock held: closes every open adapter, as the maker's library does on any close. It also
// closes the pipe slots an adapter with two interfaces leaves unused, which hold descriptor 0.
void closeAll(Simulator &sim) {
    for (std::size_t index : sim.openAdapters()) {
        Adapter &adapter = sim.adapter(index);
        adapter.close();
        if (adapter.setup().close_descriptor_zero) {
            ::close(0);
            ::close(0);
        }
    }
    sim.wakeReads();
}

}  // namespace

extern "C" {

// Opens every IO-Warrior attached and hands out the first.
IOWKIT_HANDLE IOWKIT_API IowKitOpenDevice(void) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    closeAll(sim);  // the library closes what it opened before
    IOWKIT_HANDLE first = nullptr;
    for (std::size_t i = 0; i < sim.adapterCount(); ++i)
        if (sim.adapter(i).open() && !first) first = sim.handle(i);
    return first;
}

// Closes them all; the handle only has to be one of them.
void IOWKIT_API IowKitCloseDevice(IOWKIT_HANDLE devHandle) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    if (sim.openAdapterIndex(devHandle) < 0) return;
    closeAll(sim);
}

unsigned long IOWKIT_API IowKitWrite(IOWKIT_HANDLE devHandle, unsigned long numPipe, char *buffer,
                                     unsigned long length) {
    Simulator &sim = Simulator::instance();
    const std::size_t size = Adapter::reportSize(numPipe);
    iowsim::Millis latency{0};
    {
        auto lock = sim.lock();
        const int index = sim.openAdapterIndex(devHandle);
        if (index < 0 || !buffer || size == 0 || length < size) return 0;
        latency = sim.adapter(static_cast<std::size_t>(index)).setup().latency;
    }
    unsigned long taken = 0;
    for (; taken + size <= length; taken += size) {
        if (latency.count() > 0) std::this_thread::sleep_for(latency);  // the USB transfer
        auto lock = sim.lock();
        if (sim.openAdapterIndex(devHandle) < 0) break;
        const auto *report = reinterpret_cast<const std::uint8_t *>(buffer + taken);
        sim.startDueFaults();
        const int index = sim.openAdapterIndex(devHandle);
        if (index < 0) break;
        Adapter &adapter = sim.adapter(static_cast<std::size_t>(index));
        if (adapter.setup().refuse_write == (report[0] << 8 | report[1])) break;
        sim.traffic().record(index, IOWSIM_TO_ADAPTER, numPipe, report, size);
        adapter.take(numPipe, report, Clock::now());
        sim.countReport();
        sim.saveMemoryIfChanged();
        sim.answered().notify_all();
    }
    return taken;
}

unsigned long IOWKIT_API IowKitRead(IOWKIT_HANDLE devHandle, unsigned long numPipe, char *buffer,
                                    unsigned long length) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const std::size_t size = Adapter::reportSize(numPipe);
    const int index = sim.openAdapterIndex(devHandle);
    if (index < 0 || !buffer || size == 0 || length < size) return 0;
    // Only a reload replaces the adapters; until then this one stays where it is.
    Adapter &adapter = sim.adapter(static_cast<std::size_t>(index));
    const auto generation = sim.generation();
    const auto closings = adapter.closings();
    const auto deadline = deadlineAfter(adapter.readTimeoutMs());
    for (;;) {
        if (sim.generation() != generation || adapter.closings() != closings) return 0;
        const auto now = Clock::now();
        if (auto report = adapter.takeAnswer(numPipe, now))
            return deliver(sim, static_cast<std::size_t>(index), *report, numPipe, buffer);
        if (now >= deadline) return 0;
        auto wake = deadline;
        if (auto next = adapter.nextAnswer(numPipe)) wake = std::min(wake, *next);
        sim.answered().wait_until(lock, wake);
    }
}

unsigned long IOWKIT_API IowKitReadNonBlocking(IOWKIT_HANDLE devHandle, unsigned long numPipe, char *buffer,
                                               unsigned long length) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const std::size_t size = Adapter::reportSize(numPipe);
    const int index = sim.openAdapterIndex(devHandle);
    if (index < 0 || !buffer || size == 0 || length < size) return 0;
    auto report = sim.adapter(static_cast<std::size_t>(index)).takeAnswer(numPipe, Clock::now());
    return report ? deliver(sim, static_cast<std::size_t>(index), *report, numPipe, buffer) : 0;
}

int IOWKIT_API IowKitReadImmediate(IOWKIT_HANDLE, unsigned long *) {
    return 0;  // the IO-Warrior 56 does not support it
}

// How many adapters the last open took that are open still.
unsigned long IOWKIT_API IowKitGetNumDevs(void) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return static_cast<unsigned long>(sim.openAdapters().size());
}

// The n-th of them, counted from 1.
IOWKIT_HANDLE IOWKIT_API IowKitGetDeviceHandle(unsigned long numDevice) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const std::vector<std::size_t> open = sim.openAdapters();
    return numDevice >= 1 && numDevice <= open.size() ? sim.handle(open[numDevice - 1]) : nullptr;
}

int IOWKIT_API IowKitSetLegacyOpenMode(unsigned long legacyOpenMode) {
    return legacyOpenMode <= 1;
}

unsigned long IOWKIT_API IowKitGetProductId(IOWKIT_HANDLE devHandle) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const int index = sim.openAdapterIndex(devHandle);
    return index >= 0 ? sim.adapter(static_cast<std::size_t>(index)).setup().product_id : 0;
}

unsigned long IOWKIT_API IowKitGetRevision(IOWKIT_HANDLE devHandle) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const int index = sim.openAdapterIndex(devHandle);
    return index >= 0 ? sim.adapter(static_cast<std::size_t>(index)).setup().revision : 0;
}

void *IOWKIT_API IowKitGetThreadHandle(IOWKIT_HANDLE) {
    return nullptr;  // no reader thread behind the simulation
}

int IOWKIT_API IowKitGetSerialNumber(IOWKIT_HANDLE devHandle, unsigned short *serialNumber) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const int index = sim.openAdapterIndex(devHandle);
    if (index < 0 || !serialNumber) return 0;
    const std::string &serial = sim.adapter(static_cast<std::size_t>(index)).setup().serial;
    const std::size_t units = std::min<std::size_t>(serial.size(), IOWKIT_SERIAL_NUMBER_UNITS - 1);
    for (std::size_t i = 0; i < units; ++i) serialNumber[i] = static_cast<unsigned char>(serial[i]);
    serialNumber[units] = 0;
    return 1;
}

int IOWKIT_API IowKitSetTimeout(IOWKIT_HANDLE devHandle, unsigned long timeout) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const int index = sim.openAdapterIndex(devHandle);
    if (index < 0) return 0;
    sim.adapter(static_cast<std::size_t>(index)).setReadTimeoutMs(timeout);
    return 1;
}

int IOWKIT_API IowKitSetWriteTimeout(IOWKIT_HANDLE devHandle, unsigned long timeout) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const int index = sim.openAdapterIndex(devHandle);
    if (index < 0) return 0;
    sim.adapter(static_cast<std::size_t>(index)).setWriteTimeoutMs(timeout);
    return 1;
}

int IOWKIT_API IowKitCancelIo(IOWKIT_HANDLE, unsigned long) {
    return 0;  // not supported on Linux: a pending read ends at its timeout
}

char *IOWKIT_API IowKitVersion(void) {
    static char version[] = "IO-Warrior Kit V1.5 (simulated)";
    return version;
}

}  // extern "C"
