// What the Status panel shows as the client's message counts (variables 233
// and 234): every datagram the node received from the client, and the ones
// it never saw, found as gaps in the client's transmit sequence numbers
// (1 to 999, then 0 again; one counter for all its datagrams).
#pragma once
#include <cstdint>

namespace dbnode {

struct ClientCounter {
    std::int32_t total = 0;
    std::int32_t missed = 0;
    std::int32_t last = -1;  // -1: no number seen yet
};

// A forward jump of at most this many numbers is loss; anything larger is a
// restarted client and only resynchronises.
constexpr std::int32_t kMaxSequenceGap = 50;

// Counts one datagram carrying `sequence`. A number just behind the last is
// a late arrival that fills a gap counted before; a repeat changes nothing.
void CountClientDatagram(ClientCounter* counter, std::int32_t sequence);

}  // namespace dbnode
