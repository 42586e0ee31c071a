// A wake-up one thread sends another that is blocked on a port: an eventfd
// on Linux, an event on Windows. Signals sent before the wait are not lost;
// several fold into one wake-up.
#pragma once

namespace platform {

struct WakeSignal {
#ifdef _WIN32
    void* handle = nullptr;  // a HANDLE
#else
    int fd = -1;
#endif
};

// false when none could be made.
bool OpenWakeSignal(WakeSignal* out);
// Any thread, never waits.
void SignalWake(const WakeSignal& wake);
void CloseWakeSignal(WakeSignal* wake);

}  // namespace platform
