// How work reaches the GUI thread from any other, and the Shift state a
// delivery carries there. The windowing host hands its poster to whoever
// posts (the panel model, the set-up worker) when the program builds them.
#pragma once

namespace platform {

struct GuiPoster {
    // Runs `work(context)` later on the GUI thread; callable from any thread,
    // never waits. False when the work could not be queued (it never runs).
    bool (*post)(void (*work)(void*), void* context) = nullptr;
    // GUI thread: while true, the host's ShiftKeyDown answers held (a
    // command that asked for Shift is being delivered).
    void (*holdShift)(bool held) = nullptr;
};

// Any thread, never waits: false when `poster` has no post or could not
// queue the work (`work` never runs then).
bool PostToGui(const GuiPoster& poster, void (*work)(void*), void* context);
// GUI thread: `poster`'s Shift state, when it has one.
void HoldShiftForDelivery(const GuiPoster& poster, bool held);

// The windowing host's own: its poster (empty until the host is up, and in
// programs without one), and the Shift state its poster holds.
GuiPoster HostGuiPoster();
bool ShiftHeldForDelivery();

}  // namespace platform
