// Several adapters on one computer: which of those the library opens is the handler's, and the
// reports that go to and from it, for whoever watches the bus.
#include "transmitter/OrvelHandler.h"

#include "transmitter/iowkit.h"

#include <QStringList>

namespace {

QString serial_of(const IowKitSlots &kit, IOWKIT_HANDLE handle)
{
    unsigned short serial[IOWKIT_SERIAL_NUMBER_UNITS] = {};
    kit.IowKitGetSerialNumber(handle, serial);
    serial[IOWKIT_SERIAL_NUMBER_UNITS - 1] = 0; // never read past the buffer
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(serial));
}

bool can_list(const IowKitSlots &kit)
{
    return kit.IowKitOpenDevice && kit.IowKitCloseDevice && kit.IowKitGetNumDevs && kit.IowKitGetSerialNumber &&
           kit.IowKitGetProductId;
}

} // namespace

void T_Orvel_Handler::Set_chosen_serial(const QString &serial)
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    f_chosen_serial = serial;
}

QString T_Orvel_Handler::Get_chosen_serial() const
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    return f_chosen_serial;
}

QList<T_Orvel_Handler::AdapterInfo> T_Orvel_Handler::Get_adapters() const
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    return f_adapters;
}

void T_Orvel_Handler::set_traffic_sink(TrafficSink sink)
{
    std::lock_guard<std::mutex> bus(f_bus_lock);
    f_traffic = std::move(sink);
}

QList<std::pair<IOWKIT_HANDLE, T_Orvel_Handler::AdapterInfo>> T_Orvel_Handler::open_adapters(IOWKIT_HANDLE first) const
{
    const IowKitSlots &kit = iowkit();
    QList<std::pair<IOWKIT_HANDLE, AdapterInfo>> found;
    // Without IowKitGetDeviceHandle only the first adapter can be reached.
    const unsigned long count = kit.IowKitGetDeviceHandle ? kit.IowKitGetNumDevs() : (first ? 1 : 0);
    for (unsigned long n = 1; n <= count; ++n) {
        const IOWKIT_HANDLE handle = kit.IowKitGetDeviceHandle ? kit.IowKitGetDeviceHandle(n) : first;
        if (handle)
            found.append({handle, AdapterInfo{serial_of(kit, handle), uint32_t(kit.IowKitGetProductId(handle))}});
    }
    return found;
}

bool T_Orvel_Handler::choose_adapter(IOWKIT_HANDLE first)
{
    const IowKitSlots &kit = iowkit();
    const QList<std::pair<IOWKIT_HANDLE, AdapterInfo>> found = open_adapters(first);
    f_adapters.clear();
    for (const auto &adapter : found)
        f_adapters.append(adapter.second);
    f_chosen_missing = false;
    if (f_chosen_serial.isEmpty())
        return true;
    for (const auto &adapter : found) {
        if (adapter.second.serial == f_chosen_serial) {
            f_IOWIIC = adapter.first;
            return true;
        }
    }
    QStringList serials;
    for (const AdapterInfo &adapter : f_adapters)
        serials.append(adapter.serial);
    log(catConverter, lError,
        QStringLiteral("No IO-Warrior adapter with serial number %1 : found %2")
            .arg(f_chosen_serial, serials.isEmpty() ? QStringLiteral("none") : serials.join(QStringLiteral(", "))));
    // The library opened them all: close them all, whatever product they are.
    if (kit.IowKitCloseDevice) {
        const DescriptorZeroGuard keep;
        kit.IowKitCloseDevice(first);
    }
    f_IOWIIC = nullptr;
    f_adapter_open = false;
    f_chosen_missing = true;
    return false;
}

QList<T_Orvel_Handler::AdapterInfo> T_Orvel_Handler::list_adapters()
{
    if (f_cancelled.load())
        return {};
    std::unique_lock<std::mutex> bus(f_bus_lock);
    const IowKitSlots &kit = iowkit();
    if (!can_list(kit)) {
        bus.unlock();
        log(catConverter, lError, QStringLiteral("Error open IO-Device"));
        return {};
    }
    QList<AdapterInfo> list;
    if (f_IOWIIC) {
        // Opening again would close the adapter in use under the running session.
        for (const auto &adapter : open_adapters(f_IOWIIC))
            list.append(adapter.second);
        return list;
    }
    IOWKIT_HANDLE first = nullptr;
    {
        const DescriptorZeroGuard keep;
        first = kit.IowKitOpenDevice();
    }
    if (!first)
        return list;
    for (const auto &adapter : open_adapters(first))
        list.append(adapter.second);
    const DescriptorZeroGuard keep;
    kit.IowKitCloseDevice(first);
    return list;
}

unsigned long T_Orvel_Handler::kit_write(unsigned long pipe, void *report, unsigned long size)
{
    const IowKitSlots &kit = iowkit();
    if (!kit.IowKitWrite)
        return 0;
    const unsigned long taken = kit.IowKitWrite(f_IOWIIC, pipe, static_cast<char *>(report), size);
    if (f_traffic && taken > 0)
        f_traffic(true, pipe, static_cast<const uint8_t *>(report), taken);
    return taken;
}

unsigned long T_Orvel_Handler::kit_read(unsigned long pipe, void *report, unsigned long size, bool wait)
{
    const IowKitSlots &kit = iowkit();
    const PFN_IowKitRead read = wait ? kit.IowKitRead : kit.IowKitReadNonBlocking;
    if (!read)
        return 0;
    const unsigned long count = read(f_IOWIIC, pipe, static_cast<char *>(report), size);
    if (f_traffic && count > 0)
        f_traffic(false, pipe, static_cast<const uint8_t *>(report), count);
    return count;
}
