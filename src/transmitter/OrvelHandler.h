// Device access to the transmitter through the adapter.
#pragma once

#include <QString>
#include <cstdint>

// One 7-bit slave address with its text "0x" + two upper-case hexadecimal digits.
class T_SlaveAddr
{
public:
    int32_t Get_int_Addr() const { return f_int_Addr; }
    // Also sets the text.
    void Set_int_Addr(int32_t v);
    const QString &Get_hex_addr() const { return f_hex_addr; }
    // The text only; the number does not change.
    void Set_hex_addr(const QString &v) { f_hex_addr = v; }

    static QString hex_text(int32_t addr);

private:
    int32_t f_int_Addr = 0;
    QString f_hex_addr;
};
