// Makes the run's temporary directory; death-test children reuse their
// parent's, named in the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_env.h"
#include "tests/support/portable.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Some death tests start threads; fork-only death tests are unsafe then.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* inherited = std::getenv(shelltest::kBaseVariable);
    if (inherited != nullptr) return RUN_ALL_TESTS();
    const std::string base = testsupport::MakeTempDir("orv-shelltest-");
    if (base.empty()) return 2;
    testsupport::SetEnv(shelltest::kBaseVariable, base.c_str());
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    if (result == 0) std::filesystem::remove_all(base, ec);  // else kept for a look
    return result;
}
