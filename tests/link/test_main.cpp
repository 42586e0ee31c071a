// Entry point of every link test program: they open sockets, so they
// refuse to run outside a private network namespace.
#include <atomic>
#include <cstdint>
#include <cstring>

#include <gtest/gtest.h>

#include "platform/net.h"
#include "platform/process.h"
#include "platform/time.h"
#include "base/log.h"
#include "tests/link/link_test_support.h"
#include "tests/support/netns_guard.h"

// The process ends through _Exit, which skips the sanitizer's end-of-run
// verdict; stopping at the first data race makes a race fail the test.
extern "C" const char* __tsan_default_options() { return "halt_on_error=1"; }

int main(int argc, char** argv) {
    testsupport::RequirePrivateNetworkNamespace();
    platform::StartSockets(0x0202);
    bool deathChild = false;
    for (int i = 1; i < argc; ++i) deathChild |= std::strstr(argv[i], "internal_run_death_test") != nullptr;
    // A death-test child writes a log of its own, which its parent then reads.
    // Each log line in a second of its own, so that the tests count every
    // line a bad input writes: none is folded into a repeat count.
    static std::atomic<std::int64_t> second{0};
    StartLog(deathChild ? linktest::kDeathLogName : linktest::kLogName, {[] { return ++second; }});
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ::testing::InitGoogleTest(&argc, argv);
    // Link threads are never joined; end without running static destructors
    // under their feet, as the program itself does.
    platform::ExitProcess(RUN_ALL_TESTS());
}
