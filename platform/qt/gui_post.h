// The Qt host's side of the dialog mirror: posting work to the GUI thread
// and delivering a message to a dialog.
#pragma once
#include "platform/dialog.h"

namespace platform::qthost {

// Queues work(context) to the GUI thread's event loop; never waits.
void PostToGui(void (*work)(void*), void* context);
// GUI thread: hands msg to the dialog's procedure, as its controls do.
void DeliverToDialog(Dialog* dialog, const DialogMsg& msg);

}  // namespace platform::qthost
