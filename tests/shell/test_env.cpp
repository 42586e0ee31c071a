#include "test_env.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "shell/log.h"

namespace shelltest {

bool deathTestChild = false;
std::string baseDirectory;

namespace {

bool TwoDigits(const std::string& s, std::size_t pos, int max) {
    if (!std::isdigit(static_cast<unsigned char>(s[pos])) ||
        !std::isdigit(static_cast<unsigned char>(s[pos + 1])))
        return false;
    return (s[pos] - '0') * 10 + (s[pos + 1] - '0') <= max;
}

}  // namespace

bool IsStampAt(const std::string& s, std::size_t pos) {
    if (s.size() < pos + 13) return false;
    return TwoDigits(s, pos, 23) && s[pos + 2] == ':' && TwoDigits(s, pos + 3, 59) &&
           s[pos + 5] == ':' && TwoDigits(s, pos + 6, 59) && s[pos + 8] == ':' &&
           TwoDigits(s, pos + 9, 99) && std::isdigit(static_cast<unsigned char>(s[pos + 11])) &&
           s[pos + 12] == ' ';
}

bool SplitStamped(const std::string& line, std::string* message) {
    if (!IsStampAt(line, 0) || line.size() < 14 || line[13] != ' ') return false;
    *message = line.substr(14);
    return true;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::string::size_type start = 0;
    while (start < text.size()) {
        const auto nl = text.find('\n', start);
        if (nl == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

void InTempDir::SetUp() {
    logStarted = false;
    logFileName[0] = '\0';
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name)
        if (c == '/') c = '_';
    const std::filesystem::path dir = std::filesystem::path(baseDirectory) / name;
    // The death-test child enters the directory its parent made for it.
    if (!deathTestChild) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    ASSERT_EQ(chdir(dir.c_str()), 0);
}

void InTempDir::TearDown() {
    ASSERT_EQ(chdir(baseDirectory.c_str()), 0);
}

}  // namespace shelltest
