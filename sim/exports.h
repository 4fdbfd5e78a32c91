// The library's exported interface: the IowKit entry points and the control
// functions keep default visibility; everything else stays hidden.
#pragma once

#pragma GCC visibility push(default)
#include "iowkit_abi.h"
#include "iowsim_control.h"
#pragma GCC visibility pop
