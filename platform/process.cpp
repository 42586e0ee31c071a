#include "platform/process.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace platform {

void ExitProcess(int code) {
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
