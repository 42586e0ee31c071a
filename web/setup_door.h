// Who may open the set-up page: the PC itself and the `websetup` nets. The
// page changes the parameter file, so a browser the panels are open to is
// not enough. Pure, so every case is tested as a table.
#pragma once
#include <cstdint>
#include <vector>

#include "web/allow_list.h"

namespace web {

enum class SetupDoor {
    Absent,   // no set-up in this program: 404
    Refused,  // 403
    Open,
};

// `remote` and `bound` in host byte order; a remote of 0 (unknown) is refused.
SetupDoor CheckSetupDoor(bool haveDesk, std::uint32_t bound, const std::vector<AllowedNet>& setupNets,
                         std::uint32_t remote);

}  // namespace web
