// The keyboard command map: key presses on any frame become variable sets.
#pragma once
#include "platform/virtual_keys.h"
#include "platform/window.h"

// GUI thread only.
extern bool keyBusy;     // a key went down and no key has come up since
extern bool controlHeld; // Control is down

void KeyDown(platform::Frame* window, int keyCode);
void KeyUp(platform::Frame* window, int keyCode);
