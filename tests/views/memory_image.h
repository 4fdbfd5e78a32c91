// A memory image as a calibrated transmitter holds it, for the window tests.
#pragma once

#include "transmitter/OrvelMemory.h"

inline T_DeviceMemory calibrated_image()
{
    static const uint16_t words[T_DeviceMemory::RegisterCount] = {
        0x1C38, 0x04D2, 0x0028, 0x0000, 0x0001, 0x1F40, 0x5A3C, 0x0123, 0x0F0A, 0x0012, 0x0034, 0x0056,
        0x0800, 0x4E20, 0x0007, 0x0190, 0x6C3A, 0x0025, 0x4A1D, 0x0000, 0x0000, 0x4120, 0x0000, 0x8E3B};
    T_DeviceMemory image;
    for (int address = 0; address < T_DeviceMemory::RegisterCount; ++address)
        image.at(address).setValue(words[address]);
    return image;
}
