#include "tests/support/portable.h"

#include "tests/support/netns_guard.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#ifdef _WIN32
#include <process.h>

#include "platform/netns.h"
#else
#include <net/if.h>
#include <sys/socket.h>
#include <sys/stat.h>
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

bool SystemHasFifos() {
#ifdef _WIN32
    return false;
#else
    return true;
#endif
}

bool MakeFifo(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    return mkfifo(path.c_str(), 0600) == 0;
#endif
}

bool MakeSymlink(const std::string& target, const std::string& path) {
#ifdef _WIN32
    (void)target;
    (void)path;
    return false;
#else
    return symlink(target.c_str(), path.c_str()) == 0;
#endif
}

long ReceiveBufferBytes(platform::SocketHandle s) {
#ifdef _WIN32
    (void)s;
    return -1;
#else
    int buffer = 0;
    socklen_t length = sizeof buffer;
    return getsockopt(s, SOL_SOCKET, SO_RCVBUF, &buffer, &length) == 0 ? buffer : 0;
#endif
}

int OpenDescriptorCount() {
#ifdef _WIN32
    return -1;
#else
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
#endif
}

bool InPrivateNetworkNamespace() {
#ifdef _WIN32
    // Wine's adapters and routes are those of its wineserver's namespace,
    // which may hold the veth pair the run made: no default route, private
    // addresses only.
    return platform::InTestNetworkNamespace();
#else
    struct if_nameindex* list = if_nameindex();
    if (list == nullptr) return false;
    bool onlyLoopback = true;
    int count = 0;
    for (struct if_nameindex* p = list; p->if_index != 0 && p->if_name != nullptr; ++p) {
        ++count;
        if (std::strcmp(p->if_name, "lo") != 0) onlyLoopback = false;
    }
    if_freenameindex(list);
    return onlyLoopback && count == 1;
#endif
}

}  // namespace testsupport
