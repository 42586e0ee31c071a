// Every label of every template shows its whole text in its dialog's font,
// inside its dialog: a static wraps text wider than its box onto a line its
// height hides. Run at 96 DPI and at 192 (a 200 % screen).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/dialog_script.h"
#include "platform/dialog_template.h"
#include "platform/window.h"
#include "platform/win32/host_frame.h"
#include "model/dialog_script.h"
#include "resources/dialog_script.h"

namespace {

bool IgnoreFrameMsg(platform::Frame*, const platform::FrameMsg&) { return false; }

SIZE TextSize(HWND dialog, const std::string& text) {
    HDC dc = GetDC(dialog);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(dialog, dc);
    return size;
}

TEST(DialogsWin32, EveryLabelShowsItsWholeTextInsideItsDialog) {
    static std::vector<platform::DialogTemplate> templates;  // the dialogs keep them
    std::string error;
    ASSERT_TRUE(model::ParseDialogScript(PanelDialogScript(), &templates, &error)) << error;
    ASSERT_EQ(templates.size(), 5u);
    ASSERT_TRUE(platform::RegisterFrameClass("labelfit", IgnoreFrameMsg));
    for (const platform::DialogTemplate& t : templates) {
        platform::Frame* frame = platform::CreateFrame("labelfit", "labels", 0, 0, 200, 200);
        ASSERT_NE(frame, nullptr);
        auto* dialog = static_cast<platform::win32host::DialogHandle*>(
            platform::CreateDialogFromTemplate(frame, &t, nullptr));
        ASSERT_NE(dialog, nullptr) << t.id;
        RECT inside;
        GetClientRect(dialog->Window(), &inside);
        // The dialog manager creates the controls in template order.
        HWND child = GetWindow(dialog->Window(), GW_CHILD);
        int labels = 0;
        for (const platform::ControlTemplate& c : t.controls) {
            ASSERT_NE(child, nullptr) << t.id;
            if (c.kind == platform::ControlKind::Label) {
                char text[256] = "";
                GetWindowTextA(child, text, sizeof text);
                EXPECT_EQ(c.text, text);
                const SIZE need = TextSize(dialog->Window(), c.text);
                RECT box;
                GetClientRect(child, &box);
                EXPECT_LE(need.cx, box.right) << t.id << " \"" << c.text << "\"";
                EXPECT_LE(need.cy, box.bottom) << t.id << " \"" << c.text << "\"";
                MapWindowPoints(child, dialog->Window(), reinterpret_cast<POINT*>(&box), 2);
                EXPECT_TRUE(box.left >= 0 && box.right <= inside.right && box.bottom <= inside.bottom)
                    << t.id << " \"" << c.text << "\"";
                ++labels;
            }
            child = GetWindow(child, GW_HWNDNEXT);
        }
        EXPECT_GT(labels, 0) << t.id;
        platform::DestroyFrame(frame);
    }
}

}  // namespace
