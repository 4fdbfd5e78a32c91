/* Control interface of the simulated adapter library, for tests only.
 *
 * Threading: every function here and every IowKit entry point may be called
 * from any thread; one lock inside the library serialises them, and a blocked
 * IowKitRead does not hold it while it waits.
 *
 * Transmitters are named by their index in scenario order (0 = first) on their
 * adapter's bus. Adapters are named by their index in scenario order too (0 = the
 * [adapter] section, then each [adapter.<label>] section); every call without an
 * adapter argument addresses the first adapter, unless it says otherwise. */
#ifndef ZORBIT_IOWSIM_CONTROL_H
#define ZORBIT_IOWSIM_CONTROL_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Environment variables read when the library is first used, and by iowsim_reload. */
#define IOWSIM_SCENARIO_ENV "IOWSIM_SCENARIO"
#define IOWSIM_STATE_ENV "IOWSIM_STATE"

/* Replaces the whole simulation: the scenario file (NULL or "" = the built-in
 * default), then the transmitters' memory from the state file (NULL or "" =
 * no persistence). Faults, traffic and the open handle are dropped.
 * Returns 1 on success; 0 leaves everything as it was and puts a message into
 * error (when error_size > 0). */
int iowsim_load_scenario(const char *scenario_path, const char *state_path, char *error, size_t error_size);

/* As at the first use of the library: scenario and state file from the
 * environment. Returns 1, or 0 when the scenario could not be read (the
 * default scenario is used then). */
int iowsim_reload(void);

/* The state file in use; "" when persistence is off. Copies at most size - 1 chars. */
size_t iowsim_state_path(char *path, size_t size);

typedef enum iowsim_fault {
    /* adapter faults, transmitter index ignored */
    IOWSIM_FAULT_UNPLUGGED = 1,    /* value != 0 unplugs the adapter, 0 plugs it in again */
    IOWSIM_FAULT_ARBITRATION_LOST, /* every I2C request loses arbitration */
    IOWSIM_FAULT_DROP_ANSWERS,     /* I2C requests reach the bus but get no answer report */
    /* transmitter faults */
    IOWSIM_FAULT_REMOVED,        /* value != 0 takes the transmitter off the bus, 0 inserts it */
    IOWSIM_FAULT_NACK_ALL,       /* no acknowledge for any request */
    IOWSIM_FAULT_NACK_COMMAND,   /* value = command byte not acknowledged, -1 clears */
    IOWSIM_FAULT_HOLD_BUSY,      /* busy bit always set */
    IOWSIM_FAULT_HARDWARE_ERROR, /* "powered" bit clear */
    IOWSIM_FAULT_DATA_CORRECTED, /* data-corrected bit of the memory status */
    IOWSIM_FAULT_IGNORE_WRITE,   /* value = word address whose writes are acknowledged but lost, -1 clears */
    IOWSIM_FAULT_BUSY_ANSWERS,   /* value = how many of the next answers carry the busy bit */
    IOWSIM_FAULT_NACK_READ_AFTER, /* value = command byte whose following read is not acknowledged, -1 clears */
    IOWSIM_FAULT_REFUSE_WRITE     /* adapter: value = first two report bytes (first << 8 | second) of reports
                                     it does not take, e.g. 0x0100 for switching I2C off; -1 clears */
} iowsim_fault;

/* Sets or clears one fault. Returns 1, or 0 for an unknown fault, transmitter or value. */
int iowsim_set_fault(int transmitter, iowsim_fault fault, int value);
/* Sets the fault once the program has written after_reports more reports (0: at once), so a
 * fault can start in the middle of a procedure. Returns 1, or 0 for an unknown fault or
 * transmitter; an unknown value is ignored when the fault starts. Cleared by a new scenario. */
int iowsim_arm_fault(int transmitter, iowsim_fault fault, int value, unsigned long after_reports);
/* The same on the adapter with that index; 0 for an unknown adapter as well. */
int iowsim_set_fault_at(int adapter, int transmitter, iowsim_fault fault, int value);
/* Clears every fault of every adapter and plugs them all in and every transmitter back on its bus. */
void iowsim_clear_faults(void);
/* Product id the adapter reports from now on. */
void iowsim_set_product_id(unsigned long product_id);
/* Time one report takes on the USB pipe of every adapter, in milliseconds (0 for tests). */
void iowsim_set_latency_ms(unsigned long latency_ms);

/* frozen != 0: every measurement answers these raw words; 0: back to the live signal. */
int iowsim_set_signal(int transmitter, int frozen, unsigned pressure_raw, unsigned temperature_raw);

/* The answer to the nth next I2C request (1 = the next one) comes delay_ms later than it
 * would; later answers queue behind it. nth = 0 withdraws a delay not yet used. */
void iowsim_delay_answer(unsigned long nth, unsigned long delay_ms);
/* on != 0 (the default, as the maker's library does): closing an adapter, also by opening it
 * again, closes descriptor 0 twice. Applies to every adapter. */
void iowsim_set_close_descriptor_zero(int on);

#define IOWSIM_WORDS_PER_PAGE 24
#define IOWSIM_PAGES 4

typedef struct iowsim_transmitter_info {
    int present;          /* on the bus */
    int powered;          /* supply on and present */
    int address;          /* address it answers at; -1 while unpowered */
    int command_mode;     /* 1 in command mode */
    int current_page;     /* 0..3 */
    int memory_error;     /* memory-error bit of the status */
    int opened_page;      /* page opened for writing since power-up, -1 when none */
    unsigned short pages[IOWSIM_PAGES][IOWSIM_WORDS_PER_PAGE];
} iowsim_transmitter_info;

#define IOWSIM_SERIAL_SIZE 9 /* up to 8 characters and the ending zero */

typedef struct iowsim_adapter_info {
    int plugged;
    int open;
    int i2c_enabled;
    int spi_enabled;
    unsigned long product_id;
    unsigned long read_timeout_ms;  /* IOWSIM_TIMEOUT_INFINITE until the program sets one */
    unsigned long write_timeout_ms;
    unsigned char pins[7]; /* output values of ports 0..6 */
    char serial[IOWSIM_SERIAL_SIZE];
} iowsim_adapter_info;

#define IOWSIM_TIMEOUT_INFINITE 0xFFFFFFFFUL

int iowsim_transmitter_count(void);
/* Returns 1 and fills info, or 0 for an unknown transmitter. */
int iowsim_get_transmitter(int transmitter, iowsim_transmitter_info *info);
void iowsim_get_adapter(iowsim_adapter_info *info);

/* Adapters of the scenario, plugged or not. */
int iowsim_adapter_count(void);
/* Index of the adapter with that serial number, or -1. */
int iowsim_adapter_index(const char *serial);
/* Transmitters on the bus of that adapter; -1 for an unknown adapter. */
int iowsim_transmitter_count_at(int adapter);
/* Return 1 and fill info, or 0 for an unknown adapter or transmitter. */
int iowsim_get_transmitter_at(int adapter, int transmitter, iowsim_transmitter_info *info);
int iowsim_get_adapter_at(int adapter, iowsim_adapter_info *info);

/* The chip's checksum over words 0x00..0x16 of a page. */
unsigned short iowsim_checksum(const unsigned short *words);

/* Traffic record: every report the adapter took or delivered, oldest first.
 * Reads that time out deliver nothing and are not recorded. The record keeps
 * the last IOWSIM_TRAFFIC_LIMIT reports. */
#define IOWSIM_TO_ADAPTER 0   /* written by the program */
#define IOWSIM_FROM_ADAPTER 1 /* read by the program */
#define IOWSIM_TRAFFIC_LIMIT 65536

typedef struct iowsim_report {
    int direction;
    unsigned long pipe;
    unsigned long length; /* valid bytes in data */
    unsigned char data[64];
    int adapter; /* index of the adapter that took or delivered it */
} iowsim_report;

/* Moves up to capacity of the oldest reports into out and forgets them; returns how many. */
size_t iowsim_take_traffic(iowsim_report *out, size_t capacity);
size_t iowsim_traffic_size(void);
void iowsim_clear_traffic(void);

#ifdef __cplusplus
}
#endif

#endif /* ZORBIT_IOWSIM_CONTROL_H */
