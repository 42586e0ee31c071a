// Runs the tests inside a fresh temporary directory, removed afterwards:
// the log is written to the working directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    char dir[] = "/tmp/orv_fmc_test_XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) {
        std::perror("temporary directory");
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    // Removed while still the working directory, so nothing can land
    // anywhere else afterwards.
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return result;
}
