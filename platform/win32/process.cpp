#include <windows.h>

#include <atomic>
#include <cstdio>

#include "platform/process.h"

namespace platform {
namespace {
std::atomic<void (*)()> exitFlush{nullptr};
}  // namespace

void SetExitFlush(void (*flush)()) { exitFlush.store(flush); }

void ExitProcess(int code) {
    if (void (*const flush)() = exitFlush.load()) flush();
    std::fflush(stdout);
    std::fflush(stderr);
    // Not ExitProcess: that detaches the C runtime, which runs exit handlers
    // and takes the stream locks that a thread it has just ended may hold.
    // The log is already on disk; the parent gets the whole code.
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
    for (;;) Sleep(INFINITE);
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
