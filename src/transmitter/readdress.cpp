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

// Powers the transmitter out of command mode. Every step runs whatever the one before did, so a
// supply that could not be switched off is still switched on; an adapter that went silent, or
// did not take the supply report, is opened again once. False when the supply did not come on.
bool leave_command_mode(T_Orvel_Handler &h)
{
    bool reopen = h.Get_adapter_lost();
    for (int attempt = 0; attempt < 2; ++attempt, reopen = true) {
        if (reopen && !h.detect_dongle())
            return false;
        bool on = false;
        for (Step step : LeaveCommandModeChain) {
            const bool ok = run_step(h, step);
            on = step == Step::SwitchOn ? ok : on;
            pause_ms(ChainPause);
        }
        if (on)
            return true;
    }
    return false;
}

// Where the transmitter answers: where it should, then at any address of the bus that no other
// transmitter held before. A bus that could not be searched tells nothing.
int locate(T_Orvel_Handler &h, const QList<T_SlaveAddr> &before, uint8_t old_address,
           std::optional<uint8_t> new_address)
{
    if (new_address && h.answers_at(*new_address))
        return *new_address;
    if (h.answers_at(old_address))
        return old_address;
    if (h.get_slave_address()) {
        for (const T_SlaveAddr &entry : h.Get_slave_addr_list()) {
            const int a = entry.Get_int_Addr();
            bool known = false;
            for (const T_SlaveAddr &other : before)
                known = known || (other.Get_int_Addr() == a && a != old_address);
            if (!known)
                return a;
        }
    }
    return h.Get_adapter_lost() || !h.Get_adapter_open() ? AnswersUnknown : AnswersNowhere;
}

// The words `words` (in address order) of the transmitter's own image are the saved image's, or
// a write in address order was cut off before one of them: a page is blank when it is opened, so
// that word and every later one are still 0.
template <typename Words>
bool same_words(const T_DeviceMemory &own, const T_DeviceMemory &saved, const Words &words)
{
    for (int word : words) {
        if (own.at(word).value() == saved.at(word).value())
            continue;
        for (int later = word; later < OrvelWords::Checksum; ++later)
            if (own.at(later).value() != 0)
                return false;
        return true;
    }
    return true;
}

constexpr int ProductWords[] = {0x00, 0x01};
constexpr int IdentityWords[] = {0x00, 0x01, 0x12, 0x13, 0x14, 0x15, 0x16};

bool same_product(const T_DeviceMemory &own, const T_DeviceMemory &saved)
{
    return same_words(own, saved, ProductWords);
}

bool same_identity(const T_DeviceMemory &own, const T_DeviceMemory &saved)
{
    for (int word : IdentityWords)
        if (own.at(word).value() != saved.at(word).value())
            return false;
    return true;
}

uint8_t address_of(const T_DeviceMemory &image)
{
    return uint8_t(image.at(OrvelWords::COM_Config).value() & HighestAddress);
}

// What a change and a restore share: the outcome under way, how each step is told and how a
// procedure that used the bus ends short of success.
struct Run {
    T_Orvel_Handler &h;
    const Observer &observer;
    uint8_t new_address;
    Outcome out{};
    uint8_t old_address = h.Get_Device().Get_slave_addr();
    QList<T_SlaveAddr> before = h.Get_slave_addr_list();

    bool report(Step step, bool ok)
    {
        if (observer)
            observer(step, ok);
        return ok;
    }
    // Before any bus traffic: the transmitter is where it was.
    Outcome refuse(Refusal why)
    {
        out.refusal = why;
        out.answers_at = old_address;
        report(Step::Check, false);
        out.failed = Step::Check;
        return out;
    }
    // The transmitter is out of command mode: where it answers now, which the device takes.
    Outcome found(Step failed)
    {
        out.failed = failed;
        out.answers_at = locate(h, before, old_address, out.written ? std::optional(new_address) : std::nullopt);
        h.Get_Device().Set_slave_addr(uint8_t(out.answers_at >= 0 ? out.answers_at : old_address));
        return out;
    }
    // Whatever state the failed step left it in (command mode, supply off, I2C off), the
    // transmitter is powered up afresh before it is looked for.
    Outcome stop(Step failed)
    {
        if (!leave_command_mode(h)) {
            out.failed = failed;
            out.answers_at = AnswersUnknown;
            return out;
        }
        return found(failed);
    }
    // In command mode, after the transmitter was read: refused or declined, or nothing when the
    // write may go ahead.
    std::optional<Outcome> refused_or_declined(Refusal why, const Confirm &confirm)
    {
        if (why != Refusal::None) {
            out.refusal = why;
            report(Step::Check, false);
            return stop(Step::Check);
        }
        report(Step::Check, true);
        if (!confirm || !confirm(new_address))
            return stop(Step::Confirm);
        return std::nullopt;
    }
    // Writes the device's image, which holds `new_address`, and confirms it; the transmitter is
    // in command mode at `old_address`.
    Outcome write()
    {
        T_OrvelDevice &device = h.Get_Device();
        T_DeviceMemory &image = device.Get_memory_page();
        out.written = true;
        if (!report(Step::Write, h.set_device_memory()))
            return stop(Step::Write);
        if (!report(Step::Verify, h.compare_memory()))
            return stop(Step::Verify);
        if (!report(Step::Checksum, h.generate_checksum()))
            return stop(Step::Checksum);
        if (!report(Step::SwitchOffAfter, h.switch_OFF()))
            return stop(Step::SwitchOffAfter);
        pause_ms(OffBeforeOn);
        if (!report(Step::SwitchOnAfter, h.switch_ON()))
            return stop(Step::SwitchOnAfter);
        pause_ms(PowerUpSettle);

        device.Set_slave_addr(new_address);
        // A restore may leave the transmitter where it was.
        if (holds_image(h, image) && (new_address == old_address || !h.answers_at(old_address))) {
            out.answers_at = new_address;
            report(Step::NewAddress, true);
            return out;
        }
        // The power cycle has already taken it out of command mode.
        found(Step::NewAddress);
        report(Step::NewAddress, false);
        return out;
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
    Run run{h, observer, new_address};
    T_OrvelDevice &device = h.Get_Device();
    if (const Refusal why = check_image(h, new_address); why != Refusal::None)
        return run.refuse(why);

    const Step chain_failed = power_up(h, CommandModeChain, observer, Step::DisableI2c);
    if (chain_failed != Step::None)
        return run.stop(chain_failed);

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
    if (auto stopped = run.refused_or_declined(why, confirm))
        return *stopped;

    image.Get_COM_Config().Set_hByte(0x00);
    image.Get_COM_Config().Set_lByte(new_address);
    return run.write();
}

Owner find_owner(T_Orvel_Handler &h, const T_DeviceMemory &saved)
{
    Owner owner;
    // The bus is searched afresh: the list of the last scan may be old.
    if (!h.get_slave_address() || !h.Get_scan_complete()) {
        power_up(h, RecoveryChain);
        if (!h.get_slave_address() || !h.Get_scan_complete()) {
            owner.refusal = Refusal::Incomplete;
            return owner;
        }
    }
    T_OrvelDevice &device = h.Get_Device();
    // One more try: a busy answer is no reason to give up.
    auto read = [&] {
        for (int attempt = 0; attempt < 2; ++attempt)
            if (h.get_device_memory() && device.Get_memory_page().Get_complete())
                return true;
        return false;
    };
    QList<int> identical;
    QList<int> cut_off;
    for (const T_SlaveAddr &entry : h.Get_slave_addr_list()) {
        const int address = entry.Get_int_Addr();
        device.Set_slave_addr(uint8_t(address));
        if (!read()) {
            owner.refusal = Refusal::Incomplete;
            return owner;
        }
        const T_DeviceMemory &own = device.Get_memory_page();
        if (same_identity(own, saved))
            identical << address;
        else if (same_words(own, saved, IdentityWords))
            cut_off << address;
    }
    owner.matching = identical.isEmpty() ? cut_off : identical;
    if (owner.matching.size() != 1) {
        owner.refusal = owner.matching.isEmpty() ? Refusal::NotOnBus : Refusal::TwoMatch;
        return owner;
    }
    owner.address = owner.matching.front();
    device.Set_slave_addr(uint8_t(owner.address));
    if (!read())
        owner.refusal = Refusal::Incomplete;
    return owner;
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
    Run run{h, observer, address_of(saved)};
    T_OrvelDevice &device = h.Get_Device();
    if (const Refusal why = check_saved_image(h, saved); why != Refusal::None)
        return run.refuse(why);

    const Step chain_failed = power_up(h, CommandModeChain, observer, Step::DisableI2c);
    if (chain_failed != Step::None)
        return run.stop(chain_failed);

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
    if (auto stopped = run.refused_or_declined(why, confirm))
        return *stopped;

    T_DeviceMemory &image = device.Get_memory_page();
    for (T_32Bit *reg : image.writable_registers())
        reg->setValue(saved.at(reg->Get_addr()).value());
    image.Set_complete(true);
    return run.write();
}

} // namespace readdress
