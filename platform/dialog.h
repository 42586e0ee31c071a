// The toolkit-free dialog handle and message kinds the panels work with.
// The windowing host (platform/qt/, later a Windows host) implements them;
// a fake dialog (a map from control id to text and check state) makes every
// panel testable without a toolkit.
#pragma once
#include <cstddef>
#include <string>

namespace platform {

// What one control shows.
struct ControlState {
    int id = -1;
    std::string text;
    bool checked = false;
    bool enabled = true;
};

enum class DialogMsgKind {
    Init,      // the dialog has been created
    Command,   // a control reported a click: check box toggled, notify static, push button
    DeltaPos,  // an up-down proposes a change of position
    KeyUp,     // a key-up reached the dialog itself
};

struct DialogMsg {
    DialogMsgKind kind;
    int controlId;  // Command, DeltaPos: the control's id
    int delta;      // DeltaPos: signed steps in the platform's convention, where
                    // the up (or right) arrow is NEGATIVE; handlers negate it
    int keyCode;    // KeyUp: the virtual-key code
};

// A live (or closed) dialog. Every operation on a control id the template
// lacks, or on a dialog whose window has been destroyed, does nothing
// (reads give "" and false). Writes may come from any thread: the host
// carries them out on the GUI thread and waits for them.
class Dialog {
public:
    virtual void SetItemText(int id, const char* text) = 0;
    virtual void SetItemCheck(int id, bool checked) = 0;
    // Copies the control's text into buf (always terminated when size > 0);
    // returns its length.
    virtual std::size_t GetItemText(int id, char* buf, std::size_t size) = 0;
    virtual bool GetItemCheck(int id) = 0;
    // Gives the keyboard focus back to the window that hosts this dialog.
    virtual void FocusHost() = 0;
    // Shows what a batch of controls show (text and check state), in one
    // hand-over to the GUI thread where the host can; by default one write
    // per control.
    virtual void WriteBatch(const ControlState* controls, std::size_t count);

    // GUI thread: from now on the window's messages go to `router` first
    // (the panel model, once the window shows panels); a dialog that hosts
    // no window ignores it.
    virtual void SetRouter(class MsgRouter* router) { (void)router; }

protected:
    ~Dialog() = default;  // handles live until the process ends
};

// Takes the messages of a window that shows panels.
class MsgRouter {
public:
    // GUI thread: false when the message is not its to handle.
    virtual bool Route(Dialog* window, const DialogMsg& msg) = 0;

protected:
    ~MsgRouter() = default;
};

// A dialog procedure: true when it handled the message.
using DialogProc = bool (*)(Dialog* dialog, const DialogMsg& msg);

}  // namespace platform
