// What an input of any device drives: a panel control or a key action, and
// how (a button presses, a switch holds a state, a pair is an encoder).
// The targets are resolved against the panel model's catalog.
#pragma once
#include <string>
#include <string_view>

namespace model {
struct Catalog;
}

namespace inputs {

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
    int pin = 0;   // a board's pin, a controller's button
    int pinB = 0;  // encoders only
    Target target;
};

// The control kinds a target can need.
enum class TargetUse { Click, CheckBox, UpDown, ValueField };

// Resolves a target name for `use`: a panel control ("autopilot",
// "set_altitude") of a fitting kind, or, for Click only, a key action
// ("key_a", "key_f5", "key_up"), the controls being `catalog`'s (nullptr:
// none). false with the reason in `why`.
bool ResolveTarget(const model::Catalog* catalog, std::string_view name, TargetUse use, Target* out,
                   std::string* why);

}  // namespace inputs
