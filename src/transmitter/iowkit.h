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

// Held around every call that may close the adapter (opening closes one still open): whatever
// the program has on descriptor 0 is put aside and a stand-in takes its place for the library's
// closes, so nothing of the program's is closed and nothing opened meanwhile lands on 0; at the
// end the program's own is back on descriptor 0.
// Threading: descriptors are the process's; hold it only under the handler's bus lock, so one
// call into the library at a time.
class DescriptorZeroGuard
{
public:
    DescriptorZeroGuard();
    ~DescriptorZeroGuard();
    DescriptorZeroGuard(const DescriptorZeroGuard &) = delete;
    DescriptorZeroGuard &operator=(const DescriptorZeroGuard &) = delete;

private:
    int f_saved = -1; // the program's descriptor 0, moved aside; -1 when 0 was free
    bool f_close_on_exec = false;
    // The stand-in, told apart from a file somebody else opened onto 0 meanwhile.
    unsigned long long f_stand_in_dev = 0;
    unsigned long long f_stand_in_ino = 0;
};
