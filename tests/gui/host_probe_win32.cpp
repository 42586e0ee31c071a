// The panel-window test probe on the Win32 host, with real input (under
// Wine on an X server).
#include "host_probe.h"

#include "platform/win32/host_frame.h"

#include <commctrl.h>

namespace probe {
namespace {

HWND FrameOf(platform::Frame* frame) { return platform::win32host::FrameWindow(frame); }
HWND DialogOf(platform::Dialog* dialog) {
    return static_cast<platform::win32host::DialogHandle*>(dialog)->Window();
}

// Serves messages until none has come for a while.
void Pump(DWORD quietMs = 30) {
    DWORD quietSince = GetTickCount();
    while (GetTickCount() - quietSince < quietMs) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {  // the loop that runs next must see it
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
            quietSince = GetTickCount();
        } else {
            Sleep(1);
        }
    }
}

std::function<void()> loopAction;
void CALLBACK StartAction(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    loopAction();
}
void CALLBACK StopLoop(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(kNoQuit);
}

}  // namespace

void PrepareHost() {}

std::string Title(platform::Frame* f) {
    char text[128] = "";
    GetWindowTextA(FrameOf(f), text, sizeof text);
    return text;
}
std::string ClassName(platform::Frame* f) {
    char name[128] = "";
    GetClassNameA(FrameOf(f), name, sizeof name);
    return name;
}
Point Place(platform::Frame* f) {
    RECT r;
    GetWindowRect(FrameOf(f), &r);
    return {r.left, r.top};
}
Point ClientSize(platform::Frame* f) {
    RECT r;
    GetClientRect(FrameOf(f), &r);
    return {r.right, r.bottom};
}
Point DialogSize(platform::Dialog* d) {
    RECT r;
    GetWindowRect(DialogOf(d), &r);
    return {r.right - r.left, r.bottom - r.top};
}
// Template coordinates place a dialog's client area: with an edge style
// its outer rectangle starts that much further up and left, as on Windows.
Point DialogPlace(platform::Dialog* d) {
    POINT origin{0, 0};
    MapWindowPoints(DialogOf(d), GetParent(DialogOf(d)), &origin, 1);
    return {origin.x, origin.y};
}
bool Shown(platform::Frame* f) { return IsWindowVisible(FrameOf(f)) != FALSE; }
bool OnTop(platform::Frame* f) { return (GetWindowLongA(FrameOf(f), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
bool DialogShown(platform::Dialog* d) {
    return (GetWindowLongA(DialogOf(d), GWL_STYLE) & WS_VISIBLE) != 0;
}

void CloseByUser(platform::Frame* frame) {
    SendMessageA(FrameOf(frame), WM_SYSCOMMAND, SC_CLOSE, 0);
    Pump();
}

bool HasFocus(platform::Frame* frame) {
    Pump();
    HWND w = FrameOf(frame);
    return w != nullptr && GetForegroundWindow() == w && GetFocus() == w;
}

int RunLoop(const std::function<void()>& action, int timeoutMs) {
    loopAction = action;
    SetTimer(nullptr, 0, 0, StartAction);
    const UINT_PTR stop = SetTimer(nullptr, 0, static_cast<UINT>(timeoutMs), StopLoop);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, stop);
    return static_cast<int>(msg.wParam);
}

void Settle() { Pump(); }

std::vector<int> ClickableControls(platform::Dialog* dialog) {
    auto* handle = static_cast<platform::win32host::DialogHandle*>(dialog);
    std::vector<int> ids;
    for (const platform::ControlTemplate& c : handle->Template().controls) {
        if (c.kind != platform::ControlKind::Label && c.kind != platform::ControlKind::GroupBox &&
            IsWindowVisible(GetDlgItem(DialogOf(dialog), c.id)))
            ids.push_back(c.id);
    }
    return ids;
}

void Click(platform::Dialog* dialog, int id) {
    HWND control = GetDlgItem(DialogOf(dialog), id);
    RECT r;
    GetWindowRect(control, &r);
    char cls[32] = "";
    GetClassNameA(control, cls, sizeof cls);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    POINT at{r.left + w / 2, r.top + h / 2};
    if (lstrcmpiA(cls, "Button") == 0 && (style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
        at.x = r.right - 7;  // the box stands right of its text
    else if (lstrcmpiA(cls, "msctls_updown32") == 0)
        at = (style & UDS_HORZ) != 0 ? POINT{r.left + w * 3 / 4, r.top + h / 2} : POINT{r.left + w / 2, r.top + h / 4};
    SetCursorPos(at.x, at.y);
    Pump();
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    Pump();
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    Pump();
}

void TypeKey(platform::Frame*, int code) {
    keybd_event(static_cast<BYTE>(code), 0, 0, 0);
    Pump();
    keybd_event(static_cast<BYTE>(code), 0, KEYEVENTF_KEYUP, 0);
    Pump();
}

}  // namespace probe
