// Recording fakes of the four panels' operations, for the window and
// refresh-thread tests, which check the order of the calls.
#pragma once
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dialog.h"

namespace fakepanels {

struct Call {
    std::string name;  // "UpdateStatus", "DlgProcRadios"...
    platform::Dialog* dialog;
    platform::DialogMsg msg;  // dialog procedures only
};

// The refresh thread calls in from its own thread.
std::mutex& Lock();
extern std::vector<Call> calls;
// What the dialog procedures answer.
extern bool answer;
// Called under Lock() after each recorded refresh, on the caller's thread.
extern void (*onUpdate)(const Call& call);

}  // namespace fakepanels
