// The two transmit paths every outgoing datagram takes, serialised by
// XmtMutex, and the transmit sequence counter.
#pragma once
#include <cstddef>
#include <cstdint>

#include "link/link_state.h"

// Next transmit sequence number: 1, 2, ..., 999, 0, 1, ...
std::int32_t NextSequence();

// Sends one datagram to the broadcast address; logs a send error.
void Broadcast(const void* data, std::size_t length);

// Sends one datagram to the DB node: 0 sent, -1 link down (nothing sent,
// nothing logged), -2 send failed.
int SendToDb(const void* data, std::size_t length);

// XmtMutex, created on first use (exactly once, whichever threads race).
platform::Mutex* XmtMutex();

// Replaces the DB-node connection while holding XmtMutex, so no send sees a
// half-written record; returns the previous sending socket for the caller
// to close.
platform::SocketHandle InstallDbLink(const DbLinkRecord& fresh);
