// What a board thread needs of the panels, through the panel model: what a
// control shows (kept from the model's batches, never waiting on the
// refresh), and clicks, switch positions, steps and key actions posted to
// the GUI thread like every front-end's commands. Each returns nullptr when
// the command is on its way, else why it was refused.
#pragma once
#include <cstdint>
#include <string>

#include "boards/mapping.h"

namespace boards {

// Subscribes to the model's batches (once; before any board thread reads).
void StartPanelFeed();
// Counts the batches that changed anything: unchanged, nothing to compare.
std::uint64_t PanelFeedVersion();
// false when no panel has the control.
bool ShownCheck(int controlId, bool* checked);
bool ShownText(int controlId, std::string* text);

// A click on a control as a button goes down, or a key going down or up.
const char* Press(const Target& target, bool down);
// A switch's position: its check box is set so, and left alone when it is.
const char* SetSwitch(const Target& target, bool on);
// An up-down stepped `detents` (positive: up), one command per detent;
// `fast` steps as Shift does where Shift multiplies the step.
const char* Step(int controlId, int detents, bool fast);

}  // namespace boards
