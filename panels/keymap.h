// The keyboard command map: key presses on any frame become variable sets.
#pragma once
#include "platform/window.h"

// Virtual-key codes the map knows besides letters and digits (their
// upper-case character codes).
constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kVkLeft = 37;
constexpr int kVkUp = 38;
constexpr int kVkRight = 39;
constexpr int kVkDown = 40;
constexpr int kVkF1 = 112;  // F1 to F12 run on from here

// GUI thread only.
extern bool keyBusy;     // a key went down and no key has come up since
extern bool controlHeld; // Control is down

void KeyDown(platform::Frame* window, int keyCode);
void KeyUp(platform::Frame* window, int keyCode);
