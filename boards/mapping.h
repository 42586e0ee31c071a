// What the parameter file says about the cockpit boards: each board's name
// and port, and which of its pins drive or show which panel control or key
// action. Filled once during start-up, before any board thread runs.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "protocol/board_rules.h"

namespace model {
struct Catalog;
}

namespace boards {

constexpr int kBoardsMax = 8;
constexpr int kDisplaysMax = board_rules::kLargest.displays;  // display slots of one board

// A panel control by its id, or a key action by its virtual-key code.
struct Target {
    enum class Kind { Control, Key } kind = Kind::Control;
    int id = 0;
    std::string name;     // as written in the file, for log lines
    bool checkBox = false;  // a click toggles it first
};

enum class InputKind { Button, Switch, Encoder };

struct InputMap {
    InputKind kind = InputKind::Button;
    int pin = 0;
    int pinB = 0;  // encoders only
    Target target;
};

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

extern std::vector<BoardMap> boardMaps;

// The control kinds a target can need.
enum class TargetUse { Click, CheckBox, UpDown, ValueField };

// Resolves a target name for `use`: a panel control ("autopilot",
// "set_altitude") of a fitting kind, or, for Click only, a key action
// ("key_a", "key_f5", "key_up"), the controls being `catalog`'s (nullptr:
// none). false with the reason in `why`.
bool ResolveTarget(const model::Catalog* catalog, std::string_view name, TargetUse use, Target* out,
                   std::string* why);

// The lines that configure a board, in order, "CLEAR" to "DONE".
std::vector<std::string> ConfigurationLines(const BoardMap& board);

}  // namespace boards
