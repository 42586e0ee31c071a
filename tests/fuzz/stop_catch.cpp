#include "tests/fuzz/stop_catch.h"

#include <csetjmp>

#include "base/fatal.h"
#include "base/log.h"
#include "platform/process.h"

namespace {

// Single-threaded by construction: the targets run one input at a time.
std::jmp_buf* landing = nullptr;
int stopCode = 0;

// The frames a stop abandons hold nothing that needs releasing: the targets
// give the receiver mutexes that need no release (see datagram_fuzz.cpp).
[[noreturn]] void Land(int code) {
    if (landing == nullptr) platform::ExitProcess(code);
    stopCode = code;
    std::longjmp(*landing, 1);
}

}  // namespace

void FatalStop(int code, const char* line) {
    if (line != nullptr) WriteLog(line);
    Land(code);
}

void FatalStopLevel(int level, int code, const char* line) {
    if (line != nullptr) WriteLogLevel(level, line);
    Land(code);
}

namespace fuzz {

int RunCatchingStops(void (*body)(void* context), void* context) {
    std::jmp_buf here;
    landing = &here;
    if (setjmp(here) != 0) {
        landing = nullptr;
        return stopCode;
    }
    body(context);
    landing = nullptr;
    return 0;
}

}  // namespace fuzz
