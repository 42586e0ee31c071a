#include "link/transmit.h"

#include <atomic>
#include <mutex>

#include "base/log.h"
#include "base/resources.h"

namespace {

std::atomic<std::int32_t> sequenceCounter{0};

std::once_flag xmtOnce;
platform::Mutex* xmtMutex = nullptr;

}  // namespace

std::int32_t NextSequence() {
    std::int32_t current = sequenceCounter.load(std::memory_order_relaxed);
    std::int32_t next;
    do {
        next = current + 1;
        if (next >= 1000) next = 0;
    } while (!sequenceCounter.compare_exchange_weak(current, next, std::memory_order_relaxed));
    return next;
}

platform::Mutex* XmtMutex() {
    std::call_once(xmtOnce, [] { xmtMutex = RegisterResource("XmtMutex", linkServices.newMutex); });
    return xmtMutex;
}

void Broadcast(const void* data, std::size_t length) {
    // A failed wait is logged there; the datagram goes anyway.
    const platform::ScopedLock lock = HoldResource(XmtMutex());
    long sent = -1;
    if (broadcastReady.load(std::memory_order_acquire) && broadcastTarget.addressValid) {
        sent = platform::SendTo(broadcastTarget.socket, data, length, broadcastTarget.address);
    }
    if (sent < 0) WriteLog("Broadcast() - Broadcast send error\n");
}

int SendToDb(const void* data, std::size_t length) {
    if (!linkConnected.load(std::memory_order_acquire)) return -1;
    const platform::ScopedLock lock = HoldResource(XmtMutex());
    if (platform::SendTo(DbLink.socket, data, length, DbLink.endpoint) < 0) {
        WriteLog("Client send error\n");
        return -2;
    }
    return 0;
}

platform::SocketHandle InstallDbLink(const DbLinkRecord& fresh) {
    const platform::ScopedLock lock = HoldResource(XmtMutex());
    const platform::SocketHandle previous = DbLink.socket;
    DbLink = fresh;
    return previous;
}
