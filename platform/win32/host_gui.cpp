// The Win32 host's application side: start, message loop and quit, the
// message boxes, the Shift key and the test dump.
#include "platform/gui.h"
#include "platform/win32/host_frame.h"
#include "platform/win32/gui_post.h"
#include "platform/gui_post.h"

#include <commctrl.h>


namespace platform {
namespace {

DWORD guiThreadId = 0;

// Ctrl-C, Ctrl-Break and the console closing end the loop with 0, as
// SIGINT and SIGTERM do elsewhere. Runs on a thread of its own.
BOOL WINAPI OnConsoleEvent(DWORD) {
    PostThreadMessageA(guiThreadId, WM_QUIT, 0, 0);
    return TRUE;
}

}  // namespace

AppInstance GuiInit(int& /*argc*/, char** /*argv*/, void (*)()) {
    if (guiThreadId == 0) {
        guiThreadId = GetCurrentThreadId();
        // The dialogs hold up-down controls, so their class is registered
        // here, before any window, rather than after the windows exist.
        INITCOMMONCONTROLSEX controls{};
        controls.dwSize = sizeof controls;
        controls.dwICC = ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS;
        InitCommonControlsEx(&controls);
        SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
        win32host::StartGuiPost();
    }
    return win32host::Module();
}

int GuiRunMessageLoop() {
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 0;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void GuiPostQuit(int code) { PostQuitMessage(code); }

// The desktop is not a connection that can break under a Win32 program.

void PostQuit(int code) { PostQuitMessage(code); }

void MessageBoxOk(Frame* owner, const char* text, const char* title) {
    MessageBoxA(win32host::FrameWindow(owner), text != nullptr ? text : "",
                title != nullptr ? title : "", MB_OK | MB_SETFOREGROUND);
}

bool ShiftKeyDown() { return ShiftHeldForDelivery() || GetKeyState(VK_SHIFT) < 0; }

std::string DumpDialogs() {
    std::string out;
    // The dialogs come from the compiled resources; the loaded templates
    // list each one's controls.
    for (HostDialog* handle : AllDialogs()) {
        if (!handle->Live()) continue;
        for (const ControlTemplate& control : handle->Template().controls) {
            if (control.id == -1) continue;
            char text[256];
            handle->GetItemText(control.id, text, sizeof text);
            AppendDumpLine(&out, handle->TemplateId(), control.id, text, handle->GetItemCheck(control.id));
        }
    }
    return out;
}

}  // namespace platform
