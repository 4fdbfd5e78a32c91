// The one transmitter the program is connected to: address, identity, range, last status
// and measurement, memory status and its two memory images, with the conversion rules.
// Not locked: the workers and the main thread take turns through the hand-over flags.
#pragma once

#include "transmitter/OrvelMemory.h"

#include <QString>
#include <array>
#include <cstdint>

struct T_Memory_Status {
    bool data_corrected = false;
    int32_t current_page = 0;

    // Decoded from the high byte of the memory-status answer.
    static T_Memory_Status from_high_byte(uint8_t high);
    // How many more times the memory (and the address) can be rewritten.
    int changes_left() const { return 3 - current_page; }
};

using T_ScaleArray = std::array<uint8_t, 4>;

class T_OrvelDevice
{
public:
    static double calc_press(int32_t val, float p_min, float p_max);
    static double calc_temp(int32_t val);
    // The status text for a status byte.
    static QString status_text(uint8_t status);
    // Communication is allowed for 0x40, 0x44, 0x48 and 0x4C only.
    static bool status_allows_communication(uint8_t status);
    static QString pressure_mode_text(uint8_t mode); // "PR", "PA", "PAA" or empty
    // "-1.000...1.000 PR", the device panel's scaling text; empty for an unknown mode.
    static QString range_text(double p_min, double p_max, uint8_t mode, int digits);

    uint8_t Get_slave_addr() const { return f_slave_addr; }
    void Set_slave_addr(uint8_t v) { f_slave_addr = v; }
    double Get_pmin() const { return f_pmin; }
    void Set_pmin(double v) { f_pmin = v; }
    double Get_pmax() const { return f_pmax; }
    void Set_pmax(double v) { f_pmax = v; }
    uint8_t Get_P_Mode() const { return f_P_Mode; }
    void Set_P_Mode(uint8_t v) { f_P_Mode = v; }
    const QString &Get_Calib_Date() const { return f_Calib_Date; }
    void Set_Calib_Date(const QString &v) { f_Calib_Date = v; }
    int32_t Get_UniqueProductID() const { return f_UniqueProductID; }
    void Set_UniqueProductID(int32_t v) { f_UniqueProductID = v; }
    int32_t Get_equipment() const { return f_equipment; }
    void Set_equipment(int32_t v) { f_equipment = v; }
    int32_t Get_place() const { return f_place; }
    void Set_place(int32_t v) { f_place = v; }
    int32_t Get_file() const { return f_file; }
    void Set_file(int32_t v) { f_file = v; }
    double Get_pressure() const { return f_pressure; }
    void Set_pressure(double v) { f_pressure = v; }
    double Get_temperature() const { return f_temperature; }
    void Set_temperature(double v) { f_temperature = v; }

    int32_t Get_pressure_U16_raw() const { return f_pressure_U16_raw; }
    // Also converts to bar with the current range.
    void Set_pressure_U16_raw(int32_t v);
    int32_t Get_temperature_U16_raw() const { return f_temperature_U16_raw; }
    // Also converts to °C from the upper 12 bits.
    void Set_temperature_U16_raw(int32_t v);

    QString Get_pressure_as_String() const;
    QString Get_temperature_as_String() const;
    // A value taken earlier, written with the digits set now.
    QString pressure_text(double pressure) const;
    QString temperature_text(double temperature) const;

    uint8_t Get_status() const { return f_status; }
    // Also decides whether communication is allowed.
    void Set_status(uint8_t v);
    const QString &Get_status_as_string();
    bool Get_communication_allowed() const { return f_communication_allowed; }

    const T_Memory_Status &Get_memory_status() const { return f_memory_status; }
    void Set_memory_status(const T_Memory_Status &v) { f_memory_status = v; }
    T_DeviceMemory &Get_memory_page() { return f_memory_page; }
    T_DeviceMemory &Get_verify_memory_page() { return f_verify_memory_page; }

    int32_t Get_pressure_digits() const { return f_pressure_digits; }
    void Set_pressure_digits(int32_t v) { f_pressure_digits = v; }
    int32_t Get_temperature_digits() const { return f_temperature_digits; }
    void Set_temperature_digits(int32_t v) { f_temperature_digits = v; }

private:
    uint8_t f_slave_addr = 0;
    T_ScaleArray f_scale{};
    double f_pmin = 0;
    double f_pmax = 0;
    uint8_t f_P_Mode = 0;
    QString f_Calib_Date;
    int32_t f_UniqueProductID = 0;
    int32_t f_equipment = 0;
    int32_t f_place = 0;
    int32_t f_file = 0;
    double f_pressure = 0;
    double f_temperature = 0;
    int32_t f_pressure_U16_raw = 0;
    int32_t f_temperature_U16_raw = 0;
    uint8_t f_status = 0;
    QString f_status_as_string;
    bool f_communication_allowed = true;
    T_Memory_Status f_memory_status;
    T_DeviceMemory f_memory_page;
    T_DeviceMemory f_verify_memory_page;
    int32_t f_pressure_digits = 0;
    int32_t f_temperature_digits = 0;
};
