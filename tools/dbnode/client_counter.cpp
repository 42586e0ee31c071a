#include "tools/dbnode/client_counter.h"

namespace dbnode {

void CountClientDatagram(ClientCounter* c, std::int32_t sequence) {
    constexpr std::int32_t kModulus = 1000;
    if (c->total < 2147483647) ++c->total;
    if (sequence < 0 || sequence >= kModulus) return;  // not the client's numbering
    if (c->last < 0) {
        c->last = sequence;
        return;
    }
    const std::int32_t ahead = ((sequence - c->last) % kModulus + kModulus) % kModulus;
    const std::int32_t behind = kModulus - ahead;
    if (ahead == 0) return;  // a repeat
    if (ahead <= kMaxSequenceGap + 1) {
        c->missed += ahead - 1;
        c->last = sequence;
    } else if (behind <= kMaxSequenceGap) {
        if (c->missed > 0) --c->missed;  // late, and counted missing before
    } else {
        c->last = sequence;
    }
}

}  // namespace dbnode
