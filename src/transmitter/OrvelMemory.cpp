#include "transmitter/OrvelMemory.h"

#include <cstring>

namespace {

const char *const RegisterNames[T_DeviceMemory::RegisterCount] = {
    "Cust_ID0", "Cust_ID1", "COM_Config", "B_sign",    "T_sign",    "Offset_B",   "Gain_B",   "Tcg",
    "Tco",      "SOT_tco",  "SOT_tcg",    "SOT_Bridge", "Offset_T", "Gain_T",     "SOT_T",    "T_SETL",
    "BM_Config", "AUX",     "scaling0",   "scaling1",  "scaling2",  "scaling3",   "scaling4", "Checksum",
};

constexpr int Scaling0 = 0x12;
constexpr int Scaling4 = 0x16;

template <typename Pred>
T_DeviceMemory::RegisterList select(T_DeviceMemory &memory, Pred keep)
{
    T_DeviceMemory::RegisterList list;
    for (int a = 0; a < T_DeviceMemory::RegisterCount; ++a)
        if (keep(a))
            list.push_back(&memory.at(a));
    return list;
}

} // namespace

T_DeviceMemory::T_DeviceMemory()
{
    for (int a = 0; a < RegisterCount; ++a)
        f_registers[size_t(a)] = T_32Bit(QString::fromLatin1(RegisterNames[a]), uint8_t(a));
}

T_DeviceMemory::RegisterList T_DeviceMemory::full_image()
{
    return select(*this, [](int) { return true; });
}

T_DeviceMemory::RegisterList T_DeviceMemory::identity_registers()
{
    return select(*this, [](int a) { return a <= 1 || (a >= Scaling0 && a <= Scaling4); });
}

T_DeviceMemory::RegisterList T_DeviceMemory::writable_registers()
{
    return select(*this, [](int a) { return a != OrvelWords::Checksum; });
}

T_DeviceMemory::RegisterList T_DeviceMemory::compared_registers()
{
    return select(*this, is_compared);
}

bool T_DeviceMemory::is_compared(int address)
{
    return address != OrvelWords::COM_Config && address != OrvelWords::Checksum;
}

bool T_DeviceMemory::compared_all_zero() const
{
    for (int a = 0; a < RegisterCount; ++a)
        if (is_compared(a) && at(a).value() != 0)
            return false;
    return true;
}

namespace OrvelWords {

CustomerId0 decode_cust_id0(uint16_t word)
{
    return {word >> 10, word & 0x3FF};
}

CalibrationWord decode_scaling0(uint16_t word)
{
    return {2010 + (word >> 11), (word >> 7) & 0x0F, (word >> 2) & 0x1F, uint8_t(word & 0x03)};
}

QString calibration_date_text(const CalibrationWord &date)
{
    return QStringLiteral("%1.%2.%3")
        .arg(date.day, 2, 10, QLatin1Char('0'))
        .arg(date.month, 2, 10, QLatin1Char('0'))
        .arg(date.year, 4, 10, QLatin1Char('0'));
}

float single_from_words(uint16_t upper, uint16_t lower)
{
    const uint32_t bits = uint32_t(upper) << 16 | lower;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

} // namespace OrvelWords
