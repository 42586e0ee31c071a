// The Qt host's side of the dialog mirror: posting work to the GUI thread.
#pragma once

namespace platform::qthost {

// GUI thread, once the application object exists: sets up the wake-up and
// offers the post to the dialog mirror. GuiInit calls it.
void PrepareGuiPost();

}  // namespace platform::qthost
