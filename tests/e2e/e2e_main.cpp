// End-to-end test driver: runs orvvarnoth against orv-dbnode inside a
// private network namespace.
//   orv_e2e_driver link|flight --dbnode PATH --client PATH --plan FILE
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/e2e/runs.h"
#include "tests/support/netns_guard.h"

namespace e2e {

int Finish(const Session& s, const std::vector<std::string>& failures) {
    if (failures.empty()) {
        std::printf("PASS\n");
        std::error_code ignored;
        std::filesystem::remove_all(s.directory, ignored);
        return 0;
    }
    DumpSession(s);
    std::printf("FAIL: %zu problem(s)\n", failures.size());
    for (const std::string& f : failures) std::printf("  %s\n", f.c_str());
    return 1;
}

}  // namespace e2e

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string mode = argc > 1 ? argv[1] : "";
    e2e::SessionPaths paths;
    std::string plan;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--dbnode") == 0) paths.dbnode = argv[i + 1];
        else if (std::strcmp(argv[i], "--client") == 0) paths.client = argv[i + 1];
        else if (std::strcmp(argv[i], "--plan") == 0) plan = argv[i + 1];
    }
    if (paths.dbnode.empty() || paths.client.empty() || plan.empty() || (mode != "link" && mode != "flight")) {
        std::fprintf(stderr, "usage: %s link|flight --dbnode PATH --client PATH --plan FILE\n", argv[0]);
        return 2;
    }
    return mode == "link" ? e2e::RunLink(paths, plan) : e2e::RunFlight(paths, plan);
}
