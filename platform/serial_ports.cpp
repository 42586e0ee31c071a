// POSIX: the USB serial devices by their stable names and by number.
#include <dirent.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/serial_ports.h"

namespace platform {
namespace {

// Entries of `folder` whose names start with `prefix` ("" for all), sorted.
void AddEntries(const char* folder, const char* prefix, std::vector<std::string>* out) {
    DIR* d = opendir(folder);
    if (d == nullptr) return;
    std::vector<std::string> names;
    const std::size_t n = std::strlen(prefix);
    while (const dirent* e = readdir(d))
        if (e->d_name[0] != '.' && std::strncmp(e->d_name, prefix, n) == 0) names.push_back(e->d_name);
    closedir(d);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) out->push_back(std::string(folder) + "/" + name);
}

}  // namespace

std::vector<std::string> ListSerialPorts() {
    std::vector<std::string> found;
    AddEntries("/dev/serial/by-id", "", &found);
    AddEntries("/dev", "ttyUSB", &found);
    AddEntries("/dev", "ttyACM", &found);
    for (std::string& extra : SplitPortList(std::getenv("ORV_SERIAL_PORTS"), ':')) found.push_back(extra);
    // A by-id link and its ttyUSB name are one port: the stable name is kept.
    std::vector<std::string> out;
    std::vector<std::string> seen;
    for (const std::string& path : found) {
        char* real = realpath(path.c_str(), nullptr);
        const std::string key = real != nullptr ? real : path;
        std::free(real);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        out.push_back(path);
    }
    return out;
}

}  // namespace platform
