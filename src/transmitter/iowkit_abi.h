/* Binary interface of the IO-Warrior adapter library (iowkit), as its maker
 * documents it. Shared by our run-time binding and by the simulated adapter,
 * so both agree on every type and calling convention. Plain C, no Qt. */
#ifndef ZORBIT_IOWKIT_ABI_H
#define ZORBIT_IOWKIT_ABI_H

#if defined(_WIN32) && !defined(_WIN64)
#define IOWKIT_API __stdcall
#else
#define IOWKIT_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef void *IOWKIT_HANDLE;

/* Vendor and product ids of the IO-Warrior family. */
#define IOWKIT_VENDOR_ID 0x07C0
#define IOWKIT_PRODUCT_ID_IOW40 0x1500
#define IOWKIT_PRODUCT_ID_IOW24 0x1501
#define IOWKIT_PRODUCT_ID_IOW56 0x1503

/* Pipe 0 carries the IO-pin reports, pipe 1 the special-mode (I2C, SPI) reports. */
#define IOW_PIPE_IO_PINS 0UL
#define IOW_PIPE_SPECIAL_MODE 1UL

/* Largest serial number in UTF-16 code units, plus the terminating zero. */
#define IOWKIT_SERIAL_NUMBER_UNITS 9

#pragma pack(push, 1)
typedef struct IOWKIT56_IO_REPORT {
    unsigned char ReportID;
    unsigned char Bytes[7];
} IOWKIT56_IO_REPORT;

typedef struct IOWKIT56_SPECIAL_REPORT {
    unsigned char ReportID;
    unsigned char Bytes[63];
} IOWKIT56_SPECIAL_REPORT;
#pragma pack(pop)

#define IOWKIT56_IO_REPORT_SIZE 8UL
#define IOWKIT56_SPECIAL_REPORT_SIZE 64UL

#ifdef __cplusplus
static_assert(sizeof(IOWKIT56_IO_REPORT) == IOWKIT56_IO_REPORT_SIZE, "IO report is 8 bytes");
static_assert(sizeof(IOWKIT56_SPECIAL_REPORT) == IOWKIT56_SPECIAL_REPORT_SIZE, "special report is 64 bytes");
#endif

/* The 17 entry points; a BOOL result is an int, non-zero for success. */
IOWKIT_HANDLE IOWKIT_API IowKitOpenDevice(void);
void IOWKIT_API IowKitCloseDevice(IOWKIT_HANDLE devHandle);
unsigned long IOWKIT_API IowKitWrite(IOWKIT_HANDLE devHandle, unsigned long numPipe, char *buffer,
                                     unsigned long length);
unsigned long IOWKIT_API IowKitRead(IOWKIT_HANDLE devHandle, unsigned long numPipe, char *buffer,
                                    unsigned long length);
unsigned long IOWKIT_API IowKitReadNonBlocking(IOWKIT_HANDLE devHandle, unsigned long numPipe, char *buffer,
                                               unsigned long length);
int IOWKIT_API IowKitReadImmediate(IOWKIT_HANDLE devHandle, unsigned long *value);
unsigned long IOWKIT_API IowKitGetNumDevs(void);
IOWKIT_HANDLE IOWKIT_API IowKitGetDeviceHandle(unsigned long numDevice);
int IOWKIT_API IowKitSetLegacyOpenMode(unsigned long legacyOpenMode);
unsigned long IOWKIT_API IowKitGetProductId(IOWKIT_HANDLE devHandle);
unsigned long IOWKIT_API IowKitGetRevision(IOWKIT_HANDLE devHandle);
void *IOWKIT_API IowKitGetThreadHandle(IOWKIT_HANDLE devHandle);
int IOWKIT_API IowKitGetSerialNumber(IOWKIT_HANDLE devHandle, unsigned short *serialNumber);
int IOWKIT_API IowKitSetTimeout(IOWKIT_HANDLE devHandle, unsigned long timeout);
int IOWKIT_API IowKitSetWriteTimeout(IOWKIT_HANDLE devHandle, unsigned long timeout);
int IOWKIT_API IowKitCancelIo(IOWKIT_HANDLE devHandle, unsigned long numPipe);
char *IOWKIT_API IowKitVersion(void);

/* Pointer types of the same entry points, for binding them at run time. */
typedef IOWKIT_HANDLE(IOWKIT_API *PFN_IowKitOpenDevice)(void);
typedef void(IOWKIT_API *PFN_IowKitCloseDevice)(IOWKIT_HANDLE);
typedef unsigned long(IOWKIT_API *PFN_IowKitWrite)(IOWKIT_HANDLE, unsigned long, char *, unsigned long);
typedef unsigned long(IOWKIT_API *PFN_IowKitRead)(IOWKIT_HANDLE, unsigned long, char *, unsigned long);
typedef unsigned long(IOWKIT_API *PFN_IowKitReadNonBlocking)(IOWKIT_HANDLE, unsigned long, char *, unsigned long);
typedef int(IOWKIT_API *PFN_IowKitReadImmediate)(IOWKIT_HANDLE, unsigned long *);
typedef unsigned long(IOWKIT_API *PFN_IowKitGetNumDevs)(void);
typedef IOWKIT_HANDLE(IOWKIT_API *PFN_IowKitGetDeviceHandle)(unsigned long);
typedef int(IOWKIT_API *PFN_IowKitSetLegacyOpenMode)(unsigned long);
typedef unsigned long(IOWKIT_API *PFN_IowKitGetProductId)(IOWKIT_HANDLE);
typedef unsigned long(IOWKIT_API *PFN_IowKitGetRevision)(IOWKIT_HANDLE);
typedef void *(IOWKIT_API *PFN_IowKitGetThreadHandle)(IOWKIT_HANDLE);
typedef int(IOWKIT_API *PFN_IowKitGetSerialNumber)(IOWKIT_HANDLE, unsigned short *);
typedef int(IOWKIT_API *PFN_IowKitSetTimeout)(IOWKIT_HANDLE, unsigned long);
typedef int(IOWKIT_API *PFN_IowKitSetWriteTimeout)(IOWKIT_HANDLE, unsigned long);
typedef int(IOWKIT_API *PFN_IowKitCancelIo)(IOWKIT_HANDLE, unsigned long);
typedef char *(IOWKIT_API *PFN_IowKitVersion)(void);

#ifdef __cplusplus
}
#endif

#endif /* ZORBIT_IOWKIT_ABI_H */
