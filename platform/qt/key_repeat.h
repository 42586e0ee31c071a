// Held keys under X11.
#pragma once

namespace platform::qthost {

// Asks the X server for detectable auto-repeat: a held key then comes as
// repeated presses and one final release, as on Windows, instead of
// release-and-press pairs that Qt can only mark as auto-repeat when both
// have already arrived. Does nothing on other platforms.
void UseDetectableAutoRepeat();

}  // namespace platform::qthost
