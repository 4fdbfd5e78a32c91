#include "transmitter/OrvelDevice.h"
#include "locale_guard.h"
#include "qt_printers.h"

#include <gtest/gtest.h>

TEST(StatusByte, TextAndCommunicationRule)
{
    struct {
        uint8_t status;
        const char *text;
        bool allowed;
    } cases[] = {
        {0x40, "Normal Mode", true},
        {0x48, "Command Mode", true},
        {0x44, "Normal Mode| Memory Error", true},
        {0x4C, "Command Mode| Memory Error", true},
        {0x50, "ZMD Reserved", false},
        {0x58, "Command Mode and Reserved", false},
        {0x60, "Normal Mode| Busy", false},
        {0x64, "Normal Mode| Busy| Memory Error", false},
        {0x42, "Normal Mode| Special Error", false},
        {0x41, "Normal Mode", false},
        {0x00, "Hardware Error Powered", false},
        {0x3E, "Hardware Error Powered", false},
        {0xC0, "Normal Mode", false},
        {0x7E, "Command Mode and Reserved| Busy| Memory Error| Special Error", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.status);
        T_OrvelDevice device;
        device.Set_status(c.status);
        EXPECT_EQ(device.Get_status(), c.status);
        EXPECT_EQ(device.Get_status_as_string(), QString::fromLatin1(c.text));
        EXPECT_EQ(device.Get_communication_allowed(), c.allowed);
    }
}

TEST(StatusByte, NewDeviceAllowsCommunicationUntilAStatusArrives)
{
    T_OrvelDevice device;
    EXPECT_TRUE(device.Get_communication_allowed());
    device.Set_status(0x60);
    EXPECT_FALSE(device.Get_communication_allowed());
    device.Set_status(0x40);
    EXPECT_TRUE(device.Get_communication_allowed());
}

TEST(Conversion, PressureFromRawWord)
{
    struct {
        int32_t raw;
        double pmin, pmax, bar;
    } cases[] = {
        {0x4000, 0, 10, 0.0},         {0x8000, 0, 10, 5.0},          {0xC000, 0, 10, 10.0},
        {0, 0, 10, -5.0},             {65535, 0, 10, 14.999694824},  {0x8000, -1, 1, 0.0},
        {0x4000, -1, 1, -1.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.raw);
        T_OrvelDevice device;
        device.Set_pmin(c.pmin);
        device.Set_pmax(c.pmax);
        device.Set_pressure_U16_raw(c.raw);
        EXPECT_EQ(device.Get_pressure_U16_raw(), c.raw);
        EXPECT_NEAR(device.Get_pressure(), c.bar, 1e-9);
    }
}

TEST(Conversion, PressureUsesSinglePrecisionLimits)
{
    T_OrvelDevice device;
    device.Set_pmax(0.1);
    device.Set_pressure_U16_raw(0xC000);
    EXPECT_EQ(device.Get_pressure(), double(0.1f));
    EXPECT_NE(device.Get_pressure(), 0.1);
}

TEST(Conversion, ChangingTheRangeDoesNotRecomputeThePressure)
{
    T_OrvelDevice device;
    device.Set_pmax(10);
    device.Set_pressure_U16_raw(0x8000);
    device.Set_pmax(20);
    device.Set_pmin(5);
    EXPECT_DOUBLE_EQ(device.Get_pressure(), 5.0);
}

TEST(Conversion, TemperatureFromUpperTwelveBits)
{
    struct {
        int32_t raw;
        double celsius;
    } cases[] = {{0, -51.2}, {0x4000, 0.0}, {0x400F, 0.0}, {0x4010, 0.05}, {0xFFFF, 153.55}, {24 * 16, -50.0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.raw);
        T_OrvelDevice device;
        device.Set_temperature_U16_raw(c.raw);
        EXPECT_EQ(device.Get_temperature_U16_raw(), c.raw);
        EXPECT_NEAR(device.Get_temperature(), c.celsius, 1e-9);
    }
}

struct NumberTextCase {
    double value;
    int digits;
    const char *point;
    const char *comma;
};

TEST(NumberTexts, PressureAndTemperatureInBothSeparators)
{
    const NumberTextCase cases[] = {
        {12.3456, 2, "12.35", "12,35"},
        {1.23456, 3, "1.235", "1,235"},
        {5.0, 0, "5", "5"},
        {0.0, 2, "0.00", "0,00"},
        {-0.001, 2, "0.00", "0,00"},
        {-51.2, 1, "-51.2", "-51,2"},
        {1234567.891234567, 10, "1234567.8912300000", "1234567,8912300000"},
        {0.000123456789012345, 18, "0.000123456789012000", "0,000123456789012000"},
        {2.5, 0, "3", "3"},
        {1234.5678, 5, "1234.56780", "1234,56780"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.point);
        T_OrvelDevice device;
        device.Set_pressure_digits(c.digits);
        device.Set_temperature_digits(c.digits);
        device.Set_pressure(c.value);
        device.Set_temperature(c.value);
        {
            LocaleGuard guard(LocaleGuard::pointLocale());
            EXPECT_EQ(device.Get_pressure_as_String(), QString::fromLatin1(c.point));
            EXPECT_EQ(device.Get_temperature_as_String(), QString::fromLatin1(c.point));
        }
        LocaleGuard guard(LocaleGuard::commaLocale());
        EXPECT_EQ(device.Get_pressure_as_String(), QString::fromLatin1(c.comma));
    }
}

TEST(NumberTexts, TooManyIntegerDigitsFallBackToScientific)
{
    LocaleGuard guard(LocaleGuard::pointLocale());
    T_OrvelDevice device;
    device.Set_pressure_digits(2);
    device.Set_pressure(1.5e15);
    EXPECT_EQ(device.Get_pressure_as_String(), QStringLiteral("1.5E15"));
}

TEST(PressureMode, Texts)
{
    EXPECT_EQ(T_OrvelDevice::pressure_mode_text(0), QStringLiteral("PR"));
    EXPECT_EQ(T_OrvelDevice::pressure_mode_text(1), QStringLiteral("PA"));
    EXPECT_EQ(T_OrvelDevice::pressure_mode_text(2), QStringLiteral("PAA"));
    EXPECT_EQ(T_OrvelDevice::pressure_mode_text(3), QString());
}
