// The Win32 host's frame windows and dialogs: the records behind the
// toolkit-free handles, shared by the host's files.
#pragma once
#include "platform/dialog.h"
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
// thread; other threads read it to address their writes, which Windows
// then hands to the GUI thread.
class DialogHandle final : public Dialog {
public:
    DialogHandle(int templateId, DialogProc proc, Frame* host)
        : templateId_(templateId), proc_(proc), host_(host) {}

    void SetItemText(int id, const char* text) override;
    void SetItemCheck(int id, bool checked) override;
    std::size_t GetItemText(int id, char* buf, std::size_t size) override;
    bool GetItemCheck(int id) override;
    void FocusHost() override;

    int TemplateId() const { return templateId_; }
    HWND Window() const { return hwnd_.load(std::memory_order_acquire); }
    void Attach(HWND hwnd) { hwnd_.store(hwnd, std::memory_order_release); }
    void Deliver(const DialogMsg& msg);

private:
    int templateId_;
    DialogProc proc_;
    Frame* host_;
    std::atomic<HWND> hwnd_{nullptr};
};

// Every dialog handle created so far (GUI thread only).
std::vector<DialogHandle*>& AllDialogs();

// The live window of a frame handle, or nullptr.
HWND FrameWindow(Frame* frame);

// The loaded template record with `id`, or nullptr.
const DialogTemplate* FindDialogTemplate(int id);

// The module whose resources hold the dialog templates: the program itself.
HINSTANCE Module();

}  // namespace platform::win32host
