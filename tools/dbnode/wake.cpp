#include "tools/dbnode/wake.h"

#include <algorithm>

namespace dbnode {

double NextDue(const Node& node, double now) {
    double due = kNever;
    if (node.config.posEverySec > 0) due = node.nextPosition;
    if (!node.haveClient) return due;
    if (IsSilent(node, now)) return std::min(due, node.silentUntil);
    if (node.updatesOn) due = std::min(due, node.nextUpdate);
    return std::min(due, node.nextKeepAlive);
}

double SleepSeconds(double now, double due) {
    if (!(due < kNever)) return -1.0;
    return std::max(0.0, due - now);
}

}  // namespace dbnode
