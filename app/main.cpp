#include "platform/gui.h"
#include "platform/process.h"
#include "app/startup.h"

int main(int argc, char** argv) {
    platform::AppInstance instance = platform::GuiInit(argc, argv, OnDisplayLost);
    const int code = RunProgram(instance);
    // Other threads are still running: end without static destructors.
    platform::ExitProcess(code);
}
