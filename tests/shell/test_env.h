// Per-test working directories and small file helpers. Every test that
// writes log files runs in a directory of its own, so no test sees another
// test's files and the source tree stays clean.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace shelltest {

// Set by main: true in the child process that runs a death test's statement.
// That child starts in the directory the program was started in.
extern bool deathTestChild;
// The run's temporary base directory; passed on to death-test children in
// the environment variable below.
extern std::string baseDirectory;
constexpr const char* kBaseDirectoryVariable = "ORV_SHELLTEST_BASE";

std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
std::vector<std::string> SplitLines(const std::string& text);  // keeps no "\n"

// Makes a fresh directory for the current test and enters it, and resets
// the logger to its state before start-up.
class InTempDir : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};

// True when s holds a time stamp "HH:MM:SS:mmm " at pos (hours 00-23).
bool IsStampAt(const std::string& s, std::size_t pos);
// True when line is a stamp, a separating blank and a message; the message
// (what follows the two blanks) goes to *message.
bool SplitStamped(const std::string& line, std::string* message);

}  // namespace shelltest
