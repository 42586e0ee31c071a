// What the panel-window tests need to see and do on the real windowing
// host, without a toolkit type: one implementation per host.
#pragma once
#include "platform/window.h"

#include <functional>
#include <string>
#include <vector>

namespace probe {

struct Point {
    int x, y;
    bool operator==(const Point&) const = default;
};

// Before the host starts: what the host needs of the test process.
void PrepareHost();

std::string Title(platform::Frame* frame);
std::string ClassName(platform::Frame* frame);
Point Place(platform::Frame* frame);          // top-left of the outer frame
Point ClientSize(platform::Frame* frame);     // width, height
Point DialogSize(platform::Dialog* dialog);   // outer width, height
Point DialogPlace(platform::Dialog* dialog);  // within the frame's client area
bool Shown(platform::Frame* frame);
bool DialogShown(platform::Dialog* dialog);   // shown within its frame
// What the frame asks of the system: to stay above other windows.
bool OnTop(platform::Frame* frame);

// The user's close box.
void CloseByUser(platform::Frame* frame);
// Waits until `frame` is the active window and holds the keyboard focus.
bool HasFocus(platform::Frame* frame);
// Runs the message loop: `action` first, then until a quit or `timeoutMs`;
// the quit code, or kNoQuit.
constexpr int kNoQuit = -77;
int RunLoop(const std::function<void()>& action, int timeoutMs);
// Lets destroyed windows go.
void Settle();

// Ids of the dialog's visible controls that a user can click.
std::vector<int> ClickableControls(platform::Dialog* dialog);
// A left click where a user would: a check box on its box, an up-down on its
// up (or right) arrow, anything else in its middle.
void Click(platform::Dialog* dialog, int id);
// The key `code` (a letter) typed while `frame` has the focus.
void TypeKey(platform::Frame* frame, int code);

}  // namespace probe
