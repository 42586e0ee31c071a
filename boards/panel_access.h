// What a board thread needs of the panels' commands, through the panel
// model: clicks, switch positions, steps and key actions posted to the GUI
// thread like every front-end's commands (what the board shows comes from
// boards/pending_outputs.h). Each returns nullptr when the command is on
// its way, else why it was refused.
#pragma once
#include "boards/mapping.h"

namespace model {
class PanelModel;
}

namespace boards {

// A click on a control as a button goes down, or a key going down or up.
const char* Press(model::PanelModel& model, const Target& target, bool down);
// A switch's position: its check box is set so, and left alone when it is.
const char* SetSwitch(model::PanelModel& model, const Target& target, bool on);
// An up-down stepped `detents` (positive: up), one command per detent;
// `fast` steps as Shift does where Shift multiplies the step.
const char* Step(model::PanelModel& model, int controlId, int detents, bool fast);

}  // namespace boards
