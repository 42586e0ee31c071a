// Runs a piece of work on the GUI thread and waits for it.
#pragma once
#include <functional>

namespace platform::qthost {

// On the GUI thread (or before the application object exists) `work` runs at
// once. From any other thread it is queued to the GUI thread and the caller
// waits until it has run; if the GUI loop has stopped the caller waits for
// ever, which is fine as the process then ends without joining threads.
void RunOnGuiThread(const std::function<void()>& work);

// GUI thread, once the application object exists: sets up the wake-up that
// RunOnGuiThread uses. GuiInit and CreateFrame call it.
void PrepareGuiCalls();

}  // namespace platform::qthost
