#include "tests/support/portable.h"

#include <cstdlib>
#include <filesystem>
#include <random>
#include <system_error>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace testsupport {

int ProcessId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

std::string MakeTempDir(const char* prefix) {
    std::error_code ec;
    const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
    if (ec) return std::string();
    std::random_device seed;
    std::mt19937 random(seed() ^ static_cast<unsigned>(ProcessId()));
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path dir = base / (prefix + std::to_string(random() % 1000000000u));
        if (std::filesystem::create_directory(dir, ec)) return dir.string();
    }
    return std::string();
}

bool ChangeDir(const std::string& path) {
    std::error_code ec;
    std::filesystem::current_path(path, ec);
    return !ec;
}

void SetEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

int SeenExitCode(int code) {
#ifdef _WIN32
    return code;
#else
    return code & 0xFF;
#endif
}

}  // namespace testsupport
