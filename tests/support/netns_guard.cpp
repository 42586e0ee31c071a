#include "tests/support/netns_guard.h"

#include <cstdio>
#include <cstdlib>

namespace testsupport {

void RequirePrivateNetworkNamespace() {
    if (InPrivateNetworkNamespace()) return;
    std::fprintf(stderr,
                 "Refusing to run: this test opens sockets and must run inside a private "
                 "network namespace (unshare -n, then ip link set lo up).\n");
    std::exit(77);
}

}  // namespace testsupport
