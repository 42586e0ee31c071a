// The Win32 host's frame windows and dialogs: the records behind the
// toolkit-free handles, shared by the host's files.
#pragma once
#include "platform/host_dialog.h"
#include "platform/dialog_template.h"
#include "platform/window.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

namespace platform {

// Outlives its window, so that it can still be passed around (and is
// recognised as gone) after DestroyFrame.
class Frame {
public:
    HWND hwnd = nullptr;  // GUI thread only; nullptr once destroyed
    std::string className;
    FrameProc proc = nullptr;
};

}  // namespace platform

namespace platform::win32host {

// Lives until the process ends. Its window is written only on the GUI
// thread; other threads read it to address their writes, which they send
// to the dialog for the GUI thread to carry out.
class DialogHandle final : public HostDialog {
public:
    DialogHandle(const DialogTemplate& record, DialogProc proc, Frame* host)
        : HostDialog(record, proc), host_(host) {}

    std::size_t GetItemText(int id, char* buf, std::size_t size) override;
    bool GetItemCheck(int id) override;
    void FocusHost() override;
    bool Live() const override { return Window() != nullptr; }

    HWND Window() const { return hwnd_.load(std::memory_order_acquire); }
    void Attach(HWND hwnd) { hwnd_.store(hwnd, std::memory_order_release); }

private:
    void WriteText(int id, const char* text) override;
    void WriteCheck(int id, bool checked) override;
    void WriteChanges(const std::vector<ControlState>& changes) override;

    Frame* host_;
    std::atomic<HWND> hwnd_{nullptr};
};

// The live window of a frame handle, or nullptr.
HWND FrameWindow(Frame* frame);

// The module whose resources hold the dialog templates: the program itself.
HINSTANCE Module();

}  // namespace platform::win32host
