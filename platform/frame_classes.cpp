#include "platform/frame_classes.h"

#include <string>
#include <vector>

namespace platform {
namespace {

struct FrameClass {
    std::string name;
    FrameProc proc;
};

std::vector<FrameClass>& Classes() {
    static auto* classes = new std::vector<FrameClass>;  // never destroyed
    return *classes;
}

bool framesOnTop = false;  // GUI thread only

}  // namespace

void SetFramesOnTop(bool onTop) { framesOnTop = onTop; }
bool FramesOnTop() { return framesOnTop; }

FrameProc FindFrameClass(const char* className) {
    if (className == nullptr) return nullptr;
    for (const FrameClass& c : Classes())
        if (c.name == className) return c.proc;
    return nullptr;
}

bool RegisterFrameClass(const char* className, FrameProc proc) {
    if (className == nullptr || *className == '\0' || proc == nullptr) return false;
    if (FrameProc existing = FindFrameClass(className)) return existing == proc;
    if (!RegisterHostFrameClass(className)) return false;
    Classes().push_back(FrameClass{className, proc});
    return true;
}

}  // namespace platform
