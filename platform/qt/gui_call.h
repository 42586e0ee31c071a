// Runs a piece of work on the GUI thread and waits for it.
#pragma once
#include <functional>

namespace platform::qthost {

// On the GUI thread (or before the application object exists) `work` runs at
// once. From any other thread it is queued to the GUI thread and the caller
// waits until it has run; if the GUI loop has stopped the caller waits for
// ever, which is fine as the process then ends without joining threads.
// The hand-off is a std::mutex and condition variable of our own, so that
// race detectors see every ordering between the two threads.
void RunOnGuiThread(const std::function<void()>& work);

}  // namespace platform::qthost
