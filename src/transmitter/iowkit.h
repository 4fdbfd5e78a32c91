// Run-time binding of the adapter maker's library: one process-wide module handle and the
// 17 entry-point slots, empty until the library is loaded. Load and unload happen on the main
// thread while no worker runs; the slots are only read in between.
#pragma once

#include "transmitter/iowkit_abi.h"

struct IowKitSlots {
    PFN_IowKitOpenDevice IowKitOpenDevice = nullptr;
    PFN_IowKitCloseDevice IowKitCloseDevice = nullptr;
    PFN_IowKitWrite IowKitWrite = nullptr;
    PFN_IowKitRead IowKitRead = nullptr;
    PFN_IowKitReadNonBlocking IowKitReadNonBlocking = nullptr;
    PFN_IowKitReadImmediate IowKitReadImmediate = nullptr;
    PFN_IowKitGetNumDevs IowKitGetNumDevs = nullptr;
    PFN_IowKitGetDeviceHandle IowKitGetDeviceHandle = nullptr;
    PFN_IowKitSetLegacyOpenMode IowKitSetLegacyOpenMode = nullptr;
    PFN_IowKitGetProductId IowKitGetProductId = nullptr;
    PFN_IowKitGetRevision IowKitGetRevision = nullptr;
    PFN_IowKitGetThreadHandle IowKitGetThreadHandle = nullptr;
    PFN_IowKitGetSerialNumber IowKitGetSerialNumber = nullptr;
    PFN_IowKitSetTimeout IowKitSetTimeout = nullptr;
    PFN_IowKitSetWriteTimeout IowKitSetWriteTimeout = nullptr;
    PFN_IowKitCancelIo IowKitCancelIo = nullptr;
    PFN_IowKitVersion IowKitVersion = nullptr;
};

// The bound entry points; every slot is empty while the library is not loaded.
const IowKitSlots &iowkit();

// True when the library is loaded (also when it already was).
bool load_iowkit();
void unload_iowkit();
bool iowkit_loaded();

// Makes sure descriptor 0 is open (on /dev/null). The maker's Linux library closes descriptor 0
// twice whenever it closes an adapter with two interfaces; with 0 free, the next file the program
// opens would get it and be closed under the program by the next close of the adapter.
void keep_descriptor_zero_open();
