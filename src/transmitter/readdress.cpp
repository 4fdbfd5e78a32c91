#include "transmitter/readdress.h"

#include "transmitter/OrvelHandler.h"

#include <chrono>
#include <optional>
#include <thread>

namespace readdress {

const std::vector<Step> ScanChain = {Step::DetectDongle, Step::DisableSpi, Step::DisableI2c,
                                     Step::SwitchOff,    Step::SwitchOn,   Step::EnableI2c};
const std::vector<Step> RecoveryChain = {Step::DisableSpi, Step::DisableI2c, Step::SwitchOff, Step::SwitchOn,
                                         Step::EnableI2c};
const std::vector<Step> CommandModeChain = {Step::DisableI2c, Step::DisableSpi, Step::SwitchOff,
                                            Step::SwitchOn,   Step::EnableI2c,  Step::CommandMode};

namespace {

// Powers the transmitter out of command mode without writing anything.
const std::vector<Step> LeaveCommandModeChain = {Step::DisableSpi, Step::SwitchOff, Step::SwitchOn, Step::EnableI2c};

constexpr int ChainPause = 10;
constexpr int OffBeforeOn = 50;
// The chip latches its address from memory when it powers up.
constexpr int PowerUpSettle = 10;
constexpr uint8_t HighestAddress = 0x7F;

void pause_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool run_step(T_Orvel_Handler &h, Step step)
{
    switch (step) {
    case Step::DetectDongle: return h.detect_dongle();
    case Step::DisableI2c: return h.disable_IIC();
    case Step::DisableSpi: return h.disable_SPI();
    case Step::SwitchOff: return h.switch_OFF();
    case Step::SwitchOn: return h.switch_ON();
    case Step::EnableI2c: return h.enable_IIC();
    case Step::CommandMode: return h.switch_command_mode();
    default: return false;
    }
}

// Every word the procedure writes, COM_Config included.
bool same_writable_words(T_DeviceMemory &a, const T_DeviceMemory &b)
{
    for (T_32Bit *reg : a.writable_registers())
        if (reg->value() != b.at(reg->Get_addr()).value())
            return false;
    return true;
}

bool memory_error(const T_OrvelDevice &device)
{
    return (device.Get_status() & StatusMemoryError) != 0;
}

// Reads the whole image back from the device's slave address: true when every word arrived,
// equals `expected` and the transmitter reports no memory error.
bool holds_image(T_Orvel_Handler &h, T_DeviceMemory &expected)
{
    T_OrvelDevice &device = h.Get_Device();
    const bool read = h.get_verify_device_memory();
    return read && device.Get_verify_memory_page().Get_complete() && !memory_error(device) &&
           same_writable_words(expected, device.Get_verify_memory_page());
}

// Where the transmitter answers after a change that could not be confirmed.
int locate(T_Orvel_Handler &h, const QList<T_SlaveAddr> &before, uint8_t old_address, uint8_t new_address)
{
    if (h.answers_at(new_address))
        return new_address;
    if (h.answers_at(old_address))
        return old_address;
    if (!h.get_slave_address())
        return -1;
    for (const T_SlaveAddr &entry : h.Get_slave_addr_list()) {
        const int a = entry.Get_int_Addr();
        bool known = false;
        for (const T_SlaveAddr &other : before)
            known = known || (other.Get_int_Addr() == a && a != old_address);
        if (!known)
            return a;
    }
    return -1;
}

// The transmitter's own words carry the saved image's product code (Cust_ID0, Cust_ID1), or a
// write in address order was cut off before one of them: a page is blank when it is opened, so
// that word and every later one are still 0.
bool same_product(const T_DeviceMemory &own, const T_DeviceMemory &saved)
{
    for (int word : {0x00, 0x01}) {
        if (own.at(word).value() == saved.at(word).value())
            continue;
        for (int later = word; later < OrvelWords::Checksum; ++later)
            if (own.at(later).value() != 0)
                return false;
        return true;
    }
    return true;
}

uint8_t address_of(const T_DeviceMemory &image)
{
    return uint8_t(image.at(OrvelWords::COM_Config).value() & HighestAddress);
}

// Writes the device's image, which holds `new_address`, and confirms it; the transmitter is in
// command mode at `old_address`.
Outcome write_image(T_Orvel_Handler &h, Outcome &out, uint8_t old_address, uint8_t new_address,
                    const QList<T_SlaveAddr> &before, const std::function<bool(Step, bool)> &report)
{
    T_OrvelDevice &device = h.Get_Device();
    T_DeviceMemory &image = device.Get_memory_page();
    auto end = [&](Step failed) {
        out.failed = failed;
        return out;
    };
    out.written = true;
    if (!report(Step::Write, h.set_device_memory()))
        return end(Step::Write);
    if (!report(Step::Verify, h.compare_memory()))
        return end(Step::Verify);
    if (!report(Step::Checksum, h.generate_checksum()))
        return end(Step::Checksum);
    if (!report(Step::SwitchOffAfter, h.switch_OFF()))
        return end(Step::SwitchOffAfter);
    pause_ms(OffBeforeOn);
    if (!report(Step::SwitchOnAfter, h.switch_ON()))
        return end(Step::SwitchOnAfter);
    pause_ms(PowerUpSettle);

    device.Set_slave_addr(new_address);
    // A restore may leave the transmitter where it was.
    if (holds_image(h, image) && (new_address == old_address || !h.answers_at(old_address))) {
        out.answers_at = new_address;
        report(Step::NewAddress, true);
        return out;
    }
    out.answers_at = locate(h, before, old_address, new_address);
    device.Set_slave_addr(uint8_t(out.answers_at >= 0 ? out.answers_at : old_address));
    report(Step::NewAddress, false);
    return end(Step::NewAddress);
}

// What a change and a restore share: the outcome under way and how each step is told.
struct Run {
    T_Orvel_Handler &h;
    const Observer &observer;
    Outcome out;
    uint8_t old_address = h.Get_Device().Get_slave_addr();
    QList<T_SlaveAddr> before = h.Get_slave_addr_list();

    bool report(Step step, bool ok)
    {
        if (observer)
            observer(step, ok);
        return ok;
    }
    Outcome end(Step failed)
    {
        out.failed = failed;
        return out;
    }
    Outcome refuse(Refusal why)
    {
        out.refusal = why;
        out.answers_at = old_address;
        report(Step::Check, false);
        return end(Step::Check);
    }
    // In command mode, after the transmitter was read: refused or declined (the transmitter
    // powered out of command mode), or nothing when the write may go ahead.
    std::optional<Outcome> refused_or_declined(Refusal why, const Confirm &confirm, uint8_t new_address)
    {
        if (why != Refusal::None) {
            power_up(h, LeaveCommandModeChain);
            return refuse(why);
        }
        report(Step::Check, true);
        if (!confirm || !confirm(new_address)) {
            power_up(h, LeaveCommandModeChain);
            out.answers_at = old_address;
            return end(Step::Confirm);
        }
        return std::nullopt;
    }
    Outcome write(uint8_t new_address)
    {
        return write_image(h, out, old_address, new_address, before,
                           [this](Step step, bool ok) { return report(step, ok); });
    }
};

} // namespace

Step power_up(T_Orvel_Handler &h, const std::vector<Step> &chain, const Observer &observer, Step tolerated)
{
    Step failed = Step::None;
    for (Step step : chain) {
        if (failed == Step::None) {
            const bool ok = run_step(h, step);
            if (observer)
                observer(step, ok);
            if (!ok && step != tolerated)
                failed = step;
        }
        pause_ms(ChainPause);
    }
    return failed;
}

Refusal check_image(T_Orvel_Handler &h, uint8_t new_address)
{
    T_OrvelDevice &device = h.Get_Device();
    bool in_use = new_address > HighestAddress || new_address == device.Get_slave_addr();
    for (const T_SlaveAddr &entry : h.Get_slave_addr_list())
        in_use = in_use || entry.Get_int_Addr() == new_address;
    if (in_use)
        return Refusal::AddressInUse;
    if (!device.Get_memory_page().Get_complete())
        return Refusal::Incomplete;
    if (h.check_memory_is_zero())
        return Refusal::NotCalibrated;
    if (device.Get_memory_status().current_page >= 3)
        return Refusal::NoChangeLeft;
    if (memory_error(device))
        return Refusal::MemoryError;
    return Refusal::None;
}

Outcome readdress(T_Orvel_Handler &h, uint8_t new_address, const Confirm &confirm, const Observer &observer)
{
    Run run{h, observer, {}};
    T_OrvelDevice &device = h.Get_Device();
    if (const Refusal why = check_image(h, new_address); why != Refusal::None)
        return run.refuse(why);

    const Step chain_failed = power_up(h, CommandModeChain, observer, Step::DisableI2c);
    if (chain_failed != Step::None)
        return run.end(chain_failed);

    // The image that will be written must be what this transmitter holds right now: a swapped
    // transmitter or a word that changed since the scan would otherwise be overwritten.
    T_DeviceMemory &image = device.Get_memory_page();
    Refusal why = Refusal::None;
    if (!h.get_verify_device_memory() || !device.Get_verify_memory_page().Get_complete())
        why = Refusal::Incomplete;
    else if (memory_error(device))
        why = Refusal::MemoryError;
    else if (!same_writable_words(image, device.Get_verify_memory_page()))
        why = Refusal::OtherImage;
    if (auto stopped = run.refused_or_declined(why, confirm, new_address))
        return *stopped;

    image.Get_COM_Config().Set_hByte(0x00);
    image.Get_COM_Config().Set_lByte(new_address);
    return run.write(new_address);
}

Refusal check_saved_image(T_Orvel_Handler &h, const T_DeviceMemory &saved)
{
    T_OrvelDevice &device = h.Get_Device();
    const uint8_t target = address_of(saved);
    bool in_use = false;
    for (const T_SlaveAddr &entry : h.Get_slave_addr_list())
        in_use = in_use || (entry.Get_int_Addr() == target && target != device.Get_slave_addr());
    if (in_use)
        return Refusal::AddressInUse;
    if (!saved.Get_complete())
        return Refusal::Incomplete;
    if (saved.compared_all_zero())
        return Refusal::NotCalibrated;
    if (device.Get_memory_status().current_page >= 3)
        return Refusal::NoChangeLeft;
    return Refusal::None;
}

Outcome restore(T_Orvel_Handler &h, const T_DeviceMemory &saved, const Confirm &confirm, const Observer &observer)
{
    Run run{h, observer, {}};
    T_OrvelDevice &device = h.Get_Device();
    const uint8_t new_address = address_of(saved);
    if (const Refusal why = check_saved_image(h, saved); why != Refusal::None)
        return run.refuse(why);

    const Step chain_failed = power_up(h, CommandModeChain, observer, Step::DisableI2c);
    if (chain_failed != Step::None)
        return run.end(chain_failed);

    // The transmitter's own words may be anything after a cut-off write; only its product code
    // tells that the saved image belongs to it.
    T_DeviceMemory &own = device.Get_verify_memory_page();
    Refusal why = Refusal::None;
    if (!h.get_verify_device_memory() || !own.Get_complete())
        why = Refusal::Incomplete;
    else if (!same_product(own, saved))
        why = Refusal::OtherProduct;
    else if (device.Get_memory_status().current_page >= 3)
        why = Refusal::NoChangeLeft;
    if (auto stopped = run.refused_or_declined(why, confirm, new_address))
        return *stopped;

    T_DeviceMemory &image = device.Get_memory_page();
    for (T_32Bit *reg : image.writable_registers())
        reg->setValue(saved.at(reg->Get_addr()).value());
    image.Set_complete(true);
    return run.write(new_address);
}

} // namespace readdress
