// The Windows program's entry: a GUI program without a console.
#include <windows.h>

#include <cstdlib>

#include "app/startup.h"
#include "platform/gui.h"
#include "platform/process.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = __argc;
    platform::AppInstance instance = platform::GuiInit(argc, __argv, OnDisplayLost);
    const int code = RunProgram(instance);
    // Other threads are still running: end without static destructors.
    platform::ExitProcess(code);
}
