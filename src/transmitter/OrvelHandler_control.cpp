// Slave-address scan, power and mode control, and the measurement command.
#include "transmitter/OrvelHandler.h"

#include "services/utils/ZUtils.h"
#include "transmitter/iowkit.h"

#include <cstring>

namespace {

constexpr uint8_t CommandModeCommand = 0xA9;
constexpr uint8_t MeasureCommand = 0xAC;
constexpr int CommandModeSettle = 100;
constexpr int BeforeMeasurementRead = 10;
constexpr uint8_t PowerOn[8] = {0x00, 0xFF, 0xA0, 0xFF, 0xFF, 0xFF, 0x08, 0xFF};
constexpr uint8_t PowerOff[8] = {};

} // namespace

int T_Orvel_Handler::probe_address(uint8_t address)
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    if (!ready_locked())
        return not_ready_result();
    std::memset(&f_Report56, 0, sizeof f_Report56);
    f_Report56.ReportID = 0x03;
    f_Report56.Bytes[0] = 2;
    f_Report56.Bytes[1] = uint8_t(address * 2 + 1);
    set_probe_timeout();
    bool answered = false;
    if (!exchange(answered))
        return ResultNoHandle;
    if (!answered)
        return unanswered_result();
    // Bit 1 of the byte count: both bytes were read. The error flag is not looked at here.
    if (ZByte::readBit(f_Report56.Bytes[0], 1))
        return ResultOk;
    const int flags = result_of_flags(f_Report56.Bytes[0]);
    return flags == ResultOk ? ResultAck : flags;
}

bool T_Orvel_Handler::get_slave_address()
{
    f_slave_addr_list.clear();
    // A new scan may find another transmitter: the image read before belongs to nobody now.
    f_Device->Get_memory_page().Set_complete(false);
    f_scan_complete = false;
    f_scan_arbitration_lost = false;
    if (!adapter_ready())
        return false;
    bool result = false;
    bool everyAnswered = true;
    for (int address = 0x00; address <= 0x7F && !interrupted(); ++address) {
        const int probe = probe_address(uint8_t(address));
        if (probe != ResultOk && probe != ResultAck)
            everyAnswered = false;
        if (probe == ResultArbLost)
            f_scan_arbitration_lost = true;
        if (probe == ResultNoHandle) {
            result = false;
        } else if (probe == ResultOk) {
            T_SlaveAddr entry;
            entry.Set_int_Addr(address);
            f_slave_addr_list.append(entry);
            result = true;
        }
    }
    int chosen = f_slave_addr_list.isEmpty() ? 0 : f_slave_addr_list.first().Get_int_Addr();
    const int preferred = f_preferred_addr.load();
    for (const T_SlaveAddr &entry : f_slave_addr_list)
        if (entry.Get_int_Addr() == preferred)
            chosen = preferred;
    f_Device->Set_slave_addr(uint8_t(chosen));
    f_scan_complete = everyAnswered && !interrupted();
    return result && !interrupted();
}

bool T_Orvel_Handler::answers_at(uint8_t address)
{
    ReadBuffer buffer;
    return iic_read(address, 3, buffer) == 0;
}

bool T_Orvel_Handler::write_io_report(const uint8_t (&bytes)[8])
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    if (!ready_locked() || !iowkit().IowKitWrite)
        return false;
    std::memcpy(&f_IO_Report56, bytes, sizeof f_IO_Report56);
    return kit_write(IOW_PIPE_IO_PINS, &f_IO_Report56, IOWKIT56_IO_REPORT_SIZE) == IOWKIT56_IO_REPORT_SIZE;
}

bool T_Orvel_Handler::switch_OFF()
{
    return write_io_report(PowerOff);
}

bool T_Orvel_Handler::switch_ON()
{
    return write_io_report(PowerOn);
}

bool T_Orvel_Handler::disable_SPI()
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    if (!ready_locked())
        return false;
    std::memset(&f_Report56, 0, sizeof f_Report56);
    f_Report56.ReportID = 0x08;
    f_Report56.Bytes[0] = 0x00;
    return write_special_report();
}

bool T_Orvel_Handler::switch_command_mode()
{
    if (!adapter_ready())
        return false;
    const uint8_t slave = f_Device->Get_slave_addr();
    log_result(QStringLiteral("execute 0xA9 command"), iic_write_cmd(slave, CommandModeCommand),
               QStringLiteral(" -> "));
    wait_ms(CommandModeSettle);
    log_result(QStringLiteral("execute Test  prepare command"),
               iic_write_cmd(slave, f_Device->Get_memory_page().Get_Cust_ID1().Get_addr()), QStringLiteral(" -> "));
    wait_ms(CommandModeSettle);

    ReadBuffer buffer;
    const int read = iic_read(slave, 3, buffer);
    log_result(QStringLiteral("execute read after 0xA9 command"), read, QStringLiteral(" -> "));
    if (read != 0)
        return false;
    const uint8_t status = buffer[1];
    f_Device->Set_status(status);
    if (status != 0x48 && status != 0x4C) {
        log(catCommunication, lError, QStringLiteral("ERROR execute read after 0xA9 command : STATUS=0x") + hex2(status));
        return false;
    }
    QString hex;
    for (int i = 0; i < 4; ++i)
        hex += QStringLiteral(" 0x") + hex2(buffer[i]);
    log(catCommunication, lDebug, QStringLiteral("Debug -> Answer Test measurement decimal  ") + decimal_bytes(buffer));
    log(catCommunication, lDebug, QStringLiteral("Debug -> Answer Test measurement hexadecimal  ") + hex);
    return true;
}

bool T_Orvel_Handler::get_measurement()
{
    if (!adapter_ready())
        return false;
    const uint8_t slave = f_Device->Get_slave_addr();
    const int prepared = iic_write_cmd(slave, MeasureCommand);
    log_result(QStringLiteral("execute measurement prepare command"), prepared, QStringLiteral(" -> "));
    // Without the command the chip has measured nothing: a read would show an old answer.
    if (prepared != 0)
        return false;
    wait_ms(BeforeMeasurementRead);
    ReadBuffer buffer;
    const int read = iic_read(slave, 5, buffer);
    log_result(QStringLiteral("execute measurement read command"), read, QStringLiteral(" -> "));
    if (read != 0)
        return false;
    T_OrvelDevice &device = *f_Device;
    device.Set_pressure_U16_raw(buffer[2] << 8 | buffer[3]);
    device.Set_temperature_U16_raw(buffer[4] << 8 | buffer[5]);
    device.Set_status(buffer[1]);
    if (device.Get_communication_allowed())
        return true;
    log(catCommunication, lError,
        QStringLiteral("ERROR execute measurement read command : STATUS=0x") + hex2(buffer[1]));
    return false;
}
