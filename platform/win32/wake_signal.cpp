// Win32 wake signal: an auto-reset event, cleared by the wait that sees it.
#include <windows.h>

#include "platform/wake_signal.h"

namespace platform {

bool OpenWakeSignal(WakeSignal* out) {
    out->handle = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    return out->handle != nullptr;
}

void SignalWake(const WakeSignal& wake) { SetEvent(static_cast<HANDLE>(wake.handle)); }

void CloseWakeSignal(WakeSignal* wake) {
    if (wake->handle != nullptr) CloseHandle(static_cast<HANDLE>(wake->handle));
    wake->handle = nullptr;
}

}  // namespace platform
