#include "transmitter/iowkit.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

IowKitSlots g_slots;
void *g_module = nullptr;

#ifdef _WIN32
const char *const LibraryNames[] = {"iowkit.dll"};
void *openLibrary(const char *name) { return reinterpret_cast<void *>(LoadLibraryA(name)); }
void closeLibrary(void *module) { FreeLibrary(reinterpret_cast<HMODULE>(module)); }
void *symbol(void *module, const char *name)
{
    return reinterpret_cast<void *>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
}
#else
// The maker's library on Linux; the unversioned name is the developer link.
const char *const LibraryNames[] = {"libiowkit.so.1", "libiowkit.so"};
void *openLibrary(const char *name) { return dlopen(name, RTLD_NOW | RTLD_LOCAL); }
void closeLibrary(void *module) { dlclose(module); }
void *symbol(void *module, const char *name) { return dlsym(module, name); }
#endif

template <typename Fn>
void resolve(Fn &slot, const char *name)
{
    slot = reinterpret_cast<Fn>(symbol(g_module, name));
}

} // namespace

const IowKitSlots &iowkit()
{
    return g_slots;
}

bool iowkit_loaded()
{
    return g_module != nullptr;
}

bool load_iowkit()
{
    if (g_module)
        return true;
    for (const char *name : LibraryNames) {
        g_module = openLibrary(name);
        if (g_module)
            break;
    }
    if (!g_module)
        return false;
    resolve(g_slots.IowKitOpenDevice, "IowKitOpenDevice");
    resolve(g_slots.IowKitCloseDevice, "IowKitCloseDevice");
    resolve(g_slots.IowKitWrite, "IowKitWrite");
    resolve(g_slots.IowKitRead, "IowKitRead");
    resolve(g_slots.IowKitReadNonBlocking, "IowKitReadNonBlocking");
    resolve(g_slots.IowKitReadImmediate, "IowKitReadImmediate");
    resolve(g_slots.IowKitGetNumDevs, "IowKitGetNumDevs");
    resolve(g_slots.IowKitGetDeviceHandle, "IowKitGetDeviceHandle");
    resolve(g_slots.IowKitSetLegacyOpenMode, "IowKitSetLegacyOpenMode");
    resolve(g_slots.IowKitGetProductId, "IowKitGetProductId");
    resolve(g_slots.IowKitGetRevision, "IowKitGetRevision");
    resolve(g_slots.IowKitGetThreadHandle, "IowKitGetThreadHandle");
    resolve(g_slots.IowKitGetSerialNumber, "IowKitGetSerialNumber");
    resolve(g_slots.IowKitSetTimeout, "IowKitSetTimeout");
    resolve(g_slots.IowKitSetWriteTimeout, "IowKitSetWriteTimeout");
    resolve(g_slots.IowKitCancelIo, "IowKitCancelIo");
    resolve(g_slots.IowKitVersion, "IowKitVersion");
    return true;
}

void unload_iowkit()
{
    if (!g_module)
        return;
    closeLibrary(g_module);
    g_module = nullptr;
    g_slots = IowKitSlots{};
}

void keep_descriptor_zero_open()
{
#ifndef _WIN32
    if (fcntl(0, F_GETFD) != -1 || errno != EBADF)
        return;
    const int fd = open("/dev/null", O_RDONLY);
    if (fd > 0) {
        dup2(fd, 0);
        close(fd);
    }
#endif
}
