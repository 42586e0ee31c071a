// The Qt host's side of the dialog mirror: posting work to the GUI thread.
#pragma once

namespace platform::qthost {

// Queues work(context) to the GUI thread's event loop; never waits.
void PostToGui(void (*work)(void*), void* context);

}  // namespace platform::qthost
