// Frame windows: registered classes sharing one window procedure that hands
// close requests, left presses and keys to the frame procedure.
#include "platform/frame_classes.h"
#include "platform/win32/host_frame.h"

namespace platform::win32host {
namespace {

bool Deliver(Frame* frame, FrameMsgKind kind, int keyCode) {
    if (frame == nullptr || frame->hwnd == nullptr || frame->proc == nullptr) return false;
    return frame->proc(frame, FrameMsg{kind, keyCode});
}

LRESULT CALLBACK FrameWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* frame = static_cast<Frame*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        frame->hwnd = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    }
    auto* frame = reinterpret_cast<Frame*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_CLOSE:
        // A frame goes away only through DestroyFrame, which its procedure calls.
        Deliver(frame, FrameMsgKind::Close, 0);
        return 0;
    case WM_SETCURSOR:
        // Children pass this up to their parents first, so a press on any
        // control of the dialog shows here too.
        if (HIWORD(lParam) == WM_LBUTTONDOWN) Deliver(frame, FrameMsgKind::LeftButtonDown, 0);
        break;
    case WM_KEYDOWN: Deliver(frame, FrameMsgKind::KeyDown, static_cast<int>(wParam)); break;
    case WM_KEYUP: Deliver(frame, FrameMsgKind::KeyUp, static_cast<int>(wParam)); break;
    case WM_NCDESTROY:
        if (frame != nullptr) frame->hwnd = nullptr;
        break;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND FrameWindow(Frame* frame) { return frame != nullptr ? frame->hwnd : nullptr; }

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

}  // namespace platform::win32host

namespace platform {

using win32host::FrameWindow;

bool RegisterHostFrameClass(const char* className) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = win32host::FrameWndProc;
    wc.hInstance = win32host::Module();
    // The exe's own icon (resource 1, resources/orvvarnoth.rc) in the title
    // bar and the taskbar; a program built without it gets Windows' generic one.
    wc.hIcon = LoadIconA(win32host::Module(), MAKEINTRESOURCEA(1));
    if (wc.hIcon == nullptr) wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    return RegisterClassExA(&wc) != 0;
}

Frame* CreateFrame(const char* className, const char* title, int x, int y, int width, int height) {
    // Only our own classes: Windows would also know "Button" and the like.
    if (className == nullptr || width <= 0 || height <= 0) return nullptr;
    const FrameProc proc = FindFrameClass(className);
    if (proc == nullptr) return nullptr;
    auto* frame = new Frame;  // lives until the process ends
    frame->className = className;
    frame->proc = proc;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = FramesOnTop() ? WS_EX_TOPMOST : 0;
    if (CreateWindowExA(exStyle, className, title != nullptr ? title : "", style, x, y, width, height,
                        nullptr, nullptr, win32host::Module(), frame) == nullptr) {
        frame->hwnd = nullptr;
        return nullptr;
    }
    return frame;
}

void ShowFrame(Frame* frame, bool show) {
    HWND hwnd = FrameWindow(frame);
    if (hwnd == nullptr) return;
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    UpdateWindow(hwnd);
}

void DestroyFrame(Frame* frame) {
    HWND hwnd = FrameWindow(frame);
    if (hwnd == nullptr) return;
    frame->proc = nullptr;  // nothing reaches the procedure any more
    DestroyWindow(hwnd);    // its dialog goes with it
    frame->hwnd = nullptr;
}

void FocusFrame(Frame* frame) {
    HWND hwnd = FrameWindow(frame);
    if (hwnd == nullptr) return;
    SetForegroundWindow(hwnd);
    SetFocus(hwnd);
}

bool FrameExists(Frame* frame) { return FrameWindow(frame) != nullptr; }

bool FramePosition(Frame* frame, int* x, int* y) {
    HWND hwnd = FrameWindow(frame);
    RECT rect;
    if (hwnd == nullptr || !GetWindowRect(hwnd, &rect)) return false;
    *x = rect.left;
    *y = rect.top;
    return true;
}

}  // namespace platform
