#include "fake_window.h"

#include <deque>

namespace platform {

class Frame {
public:
    std::string className;
    DialogProc dialogProc = nullptr;
};

}  // namespace platform

namespace fakewin {
namespace {

class FakeDialog final : public platform::Dialog {
public:
    explicit FakeDialog(std::string n) : name(std::move(n)) {}
    void SetItemText(int, const char*) override {}
    void SetItemCheck(int, bool) override {}
    std::size_t GetItemText(int, char* buf, std::size_t size) override {
        if (size > 0) buf[0] = '\0';
        return 0;
    }
    bool GetItemCheck(int) override { return false; }
    void FocusHost() override {}
    std::string name;
};

// Handles stay valid for the whole run, as the real ones do.
std::deque<platform::Frame> frames;
std::deque<FakeDialog> dialogs;

}  // namespace

State state;

void Reset() { state = State{}; }

std::string NameOf(platform::Frame* frame) { return frame ? frame->className : ""; }
platform::DialogProc DialogProcOf(platform::Frame* frame) {
    return frame ? frame->dialogProc : nullptr;
}

platform::Dialog* MakeDialog(const std::string& name) { return &dialogs.emplace_back(name); }

std::string NameOf(platform::Dialog* dialog) {
    return dialog ? static_cast<FakeDialog*>(dialog)->name : "";
}

}  // namespace fakewin

namespace platform {

using fakewin::state;

bool RegisterFrameClass(const char* className, FrameProc proc) {
    state.calls.push_back(std::string("register ") + className);
    if (state.failRegister == className) return false;
    state.classes[className] = proc;
    return true;
}

Frame* CreateFrame(const char* className, const char* title, int x, int y, int width,
                   int height) {
    state.calls.push_back(std::string("frame ") + className + " " + title + " " +
                          std::to_string(x) + " " + std::to_string(y) + " " +
                          std::to_string(width) + "x" + std::to_string(height));
    if (state.failFrame == className) return nullptr;
    return &fakewin::frames.emplace_back(Frame{className, nullptr});
}

void ShowFrame(Frame* frame, bool show) {
    state.calls.push_back("show " + frame->className + " " + (show ? "1" : "0"));
}

void DestroyFrame(Frame* frame) { state.calls.push_back("destroy " + frame->className); }
void FocusFrame(Frame* frame) { state.calls.push_back("focus " + frame->className); }
bool FrameExists(Frame* frame) { return frame != nullptr; }

Dialog* CreateDialogFromTemplate(Frame* parent, const DialogTemplate* record, DialogProc proc) {
    state.calls.push_back("dialog " + parent->className + " " + std::to_string(record != nullptr ? record->id : -1));
    if (state.failDialog == parent->className) return nullptr;
    parent->dialogProc = proc;
    return &fakewin::dialogs.emplace_back(parent->className);
}

void ShowDialog(Dialog* dialog, bool show) {
    state.calls.push_back("showdialog " + fakewin::NameOf(dialog) + " " + (show ? "1" : "0"));
}

void FitFrameToDialog(Frame* frame, Dialog* dialog) {
    state.calls.push_back("fit " + frame->className + " " + fakewin::NameOf(dialog));
}

void PostQuit(int code) { state.calls.push_back("quit " + std::to_string(code)); }
void MessageBoxOk(Frame*, const char*, const char*) {}
bool ShiftKeyDown() { return false; }

}  // namespace platform
