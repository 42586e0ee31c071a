// Tests that touch log files each run in a directory of their own below the
// run's temporary directory, named in ORV_SHELLTEST_BASE (which death-test
// children inherit, so they enter the same directory).
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include "tests/support/portable.h"
#include <vector>

#include "base/log.h"

namespace shelltest {

constexpr const char* kBaseVariable = "ORV_SHELLTEST_BASE";

inline std::string ReadFile(const std::string& path) {
    std::ostringstream out;
    out << std::ifstream(path, std::ios::binary).rdbuf();
    return out.str();
}

inline std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// True when s holds a time of day "HH:MM:SS:mmm" and two blanks at pos.
inline bool StampAt(const std::string& s, std::size_t pos) {
    const std::string pattern = "29:59:59:999  ";  // digits: the largest allowed
    if (s.size() < pos + pattern.size()) return false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char p = pattern[i], c = s[pos + i];
        if (p >= '0' && p <= '9' ? c < '0' || c > p : c != p) return false;
    }
    return std::stoi(s.substr(pos, 2)) < 24;
}

// What follows a line's stamp, or a marker that no test expects.
inline std::string Message(const std::string& line) {
    return StampAt(line, 0) ? line.substr(14) : "<not stamped> " + line;
}

using Strings = std::vector<std::string>;

// A log's first line as it stands, then the message of each stamped line.
inline Strings Messages(const std::string& path) {
    Strings lines = Lines(path);
    for (std::size_t i = 1; i < lines.size(); ++i) lines[i] = Message(lines[i]);
    return lines;
}

class InTempDir : public ::testing::Test {
protected:
    void SetUp() override {
        logStarted = false;
        logFileName[0] = '\0';
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        std::replace(name.begin(), name.end(), '/', '_');
        const auto dir = std::filesystem::path(std::getenv(kBaseVariable)) / name;
        std::filesystem::create_directories(dir);
        ASSERT_TRUE(testsupport::ChangeDir(dir.string()));
    }
};

}  // namespace shelltest
