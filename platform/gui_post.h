// How work reaches the GUI thread from any other, and the Shift state a
// delivery carries there. The windowing host provides the post when it
// starts.
#pragma once

namespace platform {

// Runs `work(context)` later on the GUI thread; callable from any thread,
// never waits. False when the work could not be queued (it never runs).
// Set once when the host starts (and by tests).
using GuiPoster = bool (*)(void (*work)(void*), void* context);
void SetGuiPoster(GuiPoster poster);
// Any thread, never waits: false when no host poster is set or it could not
// queue the work (`work` never runs then).
bool PostToGui(void (*work)(void*), void* context);

// GUI thread: while true, the hosts' ShiftKeyDown answers held (a command
// that asked for Shift is being delivered).
void SetShiftHeldForDelivery(bool held);
bool ShiftHeldForDelivery();

}  // namespace platform
