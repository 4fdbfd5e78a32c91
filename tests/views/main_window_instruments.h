#pragma once
// The two bar displays and the gauge set up the way the main window sets them up.
#include "views/instruments/instrument_design.h"

#include <QFont>
#include <cmath>

namespace instrument_design {

constexpr TColor kPressureColour = 0x00CA6500;    // stored default of the pressure curve
constexpr TColor kTemperatureColour = 0x001111FF; // stored default of the temperature curve
constexpr TColor kChartBackground = 0x00FFFFFF;

// At run time: translated caption, curve colour on all six range colours, and for the
// pressure bar the scale of a transmitter of range pmin … pmax.
inline void RunBar(TBarDisplay &bar, Bar which, double pmin, double pmax)
{
    const bool pressure = which == Bar::Pressure;
    bar.SetCaption(pressure ? QStringLiteral("Pressure [bar]") : QStringLiteral("Temperature [°C]"));
    const TColor colour = pressure ? kPressureColour : kTemperatureColour;
    bar.SetMinColor(colour);
    bar.SetMidColor(colour);
    bar.SetMaxColor(colour);
    bar.SetMinColor_minor(colour);
    bar.SetMidColor_minor(colour);
    bar.SetMaxColor_minor(colour);
    if (pressure) {
        const double fullScale = (pmax - pmin) / 100.0;
        bar.SetScale_Min(-1.0);
        bar.SetScale_Max(pmax + std::nearbyint(10 * fullScale));
        bar.SetPosition(0.0);
    }
    bar.SetFaceColor(0xFFFFFF);
}

// After a scan of a transmitter of range pmin … pmax and a measurement of `pressure`.
inline void RunGauge(TAnalogDisplay &gauge, double pmin, double pmax, double pressure)
{
    gauge.SetIndMaximum(0.0);
    gauge.SetScaleMin(pmin);
    gauge.SetScaleMax(pmax);
    gauge.SetIndMinimum(pmax);
    gauge.SetDigits(2);
    gauge.SetMinColor(kPressureColour);
    gauge.SetFaceColor(kChartBackground);
    gauge.SetPosition(pressure);
}

} // namespace instrument_design
