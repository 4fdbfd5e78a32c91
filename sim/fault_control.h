// Setting one fault of the simulation; shared by the control calls and the armed faults.
// Threading: hold the simulator's lock.
#pragma once

#include "iowsim_control.h"

#include <cstddef>

namespace iowsim {

class Simulator;

// Returns false for an unknown adapter, fault, transmitter or value.
bool setFault(Simulator &sim, std::size_t adapter, int transmitter, iowsim_fault fault, int value);

}  // namespace iowsim
