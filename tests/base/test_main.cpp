// Makes the run's temporary directory; death-test children reuse their
// parent's, named in the environment.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "test_env.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Some death tests start threads; fork-only death tests are unsafe then.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const char* inherited = std::getenv(shelltest::kBaseVariable);
    if (inherited != nullptr) return RUN_ALL_TESTS();
    std::string base = (std::filesystem::temp_directory_path() / "orv-shelltest-XXXXXX").string();
    if (mkdtemp(base.data()) == nullptr) return 2;
    setenv(shelltest::kBaseVariable, base.c_str(), 1);
    const int result = RUN_ALL_TESTS();
    std::error_code ec;
    if (result == 0) std::filesystem::remove_all(base, ec);  // else kept for a look
    return result;
}
