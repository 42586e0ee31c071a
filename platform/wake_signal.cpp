// POSIX wake signal: an eventfd, read back to clear it.
#include "platform/wake_signal.h"

#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

bool OpenWakeSignal(WakeSignal* out) {
    out->fd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    return out->fd >= 0;
}

void SignalWake(const WakeSignal& wake) {
    const std::uint64_t one = 1;
    // Only fails when the counter would overflow: it is signalled already.
    [[maybe_unused]] const ssize_t n = write(wake.fd, &one, sizeof one);
}

void CloseWakeSignal(WakeSignal* wake) {
    if (wake->fd >= 0) close(wake->fd);
    wake->fd = -1;
}

}  // namespace platform
