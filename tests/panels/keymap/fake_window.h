// A fake windowing layer: frames and dialogs are plain records, and every
// call is written down as a short line ("frame status Status 130 130 600x440").
#pragma once
#include <map>
#include <string>
#include <vector>

#include "platform/window.h"

namespace fakewin {

struct State {
    std::vector<std::string> calls;
    std::map<std::string, platform::FrameProc> classes;
    // Class names whose registration, frame or dialog creation fails.
    std::string failRegister, failFrame, failDialog;
};

extern State state;

void Reset();
// The class name a frame was created with ("" for nullptr).
std::string NameOf(platform::Frame* frame);
platform::DialogProc DialogProcOf(platform::Frame* frame);
// A free-standing dialog named `name`, for code that only passes handles on.
platform::Dialog* MakeDialog(const std::string& name);
std::string NameOf(platform::Dialog* dialog);

}  // namespace fakewin
