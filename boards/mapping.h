// What the parameter file says about the cockpit boards: each board's name
// and port, and which of its pins drive or show which panel control or key
// action. Filled once during start-up, before any board thread runs.
#pragma once
#include <string>
#include <vector>

#include "inputs/mapping.h"
#include "protocol/board_rules.h"

namespace boards {

// A board's inputs are mapped as every device's are.
using inputs::InputKind;
using inputs::InputMap;
using inputs::ResolveTarget;
using inputs::Target;
using inputs::TargetUse;

constexpr int kBoardsMax = 8;
constexpr int kDisplaysMax = board_rules::kLargest.displays;  // display slots of one board

struct OutputMap {
    bool display = false;  // else an LED
    int pin = 0;           // LED pin, or the display's DIN
    int clk = 0, cs = 0;   // displays only
    int slot = 0;          // displays: 0.. in the order the file gives them
    int controlId = 0;     // LED: a check box; display: a value field
};

struct BoardMap {
    std::string name;
    std::string port;
    std::vector<InputMap> inputs;
    std::vector<OutputMap> outputs;
};

// The lines that configure a board, in order, "CLEAR" to "DONE".
std::vector<std::string> ConfigurationLines(const BoardMap& board);

}  // namespace boards
