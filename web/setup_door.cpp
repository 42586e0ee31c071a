#include "web/setup_door.h"

namespace web {

SetupDoor CheckSetupDoor(bool haveDesk, std::uint32_t bound, const std::vector<AllowedNet>& setupNets,
                         std::uint32_t remote) {
    if (!haveDesk) return SetupDoor::Absent;
    if (remote == 0) return SetupDoor::Refused;
    const bool own = remote == bound || (remote >> 24) == 127;
    return own || Allowed(setupNets, remote) ? SetupDoor::Open : SetupDoor::Refused;
}

}  // namespace web
