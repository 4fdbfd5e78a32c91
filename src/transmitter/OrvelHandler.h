// Device access to the transmitter through the adapter: the adapter link, the I²C transactions
// and every transmitter operation.
// Threading: each transaction (a request and its answer, an IO report, opening or closing the
// adapter, listing the adapters) holds the handler's bus lock, so threads never interleave on the
// bus; whole operations and the model are not locked, the hand-over between the workers keeps them
// from overlapping. The chosen serial, the adapters found and the traffic sink are under the bus lock.
#pragma once

#include "transmitter/OrvelDevice.h"
#include "transmitter/iowkit_abi.h"
#include "services/log/logFile.h"

#include <QList>
#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>

// One 7-bit slave address with its text "0x" + two upper-case hexadecimal digits.
class T_SlaveAddr
{
public:
    int32_t Get_int_Addr() const { return f_int_Addr; }
    // Also sets the text.
    void Set_int_Addr(int32_t v);
    const QString &Get_hex_addr() const { return f_hex_addr; }
    // The text only; the number does not change.
    void Set_hex_addr(const QString &v) { f_hex_addr = v; }

    static QString hex_text(int32_t addr);

private:
    int32_t f_int_Addr = 0;
    QString f_hex_addr;
};

class T_Orvel_Handler
{
public:
    // Where the handler's log lines go; the single instance files them in the event log.
    using EventSink = std::function<void(TCategory, TMode, const QString &)>;
    // Sees each report written to the adapter (`written`) or read from it, as it went. Called on
    // the transaction's thread with the bus lock held: it must not call back into the handler.
    using TrafficSink = std::function<void(bool written, unsigned long pipe, const uint8_t *report, size_t length)>;
    // One IO-Warrior the adapter library opened.
    struct AdapterInfo {
        QString serial;
        uint32_t product_id = 0;
        bool operator==(const AdapterInfo &o) const { return serial == o.serial && product_id == o.product_id; }
    };
    static constexpr uint32_t ProductIdIow56 = 0x1503;
    static constexpr int ReadBufferSize = 66;
    // Result codes of a transaction.
    static constexpr int ResultNoHandle = -1;
    static constexpr int ResultOk = 0;
    static constexpr int ResultAck = 1;
    static constexpr int ResultArbLost = 2;
    // No answer report to the request: the read timed out, came short or answered another request.
    static constexpr int ResultNoAnswer = 3;
    // The handler was cancelled for shutdown: the request was not sent, or its answer not awaited.
    static constexpr int ResultCancelled = 4;
    // Requests in a row without their answer after which the adapter counts as lost.
    static constexpr int SilentRequestsLimit = 3;
    // Logged once when the adapter maker's library cannot be loaded: what is missing and where
    // it is looked for.
    static constexpr const char *LibraryMissingText =
        "The IO-Warrior library libiowkit.so.1 is not installed: it is looked for on the system's library path "
        "(LD_LIBRARY_PATH, /etc/ld.so.conf, /lib, /usr/lib)";
    using ReadBuffer = uint8_t[ReadBufferSize];

    static T_Orvel_Handler *get_Instance();
    // Destroys the single instance (the main window does it at shutdown, after unload).
    static void release_Instance();

    explicit T_Orvel_Handler(EventSink log);
    ~T_Orvel_Handler();
    T_Orvel_Handler(const T_Orvel_Handler &) = delete;
    T_Orvel_Handler &operator=(const T_Orvel_Handler &) = delete;

    // Adapter link. The library opens every IO-Warrior attached; detect_dongle keeps the one with
    // the chosen serial, or the first when none is chosen.
    bool detect_dongle();
    // Empty (the default): the first adapter. Takes effect at the next detect_dongle. Any thread.
    void Set_chosen_serial(const QString &serial);
    QString Get_chosen_serial() const;
    // The adapters the last detect_dongle found open, in the library's order. Any thread.
    QList<AdapterInfo> Get_adapters() const;
    // The last detect_dongle found adapters, but none with the chosen serial. Any thread.
    bool Get_chosen_missing() const { return f_chosen_missing.load(); }
    // Every IO-Warrior attached, in the library's order: those open already, or else opened for
    // the look and closed again. Empty without the library or an adapter.
    QList<AdapterInfo> list_adapters();
    // Null (the default) shows the traffic to nobody. Set under the bus lock, so never in the
    // middle of a transaction.
    void set_traffic_sink(TrafficSink sink);
    void unload();
    bool enable_IIC();
    bool disable_IIC();

    // Identity and memory image.
    bool get_device_scaling();
    bool get_device_memory();
    bool get_verify_device_memory();

    // Slave-address scan. The device takes the preferred address when it answers, else the lowest.
    bool get_slave_address();
    // The last scan had an answer from the bus for every address (an acknowledgement or none):
    // only then does an empty list mean an empty bus. Any thread.
    bool Get_scan_complete() const { return f_scan_complete.load(); }
    // Some probe of the last scan lost arbitration: something else holds the bus. Any thread.
    bool Get_scan_arbitration_lost() const { return f_scan_arbitration_lost.load(); }
    // Whether a transmitter acknowledges a read at the address.
    bool answers_at(uint8_t address);
    // The transmitter the user picked; -1 for none. May be set from any thread.
    void Set_preferred_addr(int address) { f_preferred_addr.store(address); }
    int Get_preferred_addr() const { return f_preferred_addr.load(); }

    // Memory write, verify and checksum.
    bool set_device_memory();
    bool compare_memory();
    bool generate_checksum();
    bool check_memory_is_zero();

    // Power and mode control.
    bool switch_OFF();
    bool switch_ON();
    bool disable_SPI();
    bool switch_command_mode();

    // Measurement.
    bool get_measurement();

    void set_pressure_digits(int32_t p_digits);
    void set_temperature_digits(int32_t t_digits);

    uint32_t Get_Product_ID() const { return f_Product_ID; }
    uint32_t Get_numDevs() const { return f_numDevs; }
    const QString &Get_serial_no() const { return f_serial_no; }
    const QList<T_SlaveAddr> &Get_slave_addr_list() const { return f_slave_addr_list; }
    T_OrvelDevice &Get_Device() { return *f_Device; }
    int32_t Get_pressure_digits() const { return f_pressure_digits; }
    int32_t Get_temperature_digits() const { return f_temperature_digits; }
    QString Get_PressureScalingString() const;
    QString Get_ProductString() const;
    // True once SilentRequestsLimit requests in a row got no answer; every transaction then
    // fails at once without touching the adapter until detect_dongle opens it again.
    bool Get_adapter_lost() const { return f_adapter_lost.load(); }
    // An adapter was opened by the last detect_dongle and not closed since.
    // Not under the bus lock: the window asks while a worker may wait inside a transaction.
    bool Get_adapter_open() const { return f_adapter_open.load(); }
    // The adapter maker's library was found and loaded.
    static bool Get_library_loaded();
    // For shutdown: from now on every transaction fails at once, so a worker in the middle of a
    // cycle ends within one read timeout. unload still closes the adapter. Any thread.
    void cancel() { f_cancelled.store(true); }

    // A line where the handler's own lines go.
    void log(TCategory category, TMode mode, const QString &text) const;

    static QString zero_pad(int64_t value, int n);
    // The result code of an adapter answer's flag byte: 0, 1 (ERROR_ACK) or 2 (ERROR_ARBLOS).
    static int result_of_flags(uint8_t flags);
    // The result code's word in log lines: "OK", "IO Handle=NIL", "ERROR_ACK", "ERROR_ARBLOS",
    // "NO_ANSWER", "CANCELLED".
    static QString result_text(int result);
    // The level of a transaction's log line: an error, except OK and a cancelled one.
    static TMode result_mode(int result);

private:
    friend struct HandlerProbe; // tests reach the transaction primitives

    bool adapter_ready() const;
    // The same with the bus lock already held.
    bool ready_locked() const;
    // What a transaction returns when the adapter is not ready: CANCELLED once the handler is
    // cancelled, NO_ANSWER once the adapter is lost.
    int not_ready_result() const;
    // A request whose answer did not come: NO_ANSWER, or CANCELLED once the handler is cancelled.
    int unanswered_result() const;
    // An operation of many transactions stops: the adapter is lost or the handler cancelled.
    bool interrupted() const { return f_adapter_lost.load() || f_cancelled.load(); }
    // Bus lock held: the read timeout for the answer to an address probe.
    void set_probe_timeout();
    // Bus lock held: closes the adapter (without switching I²C off) and forgets the handle.
    void close_adapter();
    // Bus lock held: the open adapters with their handles; `first` is what the open returned.
    QList<std::pair<IOWKIT_HANDLE, AdapterInfo>> open_adapters(IOWKIT_HANDLE first) const;
    // Bus lock held: keeps the adapter with the chosen serial among those just opened with
    // `first`; false (and all closed again) when none has it.
    bool choose_adapter(IOWKIT_HANDLE first);
    // Bus lock held: one report to or from the adapter, shown to the traffic sink. The count the
    // library returns; 0 when the entry point is missing.
    unsigned long kit_write(unsigned long pipe, void *report, unsigned long size);
    unsigned long kit_read(unsigned long pipe, void *report, unsigned long size, bool wait = true);
    // Bus lock held: writes f_Report56 as a request the adapter answers on pipe 1 and reads that
    // answer into f_Report56. Returns false when the request was not taken whole; `answered`
    // tells whether its own answer came.
    bool exchange(bool &answered);
    void discard_stale_answers();
    void note_unanswered();
    // One probe of the address scan: 0 when the address answered, -1 when the request was not
    // taken, ResultNoAnswer, or the flag result (1 when nothing acknowledged without an error flag).
    int probe_address(uint8_t address);
    int iic_write_cmd(uint8_t address, uint8_t command);
    int iic_write_cmd_word(uint8_t address, uint8_t command, uint8_t high, uint8_t low);
    int iic_write(uint8_t address, const uint8_t *bytes, int count);
    int iic_read(uint8_t address, uint8_t count, ReadBuffer &buffer);
    bool write_special_report();
    bool switch_IIC(bool on);
    bool write_io_report(const uint8_t (&bytes)[8]);
    bool read_memory_into(T_DeviceMemory &image);

    // The protocol's fixed waits between bus steps.
    static void wait_ms(int ms);
    // One line for a transaction: lDebug with " : OK" + okSuffix, or the error word at result_mode.
    void log_result(const QString &phrase, int result, const QString &okSuffix = QString()) const;
    static QString word_to_hex(const T_32Bit &reg);
    static QString hex2(uint8_t value);
    // Buffer positions 0 to 3 in decimal, each after one blank.
    static QString decimal_bytes(const uint8_t *buffer);

    IOWKIT_HANDLE f_IOWIIC = nullptr;
    uint32_t f_Product_ID = 0;
    IOWKIT56_SPECIAL_REPORT f_Report56{};
    IOWKIT56_IO_REPORT f_IO_Report56{};
    uint32_t f_numDevs = 0;
    QString f_serial_no;
    QList<T_SlaveAddr> f_slave_addr_list;
    std::unique_ptr<T_OrvelDevice> f_Device;
    EventSink fLog;
    int32_t f_pressure_digits = 0;
    int32_t f_temperature_digits = 0;
    std::atomic<int> f_preferred_addr{-1};
    QString f_chosen_serial;
    QList<AdapterInfo> f_adapters;
    std::atomic<bool> f_chosen_missing{false};
    TrafficSink f_traffic;

    mutable std::mutex f_bus_lock;
    // Requests written whose answers were not read yet; the adapter answers each one, in order.
    int f_unanswered = 0;
    int f_silent_requests = 0;
    bool f_open_error_logged = false; // under the bus lock
    std::atomic<bool> f_adapter_lost{false};
    std::atomic<bool> f_cancelled{false};
    std::atomic<bool> f_adapter_open{false};
    std::atomic<bool> f_scan_complete{false};
    std::atomic<bool> f_scan_arbitration_lost{false};
};
