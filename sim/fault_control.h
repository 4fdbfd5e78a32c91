// Setting one fault of the simulation; shared by the control calls and the armed faults.
// Threading: hold the simulator's lock.
#pragma once

#include "iowsim_control.h"

namespace iowsim {

class Simulator;

// Returns false for an unknown fault, transmitter or value.
bool setFault(Simulator &sim, int transmitter, iowsim_fault fault, int value);

}  // namespace iowsim
