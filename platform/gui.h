// The toolkit host: application object and message loop.
#pragma once

namespace platform {

using AppInstance = void*;

// Creates the application object; must run on the main thread first.
// `displayLost` runs, on whichever thread notices, when the connection to
// the display breaks; it must end the process. Without it the toolkit ends
// the process with code 1 through exit handlers that destroy globals under
// the feet of threads still running.
AppInstance GuiInit(int& argc, char** argv, void (*displayLost)() = nullptr);

// Runs the message loop until a quit is posted; returns the quit code.
// SIGINT and SIGTERM post a quit with code 0, so the program can be told to end.
int GuiRunMessageLoop();

// Posts a quit with `code` to the message loop (main thread only).
void GuiPostQuit(int code);

}  // namespace platform
