#include <windows.h>

#include <cstdio>

#include "platform/process.h"

namespace platform {

void ExitProcess(int code) {
    std::fflush(stdout);
    std::fflush(stderr);
    // Ends the other threads before anything else runs, and gives the
    // parent the whole code.
    ::ExitProcess(static_cast<UINT>(code));
}

bool GetWorkingDirectory(char* buf, std::size_t size) {
    if (size == 0) return false;
    const DWORD n = GetCurrentDirectoryA(size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size), buf);
    if (n == 0 || n >= size) {
        buf[0] = '\0';
        return false;
    }
    return true;
}

}  // namespace platform
