// How the main window lays out its two bar displays and its gauge before any transmitter was seen.
#pragma once

#include "views/instruments/AnalogDisplay.h"
#include "views/instruments/BarDisplay.h"

#include <QFont>

namespace instrument_design {

// The main window's font; Tahoma falls back to the system sans-serif where it is missing.
QFont MainWindowFont();

enum class Bar { Pressure, Thermometer };

void DesignBar(TBarDisplay &bar, Bar which);
void DesignGauge(TAnalogDisplay &gauge);

} // namespace instrument_design
