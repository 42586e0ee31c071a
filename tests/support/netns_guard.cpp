#include "tests/support/netns_guard.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#ifdef _WIN32
#include "platform/netns.h"
#else
#include <net/if.h>
#endif

namespace testsupport {

bool InPrivateNetworkNamespace() {
#ifdef _WIN32
    // Wine's adapters and routes are those of its wineserver's namespace,
    // which may hold the veth pair the run made: no default route, private
    // addresses only.
    return platform::InTestNetworkNamespace();
#else
    struct if_nameindex* list = if_nameindex();
    if (list == nullptr) return false;
    bool onlyLoopback = true;
    int count = 0;
    for (struct if_nameindex* p = list; p->if_index != 0 && p->if_name != nullptr; ++p) {
        ++count;
        if (std::strcmp(p->if_name, "lo") != 0) onlyLoopback = false;
    }
    if_freenameindex(list);
    return onlyLoopback && count == 1;
#endif
}

void RequirePrivateNetworkNamespace() {
    if (InPrivateNetworkNamespace()) return;
    std::fprintf(stderr,
                 "Refusing to run: this test opens sockets and must run inside a private "
                 "network namespace (unshare -n, then ip link set lo up).\n");
    std::exit(77);
}

}  // namespace testsupport
