// Serial ports for the cockpit boards: raw 8N1 at one baud rate, with a
// read that gives up at the caller's next timer or when its wake signal
// comes, so its thread blocks rather than polls. A device path on POSIX ("/dev/ttyUSB0"); "COMn" (or a path) on
// Windows.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/wake_signal.h"

namespace platform {

#ifdef _WIN32
using SerialHandle = void*;  // a HANDLE
#else
using SerialHandle = int;
#endif

struct SerialPort {
    SerialHandle handle;
    bool open = false;
#ifdef _WIN32
    void* event = nullptr;  // the port's overlapped reads and writes, one at a time
#endif
};

// Why an open failed, so that the caller can say so.
enum class SerialOpen {
    Ok,
    CannotOpen,  // absent, no permission, or not a serial port
    InUse,       // another program (or another copy of this one) holds it
    BadBaud,     // not one of 9600, 19200, 38400, 57600, 115200, 230400
};

// Opens `name` raw, 8N1 at `baud`, no flow control, with DTR raised (which
// resets most boards: the caller allows for the boot loader), and for this
// program alone: two readers would each get half of the board's lines.
// Anything but Ok leaves nothing open.
SerialOpen OpenSerial(const char* name, int baud, SerialPort* out);

// Waits at most `timeoutMs` (below 0: no limit) for bytes, or until `wake`
// (when given) is signalled, which it clears. Returns how many were read (0
// when none came in time or it was woken), or -1 when the port failed or
// went away.
long ReadSerial(SerialPort* port, void* buffer, std::size_t capacity, int timeoutMs,
                const WakeSignal* wake = nullptr);

// Writes everything or fails: false when the port failed or went away.
bool WriteSerial(SerialPort* port, const void* data, std::size_t length);

void CloseSerial(SerialPort* port);

}  // namespace platform
