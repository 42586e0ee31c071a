#include "link/monitor.h"

#include "link/link_state.h"
#include "link/transmit.h"
#include "protocol/wire.h"
#include "platform/stop_signal.h"
#include "platform/time.h"
#include "base/log.h"
#include "base/settings.h"

namespace {

void SendKeepAlive() {
    unsigned char datagram[kMaxOutgoingSize];
    const std::size_t length = BuildKeepAlive(datagram, sizeof datagram, NextSequence(), Settings.nodeId,
                                              selectedIp, monitorPort, versionMajor, versionMinor);
    if (length > 0) SendToDb(datagram, length);
}

}  // namespace

void RequestDbAddress() {
    unsigned char datagram[kMaxOutgoingSize];
    const std::size_t length = BuildAddressRequest(datagram, sizeof datagram, NextSequence(),
                                                   Settings.nodeId, selectedIp, monitorPort,
                                                   versionMajor, versionMinor);
    if (length > 0) Broadcast(datagram, length);
}

void MonitorPeriod() {
    std::atomic<std::int32_t>& missed = OwnMissedPeriods();
    // Taking and clearing the flag in one step keeps a datagram that arrives
    // during this pass for the next period instead of losing it.
    const bool heard = heardFromDb.exchange(false, std::memory_order_acq_rel);
    if (!heard) {
        const std::int32_t now = missed.load(std::memory_order_relaxed) + 1;
        missed.store(now, std::memory_order_relaxed);
        if (now > kMaxMissedPeriods && linkConnected.load(std::memory_order_acquire)) {
            WriteLogLevel(4, "Monitor() - Disconnected\n");
            linkConnected.store(false, std::memory_order_release);
        }
    } else {
        missed.store(0, std::memory_order_relaxed);
    }
    if (linkConnected.load(std::memory_order_acquire)) SendKeepAlive();
    // Also right after a disconnect in this same pass.
    if (!linkConnected.load(std::memory_order_acquire)) RequestDbAddress();
}

void Monitor(platform::StopSignal& stop) {
    while (stop.Sleep(kMonitorPeriodMs)) MonitorPeriod();
}
