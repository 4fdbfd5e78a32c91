#include "transmitter/iowkit.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
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
    // The lowest free descriptor: 0, unless another thread took it in the meantime.
    const int fd = open("/dev/null", O_RDONLY);
    if (fd > 0)
        close(fd);
#endif
}

#ifdef _WIN32
DescriptorZeroGuard::DescriptorZeroGuard() = default;
DescriptorZeroGuard::~DescriptorZeroGuard() = default;
#else
DescriptorZeroGuard::DescriptorZeroGuard()
{
    f_saved = fcntl(0, F_DUPFD_CLOEXEC, 3);
    if (f_saved >= 0) {
        f_close_on_exec = (fcntl(0, F_GETFD) & FD_CLOEXEC) != 0;
    }
    const int stand_in = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (stand_in < 0)
        return;
    struct stat st {};
    if (fstat(stand_in, &st) == 0) {
        f_stand_in_dev = st.st_dev;
        f_stand_in_ino = st.st_ino;
    }
    // Replaces the program's descriptor 0 in one step; its file stays open through f_saved.
    if (stand_in > 0) {
        dup3(stand_in, 0, O_CLOEXEC);
        close(stand_in);
    }
}

DescriptorZeroGuard::~DescriptorZeroGuard()
{
    const int saved_errno = errno;
    struct stat st {};
    const bool zero_open = fstat(0, &st) == 0;
    const bool stand_in = zero_open && st.st_dev == f_stand_in_dev && st.st_ino == f_stand_in_ino;
    if (f_saved < 0) {
        keep_descriptor_zero_open();
    } else if (stand_in) {
        dup3(f_saved, 0, f_close_on_exec ? O_CLOEXEC : 0);
    } else if (!zero_open) {
        // The lowest free descriptor is 0 unless another thread just took it; that file is left.
        const int fd = fcntl(f_saved, f_close_on_exec ? F_DUPFD_CLOEXEC : F_DUPFD, 0);
        if (fd > 0)
            close(fd);
    }
    if (f_saved >= 0)
        close(f_saved);
    errno = saved_errno;
}
#endif
