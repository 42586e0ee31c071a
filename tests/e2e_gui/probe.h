// What the end-to-end panel cases see and do: the simulator's printed sets,
// the controls of the real dialogs, clicks and keys, and waits with
// deadlines that keep the message loop running.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/dialog.h"
#include "platform/window.h"

namespace e2egui {

// The simulator's standard output, read as it grows; only whole lines count.
class NodeLog {
public:
    explicit NodeLog(std::string path) : path_(std::move(path)) {}
    // Lines exactly equal to `line`, as far as the file has been written.
    int Count(const std::string& line);
    std::string Tail(std::size_t lines);

private:
    void Poll();
    std::string path_;
    long offset_ = 0;
    std::string partial_;
    std::vector<std::string> lines_;
};

// Runs the message loop, checking `done` every 100 ms, until it holds (true)
// or `timeoutMs` has passed (false).
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);
// True when `holds` stays true for `ms` (checked every 100 ms): for states
// that must survive the next refresh.
bool HoldsFor(const std::function<bool()>& holds, int ms);

std::string Text(platform::Dialog* dialog, int id);
bool Checked(platform::Dialog* dialog, int id);
// The unsigned number a value field starts with after blanks, as the panels
// read it; 0 when it has none.
int ShownNumber(platform::Dialog* dialog, int id);
double ShownReal(platform::Dialog* dialog, int id);
bool HasControl(platform::Dialog* dialog, int id);
std::string Format(const char* format, int value);

// A user's left click: on the box of a check box, in the middle of anything
// else. False when the dialog has no such visible control.
bool Click(platform::Dialog* dialog, int id);
// A click on the up (right) or down (left) arrow of an up-down control.
bool ClickArrow(platform::Dialog* dialog, int id, bool up);
// A key pressed and released in the frame's window, delivered as the window
// system would: to whatever has the keyboard focus in that window.
void TypeKey(platform::Frame* frame, int qtKey);
// Whether the frame's window holds the application's keyboard focus.
bool HasFocus(platform::Frame* frame);

// Failure counting and reporting for one run.
class Checker {
public:
    explicit Checker(NodeLog* node) : node_(node) {}
    // Prints "ok" or "FAIL" with `what`; on the first failure also what the
    // simulator printed last and every control's text.
    bool Check(bool ok, const std::string& what);
    bool Wait(const std::function<bool()>& done, int timeoutMs, const std::string& what) {
        return Check(WaitUntil(done, timeoutMs), what);
    }
    // Waits until the simulator has printed `line` more often than `before`.
    bool WaitForSet(const std::string& line, int before, int timeoutMs = 5000);
    int failures() const { return failures_; }

private:
    NodeLog* node_;
    int failures_ = 0;
};

}  // namespace e2egui
