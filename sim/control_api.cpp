// The iowsim_ control functions that tests use to steer and inspect the simulation.
#include "exports.h"
#include "fault_control.h"
#include "simulator.h"
#include "sim_types.h"

#include <algorithm>
#include <cstring>
#include <string>

using iowsim::Clock;
using iowsim::Simulator;
using iowsim::Transmitter;

namespace {

std::size_t copyText(const std::string &text, char *out, std::size_t size) {
    if (!out || size == 0) return 0;
    const std::size_t count = std::min(text.size(), size - 1);
    std::memcpy(out, text.data(), count);
    out[count] = '\0';
    return count;
}

iowsim::Adapter *adapterAt(Simulator &sim, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < sim.adapterCount() ? &sim.adapter(static_cast<std::size_t>(index))
                                                                                : nullptr;
}

Transmitter *transmitterAt(iowsim::Adapter &adapter, int index) {
    auto &bus = adapter.bus();
    return index >= 0 && static_cast<std::size_t>(index) < bus.size() ? &bus[static_cast<std::size_t>(index)] : nullptr;
}

Transmitter *transmitterAt(Simulator &sim, int index) {
    return transmitterAt(sim.adapter(), index);
}

bool isAdapterFault(int fault) {
    return fault == IOWSIM_FAULT_UNPLUGGED || fault == IOWSIM_FAULT_ARBITRATION_LOST ||
           fault == IOWSIM_FAULT_DROP_ANSWERS || fault == IOWSIM_FAULT_REFUSE_WRITE;
}

bool setAdapterFault(Simulator &sim, iowsim::Adapter &adapter, iowsim_fault fault, int value) {
    iowsim::AdapterSetup &setup = adapter.setup();
    switch (fault) {
    case IOWSIM_FAULT_UNPLUGGED:
        if (adapter.plugged() == (value == 0)) return true;
        adapter.plug(value == 0, Clock::now());
        sim.wakeReads();
        return true;
    case IOWSIM_FAULT_ARBITRATION_LOST:
        setup.arbitration_lost = value != 0;
        return true;
    case IOWSIM_FAULT_REFUSE_WRITE:
        if (value > 0xFFFF) return false;
        setup.refuse_write = std::max(value, -1);
        return true;
    case IOWSIM_FAULT_DROP_ANSWERS:
        setup.drop_answers = value != 0;
        return true;
    default:
        return false;
    }
}

bool setTransmitterFault(iowsim::Adapter &adapter, int index, iowsim_fault fault, int value) {
    Transmitter *transmitter = transmitterAt(adapter, index);
    if (!transmitter) return false;
    iowsim::TransmitterFaults &faults = transmitter->faults();
    switch (fault) {
    case IOWSIM_FAULT_REMOVED:
        transmitter->setPresent(value == 0, Clock::now());
        return true;
    case IOWSIM_FAULT_NACK_ALL:
        faults.nack_all = value != 0;
        return true;
    case IOWSIM_FAULT_NACK_COMMAND:
        if (value > 0xFF) return false;
        faults.nack_command = std::max(value, -1);
        return true;
    case IOWSIM_FAULT_HOLD_BUSY:
        faults.hold_busy = value != 0;
        return true;
    case IOWSIM_FAULT_NACK_READ_AFTER:
        if (value > 0xFF) return false;
        faults.nack_read_after = std::max(value, -1);
        return true;
    case IOWSIM_FAULT_BUSY_ANSWERS:
        if (value < 0) return false;
        faults.busy_answers = value;
        return true;
    case IOWSIM_FAULT_HARDWARE_ERROR:
        faults.hardware_error = value != 0;
        return true;
    case IOWSIM_FAULT_DATA_CORRECTED:
        faults.data_corrected = value != 0;
        return true;
    case IOWSIM_FAULT_IGNORE_WRITE:
        if (value > iowsim::kChecksumWord) return false;
        faults.ignore_write = std::max(value, -1);
        return true;
    default:
        return false;
    }
}

}  // namespace

namespace iowsim {

bool setFault(Simulator &sim, std::size_t adapter, int transmitter, iowsim_fault fault, int value) {
    if (adapter >= sim.adapterCount()) return false;
    iowsim::Adapter &chosen = sim.adapter(adapter);
    return setAdapterFault(sim, chosen, fault, value) || setTransmitterFault(chosen, transmitter, fault, value);
}

}  // namespace iowsim

extern "C" {

int iowsim_load_scenario(const char *scenario_path, const char *state_path, char *error, size_t error_size) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lockOnly();
    std::string message;
    const bool loaded = sim.load(scenario_path ? scenario_path : "", state_path ? state_path : "", message);
    copyText(message, error, error_size);
    return loaded;
}

int iowsim_reload(void) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lockOnly();
    std::string ignored;
    return sim.loadFromEnvironment(ignored);
}

size_t iowsim_state_path(char *path, size_t size) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return copyText(sim.stateStore().path(), path, size);
}

int iowsim_set_fault(int transmitter, iowsim_fault fault, int value) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return iowsim::setFault(sim, 0, transmitter, fault, value);
}

int iowsim_set_fault_at(int adapter, int transmitter, iowsim_fault fault, int value) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return adapter >= 0 && iowsim::setFault(sim, static_cast<std::size_t>(adapter), transmitter, fault, value);
}

int iowsim_arm_fault(int transmitter, iowsim_fault fault, int value, unsigned long after_reports) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    if (fault < IOWSIM_FAULT_UNPLUGGED || fault > IOWSIM_FAULT_REFUSE_WRITE) return 0;
    if (!isAdapterFault(fault) && !transmitterAt(sim, transmitter)) return 0;
    Simulator::ArmedFault armed;
    armed.transmitter = transmitter;
    armed.fault = fault;
    armed.value = value;
    armed.remaining = after_reports;
    sim.arm(armed);
    if (after_reports == 0) sim.startDueFaults();
    return 1;
}

void iowsim_clear_faults(void) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    sim.disarm();
    for (std::size_t a = 0; a < sim.adapterCount(); ++a) {
        iowsim::Adapter &adapter = sim.adapter(a);
        for (iowsim_fault fault : {IOWSIM_FAULT_UNPLUGGED, IOWSIM_FAULT_ARBITRATION_LOST, IOWSIM_FAULT_DROP_ANSWERS})
            setAdapterFault(sim, adapter, fault, 0);
        setAdapterFault(sim, adapter, IOWSIM_FAULT_REFUSE_WRITE, -1);
        for (Transmitter &transmitter : adapter.bus()) {
            transmitter.faults() = iowsim::TransmitterFaults{};
            transmitter.setPresent(true, Clock::now());
        }
    }
}

void iowsim_set_product_id(unsigned long product_id) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    sim.adapter().setup().product_id = product_id;
}

void iowsim_set_latency_ms(unsigned long latency_ms) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    for (std::size_t a = 0; a < sim.adapterCount(); ++a)
        sim.adapter(a).setup().latency = iowsim::Millis(std::min(latency_ms, 1000UL));
}

int iowsim_set_signal(int transmitter, int frozen, unsigned pressure_raw, unsigned temperature_raw) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    Transmitter *chip = transmitterAt(sim, transmitter);
    if (!chip || pressure_raw > 0xFFFF || temperature_raw > 0xFFFF) return 0;
    chip->freezeSignal(frozen != 0, static_cast<std::uint16_t>(pressure_raw), static_cast<std::uint16_t>(temperature_raw));
    return 1;
}

void iowsim_delay_answer(unsigned long nth, unsigned long delay_ms) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    iowsim::AdapterSetup &setup = sim.adapter().setup();
    setup.late_answer = static_cast<int>(std::min(nth, 1000000UL));
    setup.late_by = iowsim::Millis(std::min(delay_ms, 600000UL));
}

void iowsim_set_close_descriptor_zero(int on) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    for (std::size_t a = 0; a < sim.adapterCount(); ++a) sim.adapter(a).setup().close_descriptor_zero = on != 0;
}

int iowsim_transmitter_count(void) {
    return iowsim_transmitter_count_at(0);
}

int iowsim_transmitter_count_at(int adapter) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const iowsim::Adapter *chosen = adapterAt(sim, adapter);
    return chosen ? static_cast<int>(chosen->bus().size()) : -1;
}

int iowsim_get_transmitter(int transmitter, iowsim_transmitter_info *info) {
    return iowsim_get_transmitter_at(0, transmitter, info);
}

int iowsim_get_transmitter_at(int adapter, int transmitter, iowsim_transmitter_info *info) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    iowsim::Adapter *chosen = adapterAt(sim, adapter);
    const Transmitter *chip = chosen ? transmitterAt(*chosen, transmitter) : nullptr;
    if (!chip || !info) return 0;
    info->present = chip->present();
    info->powered = chip->powered();
    info->address = chip->address();
    info->command_mode = chip->commandMode();
    info->current_page = chip->currentPage();
    info->memory_error = chip->memoryError();
    info->opened_page = chip->openedPage();
    for (int page = 0; page < iowsim::kPages; ++page)
        std::copy(chip->memory()[page].begin(), chip->memory()[page].end(), info->pages[page]);
    return 1;
}

void iowsim_get_adapter(iowsim_adapter_info *info) {
    iowsim_get_adapter_at(0, info);
}

int iowsim_get_adapter_at(int adapter, iowsim_adapter_info *info) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    const iowsim::Adapter *chosen = adapterAt(sim, adapter);
    if (!chosen || !info) return 0;
    info->plugged = chosen->plugged();
    info->open = chosen->isOpen();
    info->i2c_enabled = chosen->i2cEnabled();
    info->spi_enabled = chosen->spiEnabled();
    info->product_id = chosen->setup().product_id;
    info->read_timeout_ms = chosen->readTimeoutMs();
    info->write_timeout_ms = chosen->writeTimeoutMs();
    std::memcpy(info->pins, chosen->pins(), sizeof info->pins);
    copyText(chosen->setup().serial, info->serial, sizeof info->serial);
    return 1;
}

int iowsim_adapter_count(void) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return static_cast<int>(sim.adapterCount());
}

int iowsim_adapter_index(const char *serial) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return serial ? sim.adapterIndex(serial) : -1;
}

unsigned short iowsim_checksum(const unsigned short *words) {
    return words ? iowsim::pageChecksum(words) : 0;
}

size_t iowsim_take_traffic(iowsim_report *out, size_t capacity) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return sim.traffic().take(out, capacity);
}

size_t iowsim_traffic_size(void) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    return sim.traffic().size();
}

void iowsim_clear_traffic(void) {
    Simulator &sim = Simulator::instance();
    auto lock = sim.lock();
    sim.traffic().clear();
}

}  // extern "C"
