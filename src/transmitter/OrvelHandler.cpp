// The handler's life, the adapter link, the I²C transactions and the handler's texts.
#include "transmitter/OrvelHandler.h"

#include "services/utils/ZUtils.h"
#include "transmitter/iowkit.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

constexpr unsigned long SpecialPipe = IOW_PIPE_SPECIAL_MODE;
constexpr unsigned long ReportSize = IOWKIT56_SPECIAL_REPORT_SIZE;
constexpr uint8_t ReportI2cFunction = 0x01;
constexpr uint8_t ReportI2cWrite = 0x02;
constexpr uint8_t ReportI2cRead = 0x03;
constexpr uint8_t StartAndStop = 0xC0;
constexpr unsigned long TimeoutAfterDetect = 1000;
constexpr unsigned long TimeoutAfterRead = 250;
constexpr int KeptAnswers = 16;

std::unique_ptr<T_Orvel_Handler> &instance()
{
    static std::unique_ptr<T_Orvel_Handler> handler;
    return handler;
}

} // namespace

QString T_SlaveAddr::hex_text(int32_t addr)
{
    return QStringLiteral("0x") + QString::number(uint32_t(addr), 16).toUpper().rightJustified(2, u'0');
}

void T_SlaveAddr::Set_int_Addr(int32_t v)
{
    f_int_Addr = v;
    f_hex_addr = hex_text(v);
}

T_Orvel_Handler *T_Orvel_Handler::get_Instance()
{
    if (!instance())
        instance() = std::make_unique<T_Orvel_Handler>([](TCategory category, TMode mode, const QString &text) {
            TLogFile::getInstance()->addEvent(category, mode, text);
        });
    return instance().get();
}

void T_Orvel_Handler::release_Instance()
{
    instance().reset();
}

T_Orvel_Handler::T_Orvel_Handler(EventSink log) : f_Device(std::make_unique<T_OrvelDevice>()), fLog(std::move(log))
{
    f_Device->Set_pressure_digits(f_pressure_digits);
    f_Device->Set_temperature_digits(f_temperature_digits);
    keep_descriptor_zero_open();
    load_iowkit();
}

T_Orvel_Handler::~T_Orvel_Handler()
{
    unload_iowkit();
}

void T_Orvel_Handler::wait_ms(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void T_Orvel_Handler::log(TCategory category, TMode mode, const QString &text) const
{
    if (fLog)
        fLog(category, mode, text);
}

QString T_Orvel_Handler::result_text(int result)
{
    switch (result) {
    case 0: return QStringLiteral("OK");
    case 1: return QStringLiteral("ERROR_ACK");
    case 2: return QStringLiteral("ERROR_ARBLOS");
    case 3: return QStringLiteral("NO_ANSWER");
    case 4: return QStringLiteral("CANCELLED");
    default: return QStringLiteral("IO Handle=NIL");
    }
}

TMode T_Orvel_Handler::result_mode(int result)
{
    // A transaction cut short by the shutdown says nothing about the bus.
    return result == ResultOk || result == ResultCancelled ? lDebug : lError;
}

void T_Orvel_Handler::log_result(const QString &phrase, int result, const QString &okSuffix) const
{
    if (result == 0)
        log(catCommunication, lDebug, phrase + QStringLiteral(" : OK") + okSuffix);
    else
        log(catCommunication, result_mode(result), phrase + QStringLiteral(" : ") + result_text(result));
}

QString T_Orvel_Handler::hex2(uint8_t value)
{
    return QString::number(value, 16).toUpper().rightJustified(2, u'0');
}

QString T_Orvel_Handler::decimal_bytes(const uint8_t *buffer)
{
    return QStringLiteral(" %1 %2 %3 %4").arg(buffer[0]).arg(buffer[1]).arg(buffer[2]).arg(buffer[3]);
}

bool T_Orvel_Handler::ready_locked() const
{
    return f_IOWIIC != nullptr && f_Product_ID == ProductIdIow56 && !f_adapter_lost.load() && !f_cancelled.load();
}


void T_Orvel_Handler::set_probe_timeout()
{
    // The adapter answers every request within milliseconds, acknowledged or not, so a short
    // wait tells a silent adapter early; an answer still owed from a late request gets the
    // long wait, or it would be taken for the probe's own.
    if (iowkit().IowKitSetTimeout)
        iowkit().IowKitSetTimeout(f_IOWIIC, f_unanswered > 0 ? TimeoutAfterDetect : TimeoutAfterRead);
}

int T_Orvel_Handler::not_ready_result() const
{
    if (f_cancelled.load())
        return ResultCancelled;
    return f_IOWIIC && f_adapter_lost.load() ? ResultNoAnswer : ResultNoHandle;
}

int T_Orvel_Handler::unanswered_result() const
{
    // Cancelled while waiting: the shutdown, not the bus, ended the wait.
    return f_cancelled.load() ? ResultCancelled : ResultNoAnswer;
}

bool T_Orvel_Handler::adapter_ready() const
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    return ready_locked();
}

bool T_Orvel_Handler::Get_library_loaded()
{
    return iowkit_loaded();
}

bool T_Orvel_Handler::detect_dongle()
{
    if (f_cancelled.load())
        return false;
    std::unique_lock<std::mutex> bus(f_bus_lock);
    const IowKitSlots &kit = iowkit();
    if (!kit.IowKitOpenDevice || !kit.IowKitGetProductId || !kit.IowKitGetNumDevs || !kit.IowKitGetSerialNumber ||
        !kit.IowKitSetTimeout || !kit.IowKitSetWriteTimeout) {
        // Every scan cycle asks again, and the library is loaded only at start-up: the log hears
        // of it once.
        const bool first = !f_open_error_logged;
        f_open_error_logged = true;
        bus.unlock();
        if (first) {
            log(catConverter, lError, QStringLiteral("Error open IO-Device"));
            if (!iowkit_loaded())
                log(catConverter, lError, QString::fromLatin1(LibraryMissingText));
        }
        unload();
        return false;
    }

    {
        // Opening over a handle still open would have the library close it itself, descriptor 0
        // included, and the new adapter's own files could land there: close it first, whatever
        // adapter it is, so that the open finds nothing to close.
        const DescriptorZeroGuard keep;
        if (f_IOWIIC && kit.IowKitCloseDevice)
            kit.IowKitCloseDevice(f_IOWIIC);
        f_IOWIIC = kit.IowKitOpenDevice();
    }
    f_adapter_open = f_IOWIIC != nullptr;
    if (!f_IOWIIC || !choose_adapter(f_IOWIIC))
        return false;
    // f_unanswered stays: the kernel keeps unread answers across closing and opening.
    f_silent_requests = 0;
    f_adapter_lost = false;
    f_Product_ID = uint32_t(kit.IowKitGetProductId(f_IOWIIC));
    f_numDevs = uint32_t(kit.IowKitGetNumDevs());
    unsigned short serial[IOWKIT_SERIAL_NUMBER_UNITS] = {};
    kit.IowKitGetSerialNumber(f_IOWIIC, serial);
    serial[IOWKIT_SERIAL_NUMBER_UNITS - 1] = 0; // never read past the buffer
    f_serial_no = QString::fromUtf16(reinterpret_cast<const char16_t *>(serial));
    kit.IowKitSetTimeout(f_IOWIIC, TimeoutAfterDetect);
    kit.IowKitSetWriteTimeout(f_IOWIIC, TimeoutAfterDetect);
    return true;
}

void T_Orvel_Handler::close_adapter()
{
    const IowKitSlots &kit = iowkit();
    if (f_IOWIIC && f_Product_ID == ProductIdIow56 && kit.IowKitCloseDevice) {
        const DescriptorZeroGuard keep;
        kit.IowKitCloseDevice(f_IOWIIC);
    }
    f_IOWIIC = nullptr;
    f_adapter_open = false;
}

void T_Orvel_Handler::unload()
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    const IowKitSlots &kit = iowkit();
    // A lost adapter is closed without the switch-off request it would not answer anyway.
    if (ready_locked() && kit.IowKitWrite) {
        std::memset(&f_Report56, 0, sizeof f_Report56);
        f_Report56.ReportID = ReportI2cFunction;
        f_Report56.Bytes[0] = 0x00;
        kit_write(SpecialPipe, &f_Report56, ReportSize);
    }
    close_adapter();
}

bool T_Orvel_Handler::write_special_report()
{
    return kit_write(SpecialPipe, &f_Report56, ReportSize) == ReportSize;
}

bool T_Orvel_Handler::switch_IIC(bool on)
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    if (!ready_locked())
        return false;
    std::memset(&f_Report56, 0, sizeof f_Report56);
    f_Report56.ReportID = ReportI2cFunction;
    f_Report56.Bytes[0] = on ? 0x01 : 0x00;
    f_Report56.Bytes[1] = 0x81;
    return write_special_report();
}

bool T_Orvel_Handler::enable_IIC()
{
    return switch_IIC(true);
}

bool T_Orvel_Handler::disable_IIC()
{
    return switch_IIC(false);
}

int T_Orvel_Handler::result_of_flags(uint8_t flags)
{
    // Lost arbitration alone already means the transfer did not happen.
    if (ZByte::readBit(flags, 6))
        return ResultArbLost;
    return ZByte::readBit(flags, 7) ? ResultAck : ResultOk;
}

void T_Orvel_Handler::discard_stale_answers()
{
    const IowKitSlots &kit = iowkit();
    if (!kit.IowKitReadNonBlocking)
        return;
    IOWKIT56_SPECIAL_REPORT stale{};
    int found = 0;
    // The kernel keeps at most 16 unread reports; the bound only guards against a runaway adapter.
    while (found < 64 && kit_read(SpecialPipe, &stale, ReportSize, false) > 0) {
        ++found;
        if (f_unanswered > 0)
            --f_unanswered;
    }
    if (found > 0)
        log(catCommunication, lDebug, QStringLiteral("Stale answer reports discarded : %1").arg(found));
}

void T_Orvel_Handler::note_unanswered()
{
    if (++f_silent_requests < SilentRequestsLimit || f_adapter_lost.load())
        return;
    f_adapter_lost = true;
    log(catCommunication, lError,
        QStringLiteral("No answer from the adapter to %1 requests in a row : adapter lost").arg(SilentRequestsLimit));
}

bool T_Orvel_Handler::exchange(bool &answered)
{
    const IowKitSlots &kit = iowkit();
    answered = false;
    discard_stale_answers();
    const uint8_t request = f_Report56.ReportID;
    char *report = reinterpret_cast<char *>(&f_Report56);
    if (!kit.IowKitWrite || kit_write(SpecialPipe, report, ReportSize) != ReportSize)
        return false;
    // The kernel keeps no more unread answers than that.
    f_unanswered = std::min(f_unanswered + 1, KeptAnswers);
    // The adapter answers every request in order, so answers to earlier requests that came too
    // late for their own read arrive first and are not this request's answer.
    int earlier = 0;
    bool timedOut = false;
    while (kit.IowKitRead) {
        std::memset(&f_Report56, 0, sizeof f_Report56);
        f_Report56.ReportID = request;
        if (kit_read(SpecialPipe, report, ReportSize) != ReportSize) {
            timedOut = true;
            break;
        }
        if (--f_unanswered > 0) {
            ++earlier;
            continue;
        }
        answered = f_Report56.ReportID == request;
        break;
    }
    if (earlier > 0)
        log(catCommunication, lDebug, QStringLiteral("Stale answer reports discarded : %1").arg(earlier));
    // An adapter that answers at once does not leave its own answer waiting behind earlier ones:
    // the earlier answers were lost (a replug empties the kernel's queue) and the last one taken
    // for theirs was this request's own.
    if (timedOut && earlier > 0)
        f_unanswered = 0;
    if (answered)
        f_silent_requests = 0;
    else
        note_unanswered();
    return true;
}

int T_Orvel_Handler::iic_write(uint8_t address, const uint8_t *bytes, int count)
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    if (!ready_locked())
        return not_ready_result();
    std::memset(&f_Report56, 0, sizeof f_Report56);
    f_Report56.ReportID = ReportI2cWrite;
    f_Report56.Bytes[0] = uint8_t(StartAndStop + count + 1);
    f_Report56.Bytes[1] = uint8_t(address << 1);
    std::memcpy(&f_Report56.Bytes[2], bytes, size_t(count));
    bool answered = false;
    if (!exchange(answered))
        return ResultNoHandle;
    if (!answered)
        return unanswered_result();
    return result_of_flags(f_Report56.Bytes[0]);
}

int T_Orvel_Handler::iic_write_cmd(uint8_t address, uint8_t command)
{
    const uint8_t bytes[] = {command};
    return iic_write(address, bytes, 1);
}

int T_Orvel_Handler::iic_write_cmd_word(uint8_t address, uint8_t command, uint8_t high, uint8_t low)
{
    const uint8_t bytes[] = {command, high, low};
    return iic_write(address, bytes, 3);
}

int T_Orvel_Handler::iic_read(uint8_t address, uint8_t count, ReadBuffer &buffer)
{
    std::memset(buffer, 0, ReadBufferSize);
    std::lock_guard<std::mutex> bus(f_bus_lock);
    if (!ready_locked())
        return not_ready_result();
    std::memset(&f_Report56, 0, sizeof f_Report56);
    f_Report56.ReportID = ReportI2cRead;
    f_Report56.Bytes[0] = count;
    f_Report56.Bytes[1] = uint8_t((address << 1) + 1);
    if (iowkit().IowKitSetTimeout)
        iowkit().IowKitSetTimeout(f_IOWIIC, TimeoutAfterRead);
    bool answered = false;
    if (!exchange(answered))
        return ResultNoHandle;
    if (!answered)
        return unanswered_result();
    const int result = result_of_flags(f_Report56.Bytes[0]);
    if (result != ResultOk)
        return result;
    std::memcpy(buffer, f_Report56.Bytes, sizeof f_Report56.Bytes);
    return ResultOk;
}

void T_Orvel_Handler::set_pressure_digits(int32_t p_digits)
{
    f_pressure_digits = p_digits;
    f_Device->Set_pressure_digits(p_digits);
}

void T_Orvel_Handler::set_temperature_digits(int32_t t_digits)
{
    f_temperature_digits = t_digits;
    f_Device->Set_temperature_digits(t_digits);
}

QString T_Orvel_Handler::zero_pad(int64_t value, int n)
{
    QString padding;
    int64_t limit = 10;
    for (int k = 1; k < n; ++k, limit *= 10)
        if (value < limit)
            padding += u'0';
    return padding + QString::number(value);
}

QString T_Orvel_Handler::Get_PressureScalingString() const
{
    return T_OrvelDevice::range_text(f_Device->Get_pmin(), f_Device->Get_pmax(), f_Device->Get_P_Mode(),
                                     f_pressure_digits);
}

QString T_Orvel_Handler::Get_ProductString() const
{
    return QStringLiteral("F") + zero_pad(f_Device->Get_file(), 5) + QStringLiteral("E") +
           zero_pad(f_Device->Get_equipment(), 2) + QStringLiteral("P") + zero_pad(f_Device->Get_place(), 4);
}
