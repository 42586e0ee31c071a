// Shows dialogs for a look under a real X server:
//   Xvfb :99 -screen 0 1280x1024x24 &  DISPLAY=:99 platform_gui_demo [script.rc id...]
// Without arguments it shows the test dialog. Frames go at 40,50 and then
// to the right; keys, clicks and steps are printed. SIGINT ends it.
// With the single argument --message it shows the parameter error box instead.
#include "model/dialog_script.h"
#include "platform/gui.h"
#include "platform/window.h"
#include "test_script.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* Kind(platform::DialogMsgKind kind) {
    switch (kind) {
        case platform::DialogMsgKind::Init: return "Init";
        case platform::DialogMsgKind::Command: return "Command";
        case platform::DialogMsgKind::DeltaPos: return "DeltaPos";
        case platform::DialogMsgKind::KeyUp: return "KeyUp";
    }
    return "?";
}

bool DemoFrame(platform::Frame* frame, const platform::FrameMsg& msg) {
    switch (msg.kind) {
        case platform::FrameMsgKind::Close:
            platform::DestroyFrame(frame);
            platform::PostQuit(0);
            return true;
        case platform::FrameMsgKind::LeftButtonDown: platform::FocusFrame(frame); break;
        case platform::FrameMsgKind::KeyDown: std::printf("key down %d\n", msg.keyCode); break;
        case platform::FrameMsgKind::KeyUp: std::printf("key up %d\n", msg.keyCode); break;
    }
    std::fflush(stdout);
    return false;
}

bool DemoDialog(platform::Dialog* dialog, const platform::DialogMsg& msg) {
    std::printf("%s id %d delta %d key %d\n", Kind(msg.kind), msg.controlId, msg.delta, msg.keyCode);
    std::fflush(stdout);
    if (msg.kind == platform::DialogMsgKind::Init) {
        dialog->SetItemText(kValueField, "12345");
        dialog->SetItemText(kNotifyField, "118.10");
        dialog->SetItemText(kCentredField, "ON");
        dialog->SetItemCheck(kCheckBox, true);
    }
    if (msg.kind != platform::DialogMsgKind::Init) dialog->FocusHost();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    platform::GuiInit(argc, argv);
    if (argc == 2 && std::string(argv[1]) == "--message") {
        platform::MessageBoxOk(nullptr, "Unknown keyword in the parameter file", "Parameter Error");
        std::puts("message box closed");
        return 0;
    }
    std::string script = kTestScript;
    if (argc > 1) {
        std::ifstream in(argv[1]);
        std::stringstream text;
        text << in.rdbuf();
        script = text.str();
    }
    static std::vector<platform::DialogTemplate> templates;  // the dialogs keep them
    std::string error;
    if (!model::ParseDialogScript(script.c_str(), &templates, &error)) return 1;
    platform::RegisterFrameClass("demo", DemoFrame);
    int x = 40;
    platform::Frame* last = nullptr;
    for (int i = 2; i < (argc > 2 ? argc : 3); ++i) {
        const int id = argc > 2 ? std::atoi(argv[i]) : kTestTemplate;
        platform::Frame* frame = platform::CreateFrame("demo", "Host Demo", x, 50, 600, 440);
        platform::ShowFrame(frame, true);
        platform::Dialog* dialog = platform::CreateDialogFromTemplate(frame, model::FindTemplate(templates, id), DemoDialog);
        if (dialog == nullptr) {
            std::fprintf(stderr, "no template %d\n", id);
            return 1;
        }
        platform::FitFrameToDialog(frame, dialog);
        platform::ShowDialog(dialog, true);
        x += 420;
        last = frame;
    }
    platform::FocusFrame(last);
    return platform::GuiRunMessageLoop();
}
