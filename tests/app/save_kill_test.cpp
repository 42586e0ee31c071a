// A save killed at any moment leaves the file, and its .bak, each whole:
// one of the two contents the loop writes, never a part or a mix; links
// planted beside the file, and what they point to, stay as they were.
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

// What lies beside the file before the saves start: nothing, or links to a
// file of someone else's at the names the save once used for its new files
// and at names it might guess.
enum class Planted { Nothing, SymbolicLinks, HardLinks };

void KillSavesAtRandom(Planted planted) {
    namespace fs = std::filesystem;
    const std::string dir = testsupport::MakeTempDir("orv_savekill_");
    ASSERT_FALSE(dir.empty());
    const std::string cfg = dir + "/orvvarnoth.cfg";
    const std::string a = SaveLoopContents(0), b = SaveLoopContents(1);
    std::ofstream(cfg, std::ios::binary) << a;
    const std::string victim = dir + "/victim";
    std::ofstream(victim, std::ios::binary) << "not yours\n";
    fs::permissions(victim, fs::perms::owner_read | fs::perms::owner_write);
    const char* names[] = {".new", ".bak.new", ".tmp", ".bak.tmp", "~", ".bak~"};
    for (const char* name : names) {
        std::error_code e;
        if (planted == Planted::SymbolicLinks) fs::create_symlink(victim, cfg + name, e);
        if (planted == Planted::HardLinks) fs::create_hard_link(victim, cfg + name, e);
        ASSERT_FALSE(e) << name << ": " << e.message();
    }
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
        if (fs::exists(cfg + ".bak")) {
            const std::string bak = Slurp(cfg + ".bak");
            ASSERT_TRUE(bak == a || bak == b) << "round " << round << ": .bak " << bak.size() << " bytes";
        }
        ASSERT_TRUE(Slurp(victim) == "not yours\n") << "round " << round << ": the link's target was written";
        ASSERT_EQ(fs::status(victim).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    }
    EXPECT_TRUE(fs::exists(cfg + ".bak"));
    for (const char* name : names) {
        if (planted == Planted::SymbolicLinks) {
            EXPECT_EQ(fs::read_symlink(cfg + name).string(), victim) << name;
        } else if (planted == Planted::HardLinks) {
            EXPECT_TRUE(fs::equivalent(cfg + name, victim)) << name;
        }
    }
    fs::remove_all(dir);
}

TEST(SaveKill, LeavesOldOrNewWholeAfterEveryKill) { KillSavesAtRandom(Planted::Nothing); }
TEST(SaveKill, StepsAroundSymbolicLinksBesideTheFile) { KillSavesAtRandom(Planted::SymbolicLinks); }
TEST(SaveKill, StepsAroundHardLinksBesideTheFile) { KillSavesAtRandom(Planted::HardLinks); }

}  // namespace
