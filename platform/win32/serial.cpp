// Win32 serial ports: CreateFile on \\.\COMn with a DCB and timeouts,
// overlapped, so that a read can wait on the port and a wake event at once.
#include <windows.h>

#include <string>

#include "platform/serial.h"

namespace platform {

bool OpenSerial(const char* name, int baud, SerialPort* out) {
    // The device namespace prefix reaches COM10 and above too.
    std::string path = name;
    if (path.rfind("\\\\.\\", 0) != 0 && path.find('\\') == std::string::npos &&
        path.find('/') == std::string::npos)
        path = "\\\\.\\" + path;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) {
        CloseHandle(h);
        return false;
    }
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
    if (!SetCommState(h, &dcb)) {
        CloseHandle(h);
        return false;
    }
    // Reads are timed per call in ReadSerial; writes give up after a second
    // so a board that stopped reading cannot hold its thread.
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutConstant = 1000;
    SetCommTimeouts(h, &timeouts);
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    out->handle = h;
    out->open = true;
    return true;
}

namespace {

// An overlapped transfer run to its end; `wake` (or nullptr) cancels a read
// still waiting. false when the port failed.
bool Finish(HANDLE h, OVERLAPPED* ov, BOOL started, HANDLE wake, DWORD* done) {
    *done = 0;
    if (!started && GetLastError() != ERROR_IO_PENDING) return false;
    if (!started && wake != nullptr) {
        // The port's timeouts end the transfer; the wake event may end it sooner.
        HANDLE waits[2] = {ov->hEvent, wake};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) CancelIo(h);
    }
    if (GetOverlappedResult(h, ov, done, TRUE)) return true;
    return GetLastError() == ERROR_OPERATION_ABORTED;  // cancelled: what came is kept
}

struct Overlapped {
    OVERLAPPED ov{};
    Overlapped() { ov.hEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr); }
    ~Overlapped() {
        if (ov.hEvent != nullptr) CloseHandle(ov.hEvent);
    }
};

}  // namespace

long ReadSerial(SerialPort* port, void* buffer, std::size_t capacity, int timeoutMs, const WakeSignal* wake) {
    if (!port->open) return -1;
    HANDLE h = static_cast<HANDLE>(port->handle);
    // Return as soon as any byte is there, else after timeoutMs.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = timeoutMs < 0 ? MAXDWORD - 1 : static_cast<DWORD>(timeoutMs > 0 ? timeoutMs : 1);
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!SetCommTimeouts(h, &timeouts)) return -1;
    Overlapped o;
    if (o.ov.hEvent == nullptr) return -1;
    DWORD read = 0;
    const DWORD want = capacity > 0x10000 ? 0x10000 : static_cast<DWORD>(capacity);
    const BOOL started = ReadFile(h, buffer, want, nullptr, &o.ov);
    if (!Finish(h, &o.ov, started, wake != nullptr ? static_cast<HANDLE>(wake->handle) : nullptr, &read)) return -1;
    return static_cast<long>(read);
}

bool WriteSerial(SerialPort* port, const void* data, std::size_t length) {
    if (!port->open) return false;
    HANDLE h = static_cast<HANDLE>(port->handle);
    Overlapped o;
    if (o.ov.hEvent == nullptr) return false;
    const char* at = static_cast<const char*>(data);
    while (length > 0) {
        DWORD written = 0;
        const DWORD chunk = length > 0x10000 ? 0x10000 : static_cast<DWORD>(length);
        ResetEvent(o.ov.hEvent);
        const BOOL started = WriteFile(h, at, chunk, nullptr, &o.ov);
        if (!Finish(h, &o.ov, started, nullptr, &written) || written == 0) return false;
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
