// The Win32 host's side of the dialog mirror: work posted to the GUI thread.
#pragma once

namespace platform::win32host {

// GUI thread, at start: makes the message-only window that runs posted
// work, and offers it to the dialog mirror.
void StartGuiPost();

}  // namespace platform::win32host
