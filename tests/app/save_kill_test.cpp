// A save killed at any moment leaves the file, and its .bak, each whole:
// one of the two contents the loop writes, never a part or a mix.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "tests/app/save_loop_contents.h"
#include "tests/support/portable.h"

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TEST(SaveKill, LeavesOldOrNewWholeAfterEveryKill) {
    const std::string dir = testsupport::MakeTempDir("orv_savekill_");
    ASSERT_FALSE(dir.empty());
    const std::string cfg = dir + "/orvvarnoth.cfg";
    const std::string a = SaveLoopContents(0), b = SaveLoopContents(1);
    std::ofstream(cfg, std::ios::binary) << a;
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            execl(ORV_SAVE_LOOP, ORV_SAVE_LOOP, cfg.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the loop ended by itself, status " << status;
        const std::string now = Slurp(cfg);
        ASSERT_TRUE(now == a || now == b) << "round " << round << ": " << now.size() << " bytes";
        if (std::filesystem::exists(cfg + ".bak")) {
            const std::string bak = Slurp(cfg + ".bak");
            ASSERT_TRUE(bak == a || bak == b) << "round " << round << ": .bak " << bak.size() << " bytes";
        }
    }
    EXPECT_TRUE(std::filesystem::exists(cfg + ".bak"));
    std::filesystem::remove_all(dir);
}

}  // namespace
