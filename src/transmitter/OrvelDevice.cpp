#include "transmitter/OrvelDevice.h"

#include "services/utils/ZUtils.h"

T_Memory_Status T_Memory_Status::from_high_byte(uint8_t high)
{
    return {ZByte::readBit(high, 7), int32_t(ZByte::writeBit(high, 7, false) >> 5)};
}

double T_OrvelDevice::calc_press(int32_t val, float p_min, float p_max)
{
    const double low = p_min, high = p_max;
    return low + (high - low) * (double(val) - 16384.0) / 32768.0;
}

double T_OrvelDevice::calc_temp(int32_t val)
{
    return (val - 24) * 0.05 - 50.0;
}

bool T_OrvelDevice::status_allows_communication(uint8_t status)
{
    return status == 0x40 || status == 0x44 || status == 0x48 || status == 0x4C;
}

QString T_OrvelDevice::status_text(uint8_t status)
{
    if (!ZByte::readBit(status, 6))
        return QStringLiteral("Hardware Error Powered");
    static const char *const modes[] = {"Normal Mode", "Command Mode", "ZMD Reserved", "Command Mode and Reserved"};
    const int mode = (ZByte::readBit(status, 4) ? 2 : 0) + (ZByte::readBit(status, 3) ? 1 : 0);
    QString text = QString::fromLatin1(modes[mode]);
    if (ZByte::readBit(status, 5))
        text += QStringLiteral("| Busy");
    if (ZByte::readBit(status, 2))
        text += QStringLiteral("| Memory Error");
    if (ZByte::readBit(status, 1))
        text += QStringLiteral("| Special Error");
    return text;
}

QString T_OrvelDevice::pressure_mode_text(uint8_t mode)
{
    switch (mode) {
    case 0: return QStringLiteral("PR");
    case 1: return QStringLiteral("PA");
    case 2: return QStringLiteral("PAA");
    default: return {};
    }
}

QString T_OrvelDevice::range_text(double p_min, double p_max, uint8_t mode, int digits)
{
    const QString name = pressure_mode_text(mode);
    if (name.isEmpty())
        return {};
    return ZString::FormatFixed(p_min, digits) + QStringLiteral("...") + ZString::FormatFixed(p_max, digits) + u' ' +
           name;
}

void T_OrvelDevice::Set_pressure_U16_raw(int32_t v)
{
    f_pressure_U16_raw = v;
    f_pressure = calc_press(v, float(f_pmin), float(f_pmax));
}

void T_OrvelDevice::Set_temperature_U16_raw(int32_t v)
{
    f_temperature_U16_raw = v;
    f_temperature = calc_temp(v / 16);
}

QString T_OrvelDevice::Get_pressure_as_String() const
{
    return pressure_text(f_pressure);
}

QString T_OrvelDevice::Get_temperature_as_String() const
{
    return temperature_text(f_temperature);
}

QString T_OrvelDevice::pressure_text(double pressure) const
{
    return ZString::FormatFixed(pressure, f_pressure_digits);
}

QString T_OrvelDevice::temperature_text(double temperature) const
{
    return ZString::FormatFixed(temperature, f_temperature_digits);
}

void T_OrvelDevice::Set_status(uint8_t v)
{
    f_status = v;
    f_communication_allowed = status_allows_communication(v);
}

const QString &T_OrvelDevice::Get_status_as_string()
{
    f_status_as_string = status_text(f_status);
    return f_status_as_string;
}
