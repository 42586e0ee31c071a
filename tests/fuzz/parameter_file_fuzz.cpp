// The parameter file, as the user (or an editor) saves it. The bytes go to
// the reader through a file held in memory, so it reads them exactly as it
// reads orvvarnoth.cfg, and nothing touches the disk.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "app/parameter_file.h"
#include "base/log.h"
#include "base/settings.h"

namespace {

platform::Frame* NoStatusWindow(platform::AppInstance, bool) { return nullptr; }
void NoMessageBox(platform::Frame*, const char*, const char*) {}

struct MemoryFile {
    int fd = -1;
    char path[64] = "";
};

const MemoryFile& TheFile() {
    static MemoryFile file = [] {
        MemoryFile f;
        f.fd = memfd_create("orvvarnoth.cfg", MFD_CLOEXEC);
        if (f.fd < 0) std::abort();
        std::snprintf(f.path, sizeof f.path, "/proc/self/fd/%d", f.fd);
        StartLog("/dev/null");  // every line is formatted, none is kept
        return f;
    }();
    return file;
}

}  // namespace


extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const MemoryFile& file = TheFile();
    if (ftruncate(file.fd, 0) != 0 || pwrite(file.fd, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();
    }
    Settings = DefaultSettings();
    // The message boxes and the Status window answer at once.
    std::vector<boards::BoardMap> boards;
    ReadParameterFile(file.path, ParameterFileUi{nullptr, NoStatusWindow, NoMessageBox}, &boards);
    return 0;
}
