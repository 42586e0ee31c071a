#include "platform/win32/gui_post.h"

#include "platform/gui_post.h"

#include <windows.h>

namespace platform::win32host {
namespace {

constexpr UINT kRunWork = WM_APP + 10;
HWND postWindow = nullptr;
bool shiftHeld = false;  // GUI thread only

void HoldShift(bool held) { shiftHeld = held; }

// A window rather than a thread message: modal loops (message boxes, a
// dragged window) drop thread messages but dispatch window ones.
LRESULT CALLBACK PostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunWork) {
        reinterpret_cast<void (*)(void*)>(wParam)(reinterpret_cast<void*>(lParam));
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// A full message queue refuses the post: the caller learns the work is lost.
bool Post(void (*work)(void*), void* context) {
    return PostMessageA(postWindow, kRunWork, reinterpret_cast<WPARAM>(work), reinterpret_cast<LPARAM>(context)) != 0;
}

}  // namespace

void StartGuiPost() {
    if (postWindow != nullptr) return;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PostProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "OrvGuiPost";
    RegisterClassA(&windowClass);
    postWindow = CreateWindowExA(0, "OrvGuiPost", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 windowClass.hInstance, nullptr);
}

}  // namespace platform::win32host

namespace platform {

GuiPoster HostGuiPoster() {
    if (win32host::postWindow == nullptr) return {};
    return GuiPoster{win32host::Post, win32host::HoldShift};
}

bool ShiftHeldForDelivery() { return win32host::shiftHeld; }

}  // namespace platform
