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
    // Overlapped, so that a read can wait on the port and the wake signal at
    // once, and a write never queues behind a pending read.
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
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
    // Interval MAXDWORD with no totals: Windows returns a read at once with
    // what is there (possibly nothing); Wine's serial driver instead keeps
    // it pending until the first byte. ReadSerial serves both. Writes give
    // up after a second so a board that stopped reading cannot hold its
    // thread.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!SetCommTimeouts(h, &timeouts)) return Fail(h);
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (event == nullptr) return Fail(h);
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR);
    out->handle = h;
    out->event = event;
    out->open = true;
    return SerialOpen::Ok;
}

namespace {

// Waits for `op` (pending on `h`) to finish, for the wake signal, or for
// `timeoutMs`. When it did not finish by itself it is ended: `cancel` does
// that (the pending operation still completes, possibly with bytes), and the
// result is collected either way so that nothing read is lost. Returns the
// bytes the operation moved, 0 when woken or timed out, -1 on failure.
long FinishPending(HANDLE h, OVERLAPPED* op, HANDLE wake, int timeoutMs, void (*cancel)(HANDLE, OVERLAPPED*)) {
    HANDLE waits[2] = {op->hEvent, wake};
    const DWORD count = wake != nullptr ? 2 : 1;
    const DWORD r = WaitForMultipleObjects(count, waits, FALSE, timeoutMs < 0 ? INFINITE : static_cast<DWORD>(timeoutMs));
    if (r != WAIT_OBJECT_0) cancel(h, op);
    DWORD moved = 0;
    if (GetOverlappedResult(h, op, &moved, TRUE)) return static_cast<long>(moved);
    return GetLastError() == ERROR_OPERATION_ABORTED ? 0 : -1;
}

void CancelRead(HANDLE h, OVERLAPPED* op) { CancelIoEx(h, op); }
// A pending WaitCommEvent ends when the mask is set again.
void EndCommWait(HANDLE h, OVERLAPPED*) { SetCommMask(h, EV_RXCHAR); }

}  // namespace

long ReadSerial(SerialPort* port, void* buffer, std::size_t capacity, int timeoutMs, const WakeSignal* wake) {
    if (!port->open) return -1;
    HANDLE h = static_cast<HANDLE>(port->handle);
    HANDLE wakeEvent = wake != nullptr ? static_cast<HANDLE>(wake->handle) : nullptr;
    if (wakeEvent != nullptr && WaitForSingleObject(wakeEvent, 0) == WAIT_OBJECT_0) return 0;
    const DWORD want = capacity > 0x10000 ? 0x10000 : static_cast<DWORD>(capacity);
    for (int pass = 0; pass < 2; ++pass) {
        OVERLAPPED op{};
        op.hEvent = static_cast<HANDLE>(port->event);
        DWORD read = 0;
        if (ReadFile(h, buffer, want, &read, &op)) {
            if (read > 0 || pass > 0) return static_cast<long>(read);
        } else if (GetLastError() == ERROR_IO_PENDING) {
            return FinishPending(h, &op, wakeEvent, timeoutMs, CancelRead);
        } else {
            return -1;
        }
        // Nothing there yet (Windows): wait for a byte to arrive, then read it.
        if (!SetCommMask(h, EV_RXCHAR)) return -1;
        op = OVERLAPPED{};
        op.hEvent = static_cast<HANDLE>(port->event);
        ResetEvent(op.hEvent);
        DWORD mask = 0;
        if (!WaitCommEvent(h, &mask, &op)) {
            if (GetLastError() != ERROR_IO_PENDING) return -1;
            if (FinishPending(h, &op, wakeEvent, timeoutMs, EndCommWait) < 0) return -1;
            if ((mask & EV_RXCHAR) == 0) return 0;  // woken or timed out
        }
    }
    return 0;
}

bool WriteSerial(SerialPort* port, const void* data, std::size_t length) {
    if (!port->open) return false;
    HANDLE h = static_cast<HANDLE>(port->handle);
    const char* at = static_cast<const char*>(data);
    while (length > 0) {
        OVERLAPPED op{};
        op.hEvent = static_cast<HANDLE>(port->event);
        DWORD written = 0;
        const DWORD chunk = length > 0x10000 ? 0x10000 : static_cast<DWORD>(length);
        if (!WriteFile(h, at, chunk, &written, &op)) {
            // The write timeout (1 s) bounds the wait.
            if (GetLastError() != ERROR_IO_PENDING || !GetOverlappedResult(h, &op, &written, TRUE)) return false;
        }
        if (written == 0) return false;
        at += written;
        length -= written;
    }
    return true;
}

void CloseSerial(SerialPort* port) {
    if (port->open) {
        CloseHandle(static_cast<HANDLE>(port->handle));
        CloseHandle(static_cast<HANDLE>(port->event));
    }
    port->open = false;
}

}  // namespace platform
