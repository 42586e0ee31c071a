// Runs the tests inside a fresh temporary directory, because the logger
// writes its files into the working directory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

#include "test_env.h"

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--gtest_internal_run_death_test", 31) == 0)
            shelltest::deathTestChild = true;
    ::testing::InitGoogleTest(&argc, argv);
    // Several tests start threads before a fatal stop; fork-only death tests
    // are unsafe with threads.
    GTEST_FLAG_SET(death_test_style, "threadsafe");

    if (shelltest::deathTestChild) {
        const char* base = std::getenv(shelltest::kBaseDirectoryVariable);
        if (base == nullptr || chdir(base) != 0) {
            std::cerr << "death-test child without its base directory\n";
            return 2;
        }
        shelltest::baseDirectory = base;
    } else {
        const std::string tmpl =
            (std::filesystem::temp_directory_path() / "orv-shelltest-XXXXXX").string();
        std::string buf = tmpl;
        if (mkdtemp(buf.data()) == nullptr || chdir(buf.c_str()) != 0) {
            std::cerr << "cannot create a temporary directory\n";
            return 2;
        }
        shelltest::baseDirectory = buf;
        setenv(shelltest::kBaseDirectoryVariable, buf.c_str(), 1);
    }
    const int result = RUN_ALL_TESTS();
    if (!shelltest::deathTestChild) {
        if (result == 0) {
            std::error_code ec;
            std::filesystem::remove_all(shelltest::baseDirectory, ec);
        } else {
            std::cerr << "test files kept in " << shelltest::baseDirectory << "\n";
        }
    }
    return result;
}
