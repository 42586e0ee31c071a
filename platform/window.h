// Frame windows and dialogs built from templates: what the panel windows
// need of the windowing host, with no toolkit type in sight. All of it runs
// on the GUI thread only.
#pragma once
#include "platform/dialog.h"
#include "platform/dialog_template.h"

#include <string>
#include <vector>

namespace platform {

class Frame;  // a top-level frame window; the handle stays valid after Destroy

enum class FrameMsgKind {
    Close,           // the user asked to close the window
    LeftButtonDown,  // the left mouse button went down anywhere over the frame
    KeyDown,         // a key went down while the frame (or a control in it) had the focus
    KeyUp,
};

struct FrameMsg {
    FrameMsgKind kind;
    int keyCode;  // KeyDown, KeyUp: the virtual-key code
};

// A frame procedure: true when it handled the message. Unhandled messages
// get the default processing (Close: nothing happens).
using FrameProc = bool (*)(Frame* frame, const FrameMsg& msg);

// Registers a window class: its name (kept as the frame's object name) and
// its frame procedure. Registering a name again with the same procedure
// succeeds; false when the name is empty or taken by another procedure.
bool RegisterFrameClass(const char* className, FrameProc proc);

// A top-level frame with a border, close and minimise boxes only, not
// resizable, at (x, y) with the given outer size. nullptr on failure.
Frame* CreateFrame(const char* className, const char* title, int x, int y, int width, int height);
void ShowFrame(Frame* frame, bool show);
// Whether frames created from now on stay above other windows (the panels
// over a full-screen simulator). Off until set.
void SetFramesOnTop(bool onTop);
bool FramesOnTop();
// Destroys the frame and its dialog. The handle may still be passed around;
// every operation on it then does nothing.
void DestroyFrame(Frame* frame);
// Activates the frame's window and gives it the keyboard focus.
void FocusFrame(Frame* frame);
bool FrameExists(Frame* frame);
// Where the frame's outer edge now is, in the coordinates CreateFrame takes
// (GUI thread only); false for a frame that no longer exists.
bool FramePosition(Frame* frame, int* x, int* y);

// A modeless child dialog from `record` (which outlives it; nullptr fails),
// at the frame's client origin, its messages going to `proc` (Init first).
// nullptr on failure.
Dialog* CreateDialogFromTemplate(Frame* parent, const DialogTemplate* record, DialogProc proc);
void ShowDialog(Dialog* dialog, bool show);
// Resizes the frame so that its client area equals the dialog's size.
void FitFrameToDialog(Frame* frame, Dialog* dialog);

// Posts the quit message: the message loop ends with `code`.
void PostQuit(int code);

// A message box with only an OK button, titled `title`, owned by `owner`
// (nullptr: no owner); returns when the user has closed it.
void MessageBoxOk(Frame* owner, const char* text, const char* title);

// Whether the Shift key is held down right now.
bool ShiftKeyDown();

// For tests: one line "<templateId> <controlId> <text>|<checked>" per
// addressable control of every live dialog (checked is 0 or 1).
std::string DumpDialogs();

}  // namespace platform
