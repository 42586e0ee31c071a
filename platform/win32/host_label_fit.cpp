#include "platform/win32/host_label_fit.h"

namespace platform::win32host {
namespace {

// A static that draws text of its own, with no border: a label. Value
// fields are bordered and still empty here; their text is the refresh's.
bool IsLabel(HWND control, char* text, int size) {
    char cls[16] = "";
    GetClassNameA(control, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") != 0) return false;
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    const LONG type = style & SS_TYPEMASK;
    if ((style & WS_BORDER) != 0 ||
        (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_LEFTNOWORDWRAP))
        return false;
    return GetWindowTextA(control, text, size) > 0;
}

// The text's size on one line in the control's font.
SIZE TextSize(HWND control, const char* text) {
    SIZE size{0, 0};
    HDC dc = GetDC(control);
    if (dc == nullptr) return size;
    auto* font = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0));
    HGDIOBJ old = font != nullptr ? SelectObject(dc, font) : nullptr;
    GetTextExtentPoint32A(dc, text, lstrlenA(text), &size);
    if (old != nullptr) SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

void Widen(HWND dialog, HWND label, int grow) {
    RECT r;
    GetWindowRect(label, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    const LONG type = GetWindowLongA(label, GWL_STYLE) & SS_TYPEMASK;
    const int left = type == SS_RIGHT ? r.left - grow : type == SS_CENTER ? r.left - grow / 2 : r.left;
    SetWindowPos(label, nullptr, left, r.top, r.right - r.left + grow, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

void KeepLabelsWhole(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[256];
        if (!IsLabel(child, text, sizeof text)) continue;
        RECT client;
        GetClientRect(child, &client);
        const SIZE need = TextSize(child, text);
        // A box of two lines or more wraps its text by design.
        if (need.cx > client.right && client.bottom < 2 * need.cy)
            Widen(dialog, child, need.cx - client.right);
    }
}

}  // namespace platform::win32host
