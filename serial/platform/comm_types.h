#pragma once

#include <cstdint>

// The values of the serial device layer. They keep the numbers of the Win32 comm interface, so
// the component's reports carry the same codes on every platform.
namespace comm {

// Results and system error codes of the device calls.
inline constexpr uint32_t NoError = 0;
inline constexpr uint32_t ErrorFileNotFound = 2;  // no such device
inline constexpr uint32_t ErrorAccessDenied = 5;  // permission, or the port is taken
inline constexpr uint32_t ErrorInvalidHandle = 6; // the device is closed
inline constexpr uint32_t ErrorNotEnoughMemory = 8;
inline constexpr uint32_t ErrorBadCommand = 22;       // the device does not know the request
inline constexpr uint32_t ErrorGenFailure = 31;       // the device failed (I/O error, unplugged)
inline constexpr uint32_t ErrorSharingViolation = 32; // another program holds the port
inline constexpr uint32_t ErrorNotSupported = 50;
inline constexpr uint32_t ErrorInvalidParameter = 87; // settings the device cannot take
inline constexpr uint32_t ErrorInvalidName = 123;
inline constexpr uint32_t ErrorOperationAborted = 995; // a pending operation was purged
inline constexpr uint32_t ErrorIoIncomplete = 996;     // still running
inline constexpr uint32_t ErrorIoPending = 997;        // started, completes later
// The device has gone (hang-up, unplugged).
inline constexpr uint32_t ErrorDeviceNotConnected = 1167;
inline constexpr uint32_t ErrorTimeout = 1460; // a write ended by its time-out

// Results of waitEvents besides an operation that is signalled.
inline constexpr uint32_t WaitTimeout = 258;
inline constexpr uint32_t WaitFailed = 0xFFFFFFFF;

inline constexpr uint32_t InvalidHandle = 0xFFFFFFFF;

// Comm events (EV_).
inline constexpr uint32_t EvRxChar = 0x0001;
inline constexpr uint32_t EvRxFlag = 0x0002;
inline constexpr uint32_t EvTxEmpty = 0x0004;
inline constexpr uint32_t EvCts = 0x0008;
inline constexpr uint32_t EvDsr = 0x0010;
inline constexpr uint32_t EvRlsd = 0x0020;
inline constexpr uint32_t EvBreak = 0x0040;
inline constexpr uint32_t EvErr = 0x0080;
inline constexpr uint32_t EvRing = 0x0100;
inline constexpr uint32_t EvAll = 0x01FF;

// Line errors (CE_).
inline constexpr uint32_t CeRxOver = 0x0001;
inline constexpr uint32_t CeOverrun = 0x0002;
inline constexpr uint32_t CeRxParity = 0x0004;
inline constexpr uint32_t CeFrame = 0x0008;
inline constexpr uint32_t CeBreak = 0x0010;
inline constexpr uint32_t CeTxFull = 0x0100;

// Modem status (MS_).
inline constexpr uint32_t MsCtsOn = 0x0010;
inline constexpr uint32_t MsDsrOn = 0x0020;
inline constexpr uint32_t MsRingOn = 0x0040;
inline constexpr uint32_t MsRlsdOn = 0x0080;

// Purge flags.
inline constexpr uint32_t PurgeTxAbort = 0x0001;
inline constexpr uint32_t PurgeRxAbort = 0x0002;
inline constexpr uint32_t PurgeTxClear = 0x0004;
inline constexpr uint32_t PurgeRxClear = 0x0008;

// Line control functions.
enum class Escape : uint32_t { SetXoff = 1, SetXon = 2, SetRts = 3, ClrRts = 4, SetDtr = 5, ClrDtr = 6 };

// Flag bits of Dcb::flags.
inline constexpr uint32_t FBinary = 0x0001;
inline constexpr uint32_t FParity = 0x0002;
inline constexpr uint32_t FOutxCtsFlow = 0x0004;
inline constexpr uint32_t FOutxDsrFlow = 0x0008;
inline constexpr uint32_t FDtrControlMask = 0x0030;
inline constexpr uint32_t FDtrControlHandshake = 0x0020;
inline constexpr uint32_t FDsrSensitivity = 0x0040;
inline constexpr uint32_t FTxContinueOnXoff = 0x0080;
inline constexpr uint32_t FOutX = 0x0100;
inline constexpr uint32_t FInX = 0x0200;
inline constexpr uint32_t FErrorChar = 0x0400;
inline constexpr uint32_t FNull = 0x0800;
inline constexpr uint32_t FRtsControlMask = 0x3000;
inline constexpr uint32_t FRtsControlHandshake = 0x2000;
inline constexpr uint32_t FAbortOnError = 0x4000;

// Parity and stop bit codes.
inline constexpr uint8_t NoParity = 0;
inline constexpr uint8_t OddParity = 1;
inline constexpr uint8_t EvenParity = 2;
inline constexpr uint8_t MarkParity = 3;
inline constexpr uint8_t SpaceParity = 4;
inline constexpr uint8_t OneStopBit = 0;
inline constexpr uint8_t One5StopBits = 1;
inline constexpr uint8_t TwoStopBits = 2;

/// Line settings.
struct Dcb
{
    uint32_t baudRate = 9600;
    uint32_t flags = FBinary;
    uint16_t xonLim = 0;
    uint16_t xoffLim = 0;
    uint8_t byteSize = 8;
    uint8_t parity = NoParity;
    uint8_t stopBits = OneStopBit;
    char xonChar = 17;
    char xoffChar = 19;
    char errorChar = 0;
    char eofChar = 0;
    char evtChar = 0;

    bool operator==(const Dcb &) const = default;
};

/// Time-outs in milliseconds; readIntervalTimeout MAXDWORD with zero totals makes a read return
/// at once with what waits. A zero write total means no write time-out.
struct CommTimeouts
{
    uint32_t readIntervalTimeout = 0;
    uint32_t readTotalTimeoutMultiplier = 0;
    uint32_t readTotalTimeoutConstant = 0;
    uint32_t writeTotalTimeoutMultiplier = 0;
    uint32_t writeTotalTimeoutConstant = 0;

    bool operator==(const CommTimeouts &) const = default;
};

/// Driver status: flag word (hold states) and the byte counts of the two queues.
struct ComStat
{
    uint32_t flags = 0;
    uint32_t inQueue = 0;
    uint32_t outQueue = 0;
};

/// The three overlapped operations of a device, each with its own event.
enum class Op { Write = 0, Read = 1, Status = 2 };

inline constexpr uint32_t opBit(Op op)
{
    return 1u << static_cast<uint32_t>(op);
}

} // namespace comm
