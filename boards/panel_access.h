// What a board thread needs of the panels, callable from its own thread:
// what a control shows, and clicks, steps and key actions handed to the GUI
// thread the way a browser's commands are. None of these waits for the GUI
// thread.
#pragma once
#include <string>

#include "boards/mapping.h"

namespace boards {

// false when no live dialog has the control.
bool ShownCheck(int controlId, bool* checked);
bool ShownText(int controlId, std::string* text);

// A click on a control, or a key going down or up for a key action.
void Press(const Target& target, bool down);
// An up-down stepped `detents` (positive: up), one notification per detent,
// with Shift held when `shift`.
void Step(int controlId, int detents, bool shift);

}  // namespace boards
