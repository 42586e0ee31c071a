// Win32 serial ports: CreateFile on \\.\COMn with a DCB and timeouts.
#include <windows.h>

#include <initializer_list>
#include <string>

#include "platform/serial.h"

namespace platform {

namespace {

// The rates the POSIX side can set, so a port works the same on both.
bool KnownBaud(int baud) {
    for (const int known : {9600, 19200, 38400, 57600, 115200, 230400})
        if (baud == known) return true;
    return false;
}

SerialOpen Fail(HANDLE h) {
    CloseHandle(h);
    return SerialOpen::CannotOpen;
}

}  // namespace

SerialOpen OpenSerial(const char* name, int baud, SerialPort* out) {
    if (!KnownBaud(baud)) return SerialOpen::BadBaud;
    // The device namespace prefix reaches COM10 and above too.
    std::string path = name;
    if (path.rfind("\\\\.\\", 0) != 0 && path.find('\\') == std::string::npos &&
        path.find('/') == std::string::npos)
        path = "\\\\.\\" + path;
    // Share mode 0: the port is this program's alone. A COM port another
    // program holds answers access denied (or a sharing violation).
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? SerialOpen::InUse
                                                                                : SerialOpen::CannotOpen;
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) return Fail(h);
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(h, &dcb)) return Fail(h);
    // Reads are timed per call in ReadSerial; writes give up after a second
    // so a board that stopped reading cannot hold its thread.
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutConstant = 1000;
    SetCommTimeouts(h, &timeouts);
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    out->handle = h;
    out->open = true;
    return SerialOpen::Ok;
}

// A read waits this long at most, then looks at the wake event: the port is
// opened without overlapped I/O, which the serial ports under Wine do not
// serve as a read that a second handle can end.
constexpr int kWakeCheckMs = 50;

long ReadSerial(SerialPort* port, void* buffer, std::size_t capacity, int timeoutMs, const WakeSignal* wake) {
    if (!port->open) return -1;
    HANDLE h = static_cast<HANDLE>(port->handle);
    if (wake != nullptr) {
        if (WaitForSingleObject(static_cast<HANDLE>(wake->handle), 0) == WAIT_OBJECT_0) return 0;
        if (timeoutMs < 0 || timeoutMs > kWakeCheckMs) timeoutMs = kWakeCheckMs;
    }
    // Return as soon as any byte is there, else after timeoutMs.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(timeoutMs > 0 ? timeoutMs : 1);
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!SetCommTimeouts(h, &timeouts)) return -1;
    DWORD read = 0;
    const DWORD want = capacity > 0x10000 ? 0x10000 : static_cast<DWORD>(capacity);
    if (!ReadFile(h, buffer, want, &read, nullptr)) return -1;
    return static_cast<long>(read);
}

bool WriteSerial(SerialPort* port, const void* data, std::size_t length) {
    if (!port->open) return false;
    const char* at = static_cast<const char*>(data);
    while (length > 0) {
        DWORD written = 0;
        const DWORD chunk = length > 0x10000 ? 0x10000 : static_cast<DWORD>(length);
        if (!WriteFile(static_cast<HANDLE>(port->handle), at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
        length -= written;
    }
    return true;
}

void CloseSerial(SerialPort* port) {
    if (port->open) CloseHandle(static_cast<HANDLE>(port->handle));
    port->open = false;
}

}  // namespace platform
