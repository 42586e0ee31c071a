// Runs the tests inside a fresh temporary directory: the log is written to
// the working directory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    char dir[] = "/tmp/orv_fmc_test_XXXXXX";
    if (mkdtemp(dir) == nullptr || chdir(dir) != 0) {
        std::perror("temporary directory");
        return 1;
    }
    return RUN_ALL_TESTS();
}
