// Identity and memory-image reading; memory write, read-back comparison and checksum.
#include "transmitter/OrvelHandler.h"


namespace {

constexpr int PrepareToRead = 5;
constexpr int BeforeUpperRangeLimit = 20;
constexpr int BeforeEachWrittenWord = 20;
constexpr uint8_t OpenPageCommand = 0x5E;
constexpr uint8_t ChecksumCommand = 0xAA;

uint16_t word_of(const uint8_t *buffer)
{
    return uint16_t(buffer[2] << 8 | buffer[3]);
}

} // namespace

QString T_Orvel_Handler::word_to_hex(const T_32Bit &reg)
{
    return QStringLiteral("0x") + QString::number(reg.value(), 16).toUpper().rightJustified(4, u'0');
}

bool T_Orvel_Handler::get_device_scaling()
{
    if (!adapter_ready())
        return false;
    T_OrvelDevice &device = *f_Device;
    T_DeviceMemory &names = device.Get_memory_page();
    const uint8_t slave = device.Get_slave_addr();
    bool result = false;
    uint16_t custId0 = 0;
    uint8_t savedHigh = 0, savedLow = 0;

    for (T_32Bit *reg : names.identity_registers()) {
        if (interrupted())
            return false;
        const uint8_t address = reg->Get_addr();
        const QString phrase = QStringLiteral("read ") + reg->Get_name();
        if (address == names.Get_scaling3().Get_addr())
            wait_ms(BeforeUpperRangeLimit);
        const int prepared = iic_write_cmd(slave, address);
        log_result(phrase + QStringLiteral(" prepare command"), prepared);
        wait_ms(PrepareToRead);
        ReadBuffer buffer;
        // A refused read command leaves the chip holding another word.
        const int read = prepared == 0 ? iic_read(slave, 3, buffer) : prepared;
        if (read == 0) {
            device.Set_status(buffer[1]);
            log(catCommunication, lDebug,
                phrase + QStringLiteral(" execute read : OK -> ") + decimal_bytes(buffer));
            const uint8_t high = buffer[2], low = buffer[3];
            const uint16_t word = word_of(buffer);
            switch (address) {
            case 0x00: {
                custId0 = word;
                const auto id = OrvelWords::decode_cust_id0(word);
                device.Set_equipment(id.equipment);
                device.Set_place(id.place);
                break;
            }
            case 0x01:
                device.Set_file(word);
                device.Set_UniqueProductID(int32_t(uint32_t(word) << 16 | custId0));
                break;
            case 0x12: {
                const auto date = OrvelWords::decode_scaling0(word);
                device.Set_Calib_Date(OrvelWords::calibration_date_text(date));
                device.Set_P_Mode(date.pressure_mode);
                break;
            }
            case 0x13:
            case 0x15:
                savedHigh = high;
                savedLow = low;
                break;
            case 0x14:
                device.Set_pmin(OrvelWords::single_from_words(uint16_t(savedHigh << 8 | savedLow), word));
                break;
            case 0x16:
                device.Set_pmax(OrvelWords::single_from_words(uint16_t(savedHigh << 8 | savedLow), word));
                result = true;
                break;
            }
        } else {
            log(catCommunication, result_mode(read), phrase + QStringLiteral(" execute read : ") + result_text(read));
        }
        // A range limit never takes its upper half from another limit's word.
        if (address == 0x12 || address == 0x14)
            savedHigh = savedLow = 0;
    }
    return result;
}

bool T_Orvel_Handler::read_memory_into(T_DeviceMemory &image)
{
    if (!adapter_ready())
        return false;
    T_OrvelDevice &device = *f_Device;
    const uint8_t slave = device.Get_slave_addr();
    bool result = false;
    bool complete = true;

    auto readWord = [&](uint8_t command, const QString &name, ReadBuffer &buffer) {
        const int prepared = iic_write_cmd(slave, command);
        log_result(QStringLiteral("read ") + name, prepared);
        wait_ms(PrepareToRead);
        const int read = prepared == 0 ? iic_read(slave, 3, buffer) : prepared;
        if (read != 0)
            log(catCommunication, result_mode(read), name + QStringLiteral(" execute read : ") + result_text(read));
        return read == 0;
    };
    auto checkStatus = [&](uint8_t status, const QString &name) {
        device.Set_status(status);
        result = device.Get_communication_allowed();
        if (!result) {
            complete = false;
            log(catCommunication, lError,
                QStringLiteral("ERROR execute read ") + name + QStringLiteral(" : STATUS=0x") + hex2(status));
        }
    };

    for (T_32Bit *source : device.Get_memory_page().full_image()) {
        if (interrupted())
            break;
        ReadBuffer buffer;
        if (!readWord(source->Get_addr(), source->Get_name(), buffer)) {
            complete = false;
            continue;
        }
        T_32Bit &target = image.at(source->Get_addr());
        target.Set_hByte(buffer[2]);
        target.Set_lByte(buffer[3]);
        checkStatus(buffer[1], source->Get_name());
    }

    ReadBuffer buffer;
    if (interrupted()) {
        image.Set_complete(false);
        return false;
    }
    if (readWord(OrvelWords::MemoryStatusCommand, QStringLiteral("Memory Status"), buffer)) {
        device.Set_memory_status(T_Memory_Status::from_high_byte(buffer[2]));
        checkStatus(buffer[1], QStringLiteral("Memory Status"));
    } else {
        complete = false;
    }
    image.Set_complete(complete);
    return result;
}

bool T_Orvel_Handler::get_device_memory()
{
    return read_memory_into(f_Device->Get_memory_page());
}

bool T_Orvel_Handler::get_verify_device_memory()
{
    return read_memory_into(f_Device->Get_verify_memory_page());
}

bool T_Orvel_Handler::set_device_memory()
{
    if (!adapter_ready())
        return false;
    const uint8_t slave = f_Device->Get_slave_addr();
    const int opened = iic_write_cmd(slave, OpenPageCommand);
    log_result(QStringLiteral("write 0x5E"), opened);
    // Words written without an opened page would land who knows where.
    if (opened != 0)
        return false;
    bool all = true;
    for (T_32Bit *reg : f_Device->Get_memory_page().writable_registers()) {
        if (interrupted())
            return false;
        wait_ms(BeforeEachWrittenWord);
        const int result = iic_write_cmd_word(slave, uint8_t(OrvelWords::WriteCommandBase + reg->Get_addr()),
                                              reg->Get_hByte(), reg->Get_lByte());
        const QString phrase = QStringLiteral("Write Command ") + reg->Get_name();
        if (result == 0)
            log(catCommunication, lDebug, phrase + QStringLiteral("=>") + word_to_hex(*reg) + QStringLiteral(" : OK"));
        else
            log(catCommunication, result_mode(result), phrase + QStringLiteral(" : ") + result_text(result));
        all = all && result == 0;
    }
    return all;
}

bool T_Orvel_Handler::compare_memory()
{
    if (!adapter_ready() || !get_verify_device_memory())
        return false;
    T_DeviceMemory &written = f_Device->Get_memory_page();
    T_DeviceMemory &readBack = f_Device->Get_verify_memory_page();
    // A word that was not read back proves nothing; the address word is written too.
    if (!readBack.Get_complete())
        return false;
    for (T_32Bit *reg : written.writable_registers()) {
        const T_32Bit &other = readBack.at(reg->Get_addr());
        if (reg->Get_hByte() != other.Get_hByte() || reg->Get_lByte() != other.Get_lByte())
            return false;
    }
    return true;
}

bool T_Orvel_Handler::generate_checksum()
{
    if (!adapter_ready())
        return false;
    const int result = iic_write_cmd(f_Device->Get_slave_addr(), ChecksumCommand);
    log_result(QStringLiteral("write 0xAA"), result);
    return result == 0;
}

bool T_Orvel_Handler::check_memory_is_zero()
{
    return f_Device->Get_memory_page().compared_all_zero();
}
