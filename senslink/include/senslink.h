/* senslink: serial link to the KPD Digital Sensor electronics and their relatives.
 *
 * Every function names its serial port by number (1..256 = COM1..COM256) and returns a signed 32-bit
 * result. Unless a line says otherwise: 0 success, -1 missing/short/invalid reply or failed platform
 * call, -2 request not written. The caller owns every buffer.
 *
 * Threads: the library holds no lock. Each port has a slot of its own (its descriptor, time-outs, device
 * state and last open outcome) and every call touches only the slot of the port it names, so calls on
 * different ports may run at the same time on different threads: every function that takes a port is
 * thread-safe per port. Calls on one port must not overlap: one party (thread) owns a port at a time and
 * makes all of its calls, from OpenPort to ClosePort, GetOpenFailure and GetPortDevice included; hand a port
 * to another thread only with a synchronisation between the two (a join, a mutex). DLLVersion may be
 * called at any time. SENSLINK_PORT_DIR is read at every open; it must not change while a call runs.
 * Two port numbers that reach the same device (two links to one terminal) are one device: while one of
 * them is open the other fails to open as busy.
 *
 * Port n opens $SENSLINK_PORT_DIR/COMn when that variable is set, otherwise the fixed device table:
 * COM1-COM32 -> /dev/ttyS0-31, COM33-COM96 -> /dev/ttyUSB0-63, COM97-COM160 -> /dev/ttyACM0-63,
 * COM161-COM256 -> no device (open fails). A port is opened exclusively (a second opener fails, whichever
 * process or user) and runs in raw byte mode from the open on. Until ConfigPort sets a time-out, a read
 * waits for its full count. Null out-parameters and buffers, negative counts and out-of-range ports give
 * the function's error code (-1 unless stated) and touch nothing.
 */
#ifndef SENSLINK_H
#define SENSLINK_H

#include <stdint.h>

#if defined(__GNUC__)
#define SENSLINK_API __attribute__((visibility("default")))
#else
#define SENSLINK_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Device-control record: the fields and meanings of the Windows serial DCB. Flags are 0 or 1 except
 * fDtrControl and fRtsControl (0 disable, 1 enable, 2 handshake/toggle). Parity: 0 none, 1 odd, 2 even,
 * 3 mark, 4 space. StopBits: 0 one, 1 one and a half, 2 two. */
typedef struct DCB {
    uint32_t DCBlength;
    uint32_t BaudRate;
    uint32_t fBinary;
    uint32_t fParity;
    uint32_t fOutxCtsFlow;
    uint32_t fOutxDsrFlow;
    uint32_t fDtrControl;
    uint32_t fDsrSensitivity;
    uint32_t fTXContinueOnXoff;
    uint32_t fOutX;
    uint32_t fInX;
    uint32_t fErrorChar;
    uint32_t fNull;
    uint32_t fRtsControl;
    uint32_t fAbortOnError;
    uint16_t wReserved;
    uint16_t XonLim;
    uint16_t XoffLim;
    uint8_t ByteSize;
    uint8_t Parity;
    uint8_t StopBits;
    char XonChar;
    char XoffChar;
    char ErrorChar;
    char EofChar;
    char EvtChar;
    uint16_t wReserved1;
} DCB;

#define DTR_CONTROL_DISABLE 0
#define DTR_CONTROL_ENABLE 1
#define RTS_CONTROL_DISABLE 0
#define RTS_CONTROL_ENABLE 1
#define EVENPARITY 2
#define ONESTOPBIT 0

/* Time-out record (milliseconds), the fields and meanings of the Windows COMMTIMEOUTS. */
typedef struct COMMTIMEOUTS {
    uint32_t ReadIntervalTimeout;
    uint32_t ReadTotalTimeoutMultiplier;
    uint32_t ReadTotalTimeoutConstant;
    uint32_t WriteTotalTimeoutMultiplier;
    uint32_t WriteTotalTimeoutConstant;
} COMMTIMEOUTS;

/* Device properties, the fields and meanings of the Windows COMMPROP. */
typedef struct COMMPROP {
    uint16_t wPacketLength;
    uint16_t wPacketVersion;
    uint32_t dwServiceMask;
    uint32_t dwReserved1;
    uint32_t dwMaxTxQueue;
    uint32_t dwMaxRxQueue;
    uint32_t dwMaxBaud;
    uint32_t dwProvSubType;
    uint32_t dwProvCapabilities;
    uint32_t dwSettableParams;
    uint32_t dwSettableBaud;
    uint16_t wSettableData;
    uint16_t wSettableStopParity;
    uint32_t dwCurrentTxQueue;
    uint32_t dwCurrentRxQueue;
    uint32_t dwProvSpec1;
    uint32_t dwProvSpec2;
    uint16_t wcProvChar[1];
} COMMPROP;

/* ---- Port table and serial configuration ---- */

/* Open port exclusively: 0 open afterwards (also if already open); -1 out of range or cannot open. */
SENSLINK_API int OpenPort(int port);
/* Close port: 0 closed, not open or out of range; -1 if closing failed (slot is empty either way). */
SENSLINK_API int ClosePort(int port);
/* Out: read total time-out constant (ms) and baud rate. 0; -1 state/time-outs unreadable or null outs. */
SENSLINK_API int GetPortConfig(int port, int *timeoutMs, int *baud);
/* Apply 8E1 raw line settings, DTR off, RTS on, the given baud and total time-out. 0; -1 on failure. */
SENSLINK_API int ConfigPort(int port, int timeoutMs, int baud);
/* Purge the receive buffer. 0; -1. */
SENSLINK_API int ClearRxBuffer(int port);
/* Purge the transmit buffer. 0; -1. */
SENSLINK_API int ClearTxBuffer(int port);
/* Abort pending I/O and purge both buffers. 0; -1. */
SENSLINK_API int PurgeRxTx(int port);
/* Out: device state, time-outs, properties. 0; -1 state, -2 time-outs, -3 properties unreadable. */
SENSLINK_API int GetCompleteComConfig(int port, DCB *dcb, COMMTIMEOUTS *timeouts, COMMPROP *prop);
/* Apply dcb (8E1 forced), all time-outs, queue sizes. 0; -1 state, -2 time-outs, -3 queues not set. */
SENSLINK_API int SetCompleteComConfig(int port, DCB dcb, COMMTIMEOUTS timeouts, int inQueue, int outQueue);
/* Read count bytes into buf within the total time-out; out bytesRead. 1 full count; -1 fewer or error. */
SENSLINK_API int ReadRs232Data(int port, int count, uint8_t *buf, int *bytesRead);
/* Write count bytes. Number of bytes written; -1 if the write failed. */
SENSLINK_API int WriteRs232Data(int port, int count, const uint8_t *buf);

/* Why the last OpenPort of a port failed. OpenPort keeps its own results; this query only explains a -1. */
#define SENSLINK_OPEN_OK 0         /* the last open succeeded, or the port was never opened */
#define SENSLINK_OPEN_NO_DEVICE 1  /* no device file, no device behind it, or no device for the number */
#define SENSLINK_OPEN_PERMISSION 2 /* the device exists but this user may not open it */
#define SENSLINK_OPEN_BUSY 3       /* another opener holds the port (any process or user) */
#define SENSLINK_OPEN_NOT_SERIAL 4 /* the file is not a serial device */
#define SENSLINK_OPEN_FAILED 5     /* any other failure of the open or of the raw line set-up */
/* The reason of the last OpenPort of port: SENSLINK_OPEN_*; -1 out of range. Outs may be null, sizes are
 * whole buffers (the texts end with NUL, cut to fit): device, the device file (a port-directory link
 * resolved to what it points at; empty for a port without device); group, the name of the group owning
 * the device (its number when the name is unknown; empty when there is no device file). */
SENSLINK_API int GetOpenFailure(int port, char *device, int deviceSize, char *group, int groupSize);
/* The device file of port, the path OpenPort opens ($SENSLINK_PORT_DIR/COMn or the fixed device table),
 * into path (NUL-terminated, cut to fit; empty for a port without device). 1 when that file exists (a link
 * is followed to what it points at), 0 when it does not or the port has no device, -1 out of range. */
SENSLINK_API int GetPortDevice(int port, char *path, int pathSize);

/* ---- Framing, sync and transactions ---- */

/* Send 0x80, read one byte. 0 got 0x90; -1 other or no byte; -2 write or read call failed. */
SENSLINK_API int SendSync(int port);
/* Resynchronise: up to 13 purge+sync attempts at 50 ms, settings restored. 1 success; 0 failure. */
SENSLINK_API int DoSynchronize(int port);
/* Resynchronise then write (family 0 legacy, 1 VK240, 2 NXRA). 1 both succeeded; 0 otherwise. */
SENSLINK_API int SyncAndWrite(int port, int family, uint32_t value);
/* Resynchronise then read (family 0, 1, 2) into *value. 1 both succeeded; 0 otherwise. */
SENSLINK_API int SyncAndRead(int port, int family, uint32_t address, uint16_t *value);

/* ---- Register and streaming commands (VK240 and NXRA) ---- */

/* Read register (address word: reg<<16 | modifier<<24). 0 with *value; -1 bad reply; -2 not written. */
SENSLINK_API int ReadRegisterVK240(int port, uint32_t address, uint16_t *value);
/* Write register (address word with data in bits 0-15). 0 acknowledged; -1 no ack; -2 not written. */
SENSLINK_API int WriteRegisterVK240(int port, uint32_t address);
/* Start streaming count (<= 72) registers listed in regs. 0 acknowledged; -1 no ack/bad args; -2. */
SENSLINK_API int BeginAsyncVK240(int port, int count, const uint8_t *regs);
/* Read one stream record of n words (1..72) into words. 0 filled; -1 time-out, short record, no marker
 * within 4096 bytes, or bad args (array untouched on every failure). */
SENSLINK_API int ReadAsyncVK240(int port, int n, int16_t *words);
/* NXRA register read (command 0xA4). Results as ReadRegisterVK240. */
SENSLINK_API int ReadRegisterNXRA(int port, uint32_t address, uint16_t *value);
/* NXRA register write (command 0xA3). Results as WriteRegisterVK240. */
SENSLINK_API int WriteRegisterNXRA(int port, uint32_t address);
/* NXRA stream start (command 0xA8). Results as BeginAsyncVK240. */
SENSLINK_API int BeginAsyncNXRA(int port, int count, const uint8_t *regs);
/* NXRA stream record read. Results as ReadAsyncVK240. */
SENSLINK_API int ReadAsyncNXRA(int port, int n, int16_t *words);
/* Stop burst of min(2n+5, 200) bytes of 0xA5, one write call. Number of bytes written; -1 write failed
 * or n < 0. */
SENSLINK_API int EndAsync(int port, int n);
/* Value command (0..255) with reply length n (1..10): the little-endian value of the first min(n, 4) data
 * bytes (2 bytes for n = 2). The value itself; -1 bad reply/args; -2. */
SENSLINK_API int ReadValueNXRA(int port, int command, int n);
/* Position assembled from registers 0x69, 0x68, 0x27 (30-bit, sign-extended). 0; -1 any step failed. */
SENSLINK_API int ReadShiftedPositionVK240(int port, int32_t *position);

/* ---- Legacy fixed command set ---- */

/* Fixed reads (selector shown): the 16-bit value 0..65535; -1 bad reply; -2 not written. */
SENSLINK_API int ReadStatus(int port);              /* 0x4000 */
SENSLINK_API int ReadVersion(int port);             /* 0x4100 */
SENSLINK_API int ReadyAD(int port);                 /* 0x4200 */
SENSLINK_API int ReadxAD(int port);                 /* 0x4300 */
SENSLINK_API int ReadVectorMag(int port);           /* 0x4400 */
SENSLINK_API int ReadAngle(int port);               /* 0x4500 */
SENSLINK_API int ReadPositiveIndexWindow(int port); /* 0x4900 */
SENSLINK_API int ReadNegativeIndexWindow(int port); /* 0x4C00 */
SENSLINK_API int ReadStateFreqReg(int port);        /* 0x4F00 */
SENSLINK_API int ReadInterpDepth(int port);         /* 0x5000 */
SENSLINK_API int ReadIndexAngle(int port);          /* 0x5100 */
SENSLINK_API int ReadGainX(int port);               /* 0x5200 */
SENSLINK_API int ReadOffsetX(int port);             /* 0x5300 */
SENSLINK_API int ReadGainY(int port);               /* 0x5400 */
SENSLINK_API int ReadOffsetY(int port);             /* 0x5500 */
SENSLINK_API int ReadPhase(int port);               /* 0x5600 */
/* Fixed read with a caller-given selector. 0 with *value; -1 bad reply or null value; -2 not written. */
SENSLINK_API int ReadRegister(int port, uint16_t selector, uint16_t *value);

/* Processor reads (command, reply length): the value itself; -1 bad reply; -2 not written. */
SENSLINK_API int ReadMSPVersion(int port);      /* 0x60, 2 */
SENSLINK_API int ReadPowerOnTime(int port);     /* 0x62, 4: hours */
SENSLINK_API int ReadPowerOnCycles(int port);   /* 0x63, 4 */
SENSLINK_API int ReadMSPVersion_M(int port);    /* 0x80, 2 */
SENSLINK_API int ReadMSPChecksum_M(int port);   /* 0x81, 2 */
SENSLINK_API int ReadPowerOnTime_M(int port);   /* 0x82, 4 */
SENSLINK_API int ReadPowerOnCycles_M(int port); /* 0x83, 4 */
/* Command 0x91, 4 bytes: reply bytes 4,5,6,7 to b,a,d,c. 0; -1 bad reply or null outs; -2. */
SENSLINK_API int ReadEpotValues(int port, uint8_t *a, uint8_t *b, uint8_t *c, uint8_t *d);

/* Writes (command 0x50 unless noted): 0 acknowledged; -1 no acknowledge; -2 not written. */
SENSLINK_API int WriteInterpReg(int port, uint16_t v);     /* s = v|0xF000: s0 s1 02 00 s0 s1 */
SENSLINK_API int WriteIndexAngleReg(int port, uint16_t v); /* s = v|0xE000: s0 s1 02 00 s0 s1 */
SENSLINK_API int WriteGenReg(int port, uint16_t v);        /* C0 lo 02 00 lo C0 */
SENSLINK_API int WriteStateFreqReg(int port, uint16_t v);  /* C1 lo 02 00 lo C1 */
SENSLINK_API int WriteRegister(int port, uint16_t v);      /* hi lo 02 00 lo hi */
SENSLINK_API int WriteEpotValues(int port, uint16_t v);    /* command 0x90: 00 00 02 00 lo hi */
SENSLINK_API int FlashEpot(int port);                      /* command 0x92: 00 00 00 00 */

/* Send-only resets (no reply read): 0 written; -1 not written. */
SENSLINK_API int SoftwareSystemReset(int port); /* command 0x64 */
SENSLINK_API int SoftwareReset_M(int port);     /* command 0x84 */

/* Legacy signal stream: start (0x65, 0 on 0x90 ack; -1; -2), read one point, stop (13 x 0xA5). */
SENSLINK_API int BeginLissMode(int port);
/* Marker hunt then 8 bytes: words 0,1,2,3 to b,a,c,d. 0; -1 time-out, short read or null outs. */
SENSLINK_API int ReadLissPoint(int port, int16_t *a, int16_t *b, int16_t *c, int16_t *d);
/* Write 13 bytes of 0xA5. 0; -1 write failed. */
SENSLINK_API int EndLissMode(int port);

/* Hardware reset by DTR: inactive 300 ms, then a short active pulse. 0; -1/-2/-3 failed state write. */
SENSLINK_API int SystemReset(int port);

/* Legacy position (selectors 0x0800, 0x0700, 0x4600). 0 with *position; -1 any failure (untouched). */
SENSLINK_API int ReadPosition(int port, int32_t *position);
/* As ReadPosition, low 28 bits sign-extended. 0; -1. */
SENSLINK_API int ReadShiftedPosition(int port, int32_t *position);

/* Library version: 16. */
SENSLINK_API int DLLVersion(void);

#ifdef __cplusplus
}
#endif

#endif /* SENSLINK_H */
