// The frame window: a fixed-size top-level widget whose close requests,
// left-button presses and keys go to its frame procedure.
#pragma once
#include "platform/window.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

namespace platform::qthost {
class FrameWidget;
}

namespace platform {

// The handle: a small object that outlives its window, so that it can still
// be passed around (and is recognised as gone) after DestroyFrame.
class Frame {
public:
    QPointer<qthost::FrameWidget> widget;  // null once the window is deleted
    std::string className;
    bool destroyed = false;
};

}  // namespace platform

namespace platform::qthost {

class FrameWidget : public QWidget {
public:
    FrameWidget(Frame* handle, FrameProc proc);

    Frame* Handle() const { return handle_; }
    // Delivers `msg` to the frame procedure; false when it did not handle it.
    bool Deliver(const FrameMsg& msg);
    // After DestroyFrame: nothing reaches the procedure any more.
    void Detach() { proc_ = nullptr; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Frame* handle_;
    FrameProc proc_;
};

// The live frame window of a handle, or nullptr once it is destroyed.
FrameWidget* FrameWidgetOf(Frame* frame);

// Delivers a key press or release to the procedure of the frame `target`
// belongs to. Auto-repeat releases are dropped: X11 reports a held key as
// press, (release, press)*, release, and the key map expects the Windows
// sequence of repeated key-downs and a single key-up.
void DeliverKey(FrameWidget* target, bool press, int qtKey, Qt::KeyboardModifiers modifiers,
                bool autoRepeat);

// For tests: the live frame window titled `title`, or nullptr.
FrameWidget* FindFrameWidget(const QString& title);

}  // namespace platform::qthost
