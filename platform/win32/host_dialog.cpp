// Dialogs from the compiled templates: modeless children of their frames,
// their notifications turned into dialog messages, their controls written
// from any thread.
#include "platform/win32/host_frame.h"
#include "platform/win32/host_label_fit.h"

#include <commctrl.h>

namespace platform::win32host {
namespace {

// Writes another thread (or the GUI thread itself) asks of the dialog: one
// send each, carried out and noted in the record on the GUI thread.
// wParam: the control id; lParam: the text, or the check state.
constexpr UINT kWriteText = WM_APP + 1;
constexpr UINT kWriteCheck = WM_APP + 2;
// A cycle's changes at once; lParam: the std::vector<ControlState>.
constexpr UINT kWriteBatch = WM_APP + 3;

// The control `id` of a live dialog; labels (-1) are never addressed.
HWND Control(const DialogHandle& handle, int id) {
    HWND dialog = handle.Window();
    if (dialog == nullptr || id == -1) return nullptr;
    return GetDlgItem(dialog, id);
}

bool Checked(HWND control) { return SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// What each control shows as the dialog starts, in template order.
void RecordControls(HWND dialog, ControlRecord* record) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        std::string text(static_cast<std::size_t>(GetWindowTextLengthA(c)) + 1, '\0');
        GetWindowTextA(c, text.data(), static_cast<int>(text.size()));
        RecordControl(record, GetDlgCtrlID(c), text.c_str(), Checked(c));
    }
}

INT_PTR CALLBACK DialogThunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        auto* handle = reinterpret_cast<DialogHandle*>(lParam);
        SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        handle->Attach(hwnd);
        KeepLabelsWhole(hwnd);
        RecordControls(hwnd, handle->Record());
        handle->Deliver(DialogMsg{DialogMsgKind::Init, 0, 0, 0});
        return FALSE;  // no control takes the focus: keys belong to the frame
    }
    auto* handle = reinterpret_cast<DialogHandle*>(GetWindowLongPtrA(hwnd, DWLP_USER));
    if (handle == nullptr) return FALSE;
    switch (msg) {
    case kWriteText:
        if (HWND control = Control(*handle, static_cast<int>(wParam))) {
            const auto* text = reinterpret_cast<const char*>(lParam);
            SetWindowTextA(control, text);
            NoteText(handle->Record(), static_cast<int>(wParam), text);
        }
        return TRUE;
    case kWriteCheck:
        if (HWND control = Control(*handle, static_cast<int>(wParam))) {
            SendMessageA(control, BM_SETCHECK, lParam != 0 ? BST_CHECKED : BST_UNCHECKED, 0);
            NoteCheck(handle->Record(), static_cast<int>(wParam), Checked(control));
        }
        return TRUE;
    case kWriteBatch:
        for (const ControlState& change : *reinterpret_cast<const std::vector<ControlState>*>(lParam)) {
            HWND control = Control(*handle, change.id);
            if (control == nullptr) continue;
            SetWindowTextA(control, change.text.c_str());
            NoteText(handle->Record(), change.id, change.text.c_str());
            SendMessageA(control, BM_SETCHECK, change.checked ? BST_CHECKED : BST_UNCHECKED, 0);
            NoteCheck(handle->Record(), change.id, Checked(control));
        }
        return TRUE;
    case WM_COMMAND:
        // Clicks on buttons and notify statics; a notify static reports the
        // second click of a double click as its own notification. A click
        // toggles a check box without a write: the record follows the box.
        if (lParam != 0 && (HIWORD(wParam) == BN_CLICKED || HIWORD(wParam) == STN_DBLCLK)) {
            NoteCheck(handle->Record(), LOWORD(wParam), Checked(reinterpret_cast<HWND>(lParam)));
            handle->Deliver(DialogMsg{DialogMsgKind::Command, LOWORD(wParam), 0, 0});
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == static_cast<UINT>(UDN_DELTAPOS)) {
            const auto* updown = reinterpret_cast<const NMUPDOWN*>(lParam);
            handle->Deliver(DialogMsg{DialogMsgKind::DeltaPos, static_cast<int>(header->idFrom),
                                      updown->iDelta, 0});
        }
        break;
    }
    case WM_KEYUP:
        handle->Deliver(DialogMsg{DialogMsgKind::KeyUp, 0, 0, static_cast<int>(wParam)});
        break;
    case WM_NCDESTROY:
        NoteClosed(handle->Record());
        handle->Attach(nullptr);
        break;
    default: break;
    }
    return FALSE;  // the default processing runs as well
}

}  // namespace

// From another thread these are sends that the GUI thread serves in its
// message loop; the caller waits for them.
void DialogHandle::WriteText(int id, const char* text) {
    if (HWND dialog = Window())
        SendMessageA(dialog, kWriteText, static_cast<WPARAM>(id),
                     reinterpret_cast<LPARAM>(text != nullptr ? text : ""));
}

void DialogHandle::WriteCheck(int id, bool checked) {
    if (HWND dialog = Window()) SendMessageA(dialog, kWriteCheck, static_cast<WPARAM>(id), checked);
}

void DialogHandle::WriteChanges(const std::vector<ControlState>& changes) {
    if (HWND dialog = Window()) SendMessageA(dialog, kWriteBatch, 0, reinterpret_cast<LPARAM>(&changes));
}

std::size_t DialogHandle::GetItemText(int id, char* buf, std::size_t size) {
    if (buf == nullptr || size == 0) return 0;
    buf[0] = '\0';
    HWND control = Control(*this, id);
    if (control == nullptr) return 0;
    const int limit = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    const int length = GetWindowTextA(control, buf, limit);
    return length > 0 ? static_cast<std::size_t>(length) : 0;
}

bool DialogHandle::GetItemCheck(int id) {
    HWND control = Control(*this, id);
    return control != nullptr && SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void DialogHandle::FocusHost() {
    if (Window() != nullptr) FocusFrame(host_);
}

}  // namespace platform::win32host

namespace platform {

Dialog* CreateDialogFromTemplate(Frame* parent, const DialogTemplate* record, DialogProc proc) {
    HWND frame = win32host::FrameWindow(parent);
    if (frame == nullptr || record == nullptr) return nullptr;
    auto* handle = new win32host::DialogHandle(*record, proc, parent);
    // The dialog comes from the compiled resource of the same id; the record
    // lists its controls. The templates are child dialogs: they need the
    // frame as parent.
    if (CreateDialogParamA(win32host::Module(), MAKEINTRESOURCEA(record->id), frame,
                           win32host::DialogThunk, reinterpret_cast<LPARAM>(handle)) == nullptr) {
        delete handle;
        return nullptr;
    }
    AddDialog(handle);
    return handle;
}

void ShowDialog(Dialog* dialog, bool show) {
    auto* handle = static_cast<win32host::DialogHandle*>(dialog);
    HWND hwnd = handle != nullptr ? handle->Window() : nullptr;
    if (hwnd == nullptr) return;
    ShowWindow(hwnd, show ? SW_SHOW : SW_HIDE);
    UpdateWindow(hwnd);
}

void FitFrameToDialog(Frame* frame, Dialog* dialog) {
    HWND frameWindow = win32host::FrameWindow(frame);
    auto* handle = static_cast<win32host::DialogHandle*>(dialog);
    HWND dialogWindow = handle != nullptr ? handle->Window() : nullptr;
    if (frameWindow == nullptr || dialogWindow == nullptr) return;
    // Sized to the dialog's outer size first, the frame shows how much its
    // border and caption take; the second size adds exactly that.
    RECT outer;
    GetWindowRect(dialogWindow, &outer);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(frameWindow, nullptr, 0, 0, w, h, flags);
    RECT client;
    GetClientRect(frameWindow, &client);
    SetWindowPos(frameWindow, nullptr, 0, 0, 2 * w - client.right, 2 * h - client.bottom, flags);
}

}  // namespace platform
