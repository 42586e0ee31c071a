#include "platform/process.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace platform {
namespace {
std::atomic<void (*)()> exitFlush{nullptr};
}  // namespace

void SetExitFlush(void (*flush)()) { exitFlush.store(flush); }

void ExitProcess(int code) {
    if (void (*const flush)() = exitFlush.load()) flush();
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(code);
}

bool GetWorkingDirectory(char* buf, std::size_t size) {
    if (size == 0) return false;
    if (getcwd(buf, size) == nullptr) {
        buf[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace platform
