#include "inputs/identity.h"

#include <algorithm>

namespace inputs {

DeviceMatch MatchDevice(const DeviceIdentity& id, const std::vector<AttachedDevice>& attached) {
    std::vector<int> found;
    for (int i = 0; i < static_cast<int>(attached.size()); ++i) {
        const AttachedDevice& d = attached[i];
        if (d.vendor != id.vendor || d.product != id.product || d.name != id.name) continue;
        if (!id.serial.empty() ? d.serial == id.serial : id.order == 0 || d.serial.empty()) found.push_back(i);
    }
    if (id.serial.empty() && id.order > 0) {
        std::stable_sort(found.begin(), found.end(),
                         [&](int a, int b) { return attached[a].attachOrder < attached[b].attachOrder; });
        if (id.order > static_cast<int>(found.size())) return DeviceMatch{};
        return DeviceMatch{MatchOutcome::Found, found[id.order - 1]};
    }
    if (found.empty()) return DeviceMatch{};
    if (found.size() > 1) return DeviceMatch{MatchOutcome::TwoMatch, -1};
    return DeviceMatch{MatchOutcome::Found, found[0]};
}

}  // namespace inputs
