// The transmitter's non-volatile memory: 24 sixteen-bit words at addresses 0x00 to 0x17,
// and the bit layouts of the words the program interprets.
// Plain data: the owner of an image decides which thread touches it.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// One memory word (16 bits despite the name), high byte first on the bus.
class T_32Bit
{
public:
    T_32Bit() = default;
    T_32Bit(QString name, uint8_t addr) : f_name(std::move(name)), f_addr(addr) {}

    uint8_t Get_hByte() const { return f_hByte; }
    void Set_hByte(uint8_t v) { f_hByte = v; }
    uint8_t Get_lByte() const { return f_lByte; }
    void Set_lByte(uint8_t v) { f_lByte = v; }
    const QString &Get_name() const { return f_name; }
    void Set_name(const QString &v) { f_name = v; }
    uint8_t Get_addr() const { return f_addr; }
    void Set_addr(uint8_t v) { f_addr = v; }

    uint16_t value() const { return uint16_t(f_hByte << 8 | f_lByte); }
    void setValue(uint16_t v)
    {
        f_hByte = uint8_t(v >> 8);
        f_lByte = uint8_t(v & 0xFF);
    }

private:
    uint8_t f_hByte = 0;
    uint8_t f_lByte = 0;
    QString f_name;
    uint8_t f_addr = 0;
};

// One image of the whole memory; register index equals word address.
class T_DeviceMemory
{
public:
    static constexpr int RegisterCount = 24;
    using RegisterList = std::vector<T_32Bit *>;

    T_DeviceMemory();
    T_DeviceMemory(const T_DeviceMemory &) = default;
    T_DeviceMemory &operator=(const T_DeviceMemory &) = default;

    T_32Bit &Get_Cust_ID0() { return f_registers[0x00]; }
    T_32Bit &Get_Cust_ID1() { return f_registers[0x01]; }
    T_32Bit &Get_COM_Config() { return f_registers[0x02]; }
    T_32Bit &Get_B_sign() { return f_registers[0x03]; }
    T_32Bit &Get_T_sign() { return f_registers[0x04]; }
    T_32Bit &Get_Offset_B() { return f_registers[0x05]; }
    T_32Bit &Get_Gain_B() { return f_registers[0x06]; }
    T_32Bit &Get_Tcg() { return f_registers[0x07]; }
    T_32Bit &Get_Tco() { return f_registers[0x08]; }
    T_32Bit &Get_SOT_tco() { return f_registers[0x09]; }
    T_32Bit &Get_SOT_tcg() { return f_registers[0x0A]; }
    T_32Bit &Get_SOT_Bridge() { return f_registers[0x0B]; }
    T_32Bit &Get_Offset_T() { return f_registers[0x0C]; }
    T_32Bit &Get_Gain_T() { return f_registers[0x0D]; }
    T_32Bit &Get_SOT_T() { return f_registers[0x0E]; }
    T_32Bit &Get_T_SETL() { return f_registers[0x0F]; }
    T_32Bit &Get_BM_Config() { return f_registers[0x10]; }
    T_32Bit &Get_AUX() { return f_registers[0x11]; }
    T_32Bit &Get_scaling0() { return f_registers[0x12]; }
    T_32Bit &Get_scaling1() { return f_registers[0x13]; }
    T_32Bit &Get_scaling2() { return f_registers[0x14]; }
    T_32Bit &Get_scaling3() { return f_registers[0x15]; }
    T_32Bit &Get_scaling4() { return f_registers[0x16]; }
    T_32Bit &Get_checksum() { return f_registers[0x17]; }

    T_32Bit &at(int address) { return f_registers.at(size_t(address)); }
    const T_32Bit &at(int address) const { return f_registers.at(size_t(address)); }

    // Register groups, always in address order.
    RegisterList full_image();
    RegisterList identity_registers();  // Cust_ID0, Cust_ID1, scaling0 .. scaling4
    RegisterList writable_registers();  // all but Checksum
    RegisterList compared_registers();  // all but COM_Config and Checksum

    static bool is_compared(int address);
    // A transmitter whose compared words are all 0 counts as not calibrated.
    bool compared_all_zero() const;

    // Whether the last full read delivered every word with a status that allowed communication;
    // an image that was never read completely must not be written back.
    bool Get_complete() const { return f_complete; }
    void Set_complete(bool v) { f_complete = v; }

private:
    std::array<T_32Bit, RegisterCount> f_registers;
    bool f_complete = false;
};

// Bit layouts of the interpreted words.
namespace OrvelWords {

constexpr uint8_t COM_Config = 0x02;
constexpr uint8_t Checksum = 0x17;
constexpr uint8_t MemoryStatusCommand = 0x20;
constexpr uint8_t WriteCommandBase = 0x40;

struct CustomerId0 {
    int equipment; // bits 15..10
    int place;     // bits 9..0
};
CustomerId0 decode_cust_id0(uint16_t word);

struct CalibrationWord {
    int year;  // 2010 + bits 15..11
    int month; // bits 10..7
    int day;   // bits 6..2
    uint8_t pressure_mode; // bits 1..0
};
CalibrationWord decode_scaling0(uint16_t word);
// "DD.MM.YYYY", day and month with a leading zero below 10.
QString calibration_date_text(const CalibrationWord &date);

// The single-precision number whose upper and lower 16 bits are the two words.
float single_from_words(uint16_t upper, uint16_t lower);

} // namespace OrvelWords
