// Recording frame and dialog procedures and a fixture that builds a frame
// with the test dialog.
#pragma once
#include "model/dialog_script.h"
#include "platform/qt/dialog_widget.h"
#include "platform/qt/frame_widget.h"
#include "platform/window.h"
#include "test_script.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace hosttest {

inline std::vector<platform::FrameMsg> frameMsgs;
inline std::vector<platform::DialogMsg> dialogMsgs;
inline bool destroyOnClose = true;

inline bool RecordFrame(platform::Frame* frame, const platform::FrameMsg& msg) {
    frameMsgs.push_back(msg);
    if (msg.kind == platform::FrameMsgKind::Close && destroyOnClose) {
        platform::DestroyFrame(frame);
        return true;
    }
    return false;
}

inline bool RecordDialog(platform::Dialog*, const platform::DialogMsg& msg) {
    dialogMsgs.push_back(msg);
    return true;
}

inline int Count(platform::DialogMsgKind kind, int id) {
    int n = 0;
    for (const platform::DialogMsg& m : dialogMsgs) n += m.kind == kind && m.controlId == id;
    return n;
}

inline int Count(platform::FrameMsgKind kind) {
    int n = 0;
    for (const platform::FrameMsg& m : frameMsgs) n += m.kind == kind;
    return n;
}

// Runs `work` on a thread of its own while the GUI loop keeps turning, so
// that calls it queues to the GUI thread get done.
template <typename Work>
void RunInThread(Work work) {
    std::atomic<bool> finished{false};
    std::thread thread([&] {
        work();
        finished = true;
    });
    while (!finished) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    thread.join();
}

// The test script's templates, parsed once; dialogs keep pointers to them
// until the process ends.
inline const std::vector<platform::DialogTemplate>& TestTemplates() {
    static const std::vector<platform::DialogTemplate> templates = [] {
        std::vector<platform::DialogTemplate> parsed;
        std::string error;
        model::ParseDialogScript(kTestScript, &parsed, &error);
        return parsed;
    }();
    return templates;
}
inline const platform::DialogTemplate* TestTemplate(int id) { return model::FindTemplate(TestTemplates(), id); }
inline bool HandTestTemplates() { return !TestTemplates().empty(); }

class HostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(HandTestTemplates());
        ASSERT_TRUE(platform::RegisterFrameClass("hosttest", RecordFrame));
        frameMsgs.clear();
        dialogMsgs.clear();
        destroyOnClose = true;
        frame = platform::CreateFrame("hosttest", "Host Test", 30, 40, 600, 440);
        ASSERT_NE(frame, nullptr);
        dialog = platform::CreateDialogFromTemplate(frame, TestTemplate(kTestTemplate), RecordDialog);
        ASSERT_NE(dialog, nullptr);
        platform::FitFrameToDialog(frame, dialog);
    }
    void TearDown() override {
        platform::DestroyFrame(frame);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void ShowAndFocus() {
        platform::ShowFrame(frame, true);
        platform::FocusFrame(frame);
        ASSERT_TRUE(QTest::qWaitForWindowActive(FrameWidget()));
        frameMsgs.clear();
    }

    QWidget* FrameWidget() const { return platform::qthost::FrameWidgetOf(frame); }
    platform::qthost::DialogWidget* DialogWidget() const {
        return platform::qthost::DialogWidgetOf(dialog);
    }
    QWidget* Control(int id) const { return DialogWidget()->Item(id)->widget; }
    std::string Text(int id) const {
        char buf[64];
        dialog->GetItemText(id, buf, sizeof buf);
        return buf;
    }

    platform::Frame* frame = nullptr;
    platform::Dialog* dialog = nullptr;
};

}  // namespace hosttest
