#include "inputs/mapping.h"

#include "model/catalog.h"
#include "platform/dialog_template.h"
#include "platform/virtual_keys.h"

namespace inputs {

namespace {

bool Fits(const platform::ControlTemplate& c, TargetUse use) {
    using platform::ControlKind;
    switch (use) {
        case TargetUse::Click:
            return c.kind == ControlKind::CheckBox || c.kind == ControlKind::PushButton ||
                   ((c.kind == ControlKind::Label || c.kind == ControlKind::ValueField) && c.Notify());
        case TargetUse::CheckBox: return c.kind == ControlKind::CheckBox;
        case TargetUse::UpDown: return c.kind == ControlKind::UpDown;
        case TargetUse::ValueField: return c.kind == ControlKind::ValueField;
    }
    return false;
}

const char* UseName(TargetUse use) {
    switch (use) {
        case TargetUse::Click: return "a check box, push button, clickable field or key action";
        case TargetUse::CheckBox: return "a check box";
        case TargetUse::UpDown: return "an up-down control";
        case TargetUse::ValueField: return "a value field";
    }
    return "";
}

// "key_a".."key_z", "key_0".."key_9", "key_f1".."key_f12" and the arrows:
// the keys the key map answers, by the letter on the key.
int KeyCode(std::string_view name) {
    if (name.substr(0, 4) != "key_") return 0;
    name.remove_prefix(4);
    if (name.size() == 1 && ((name[0] >= 'a' && name[0] <= 'z') || (name[0] >= '0' && name[0] <= '9')))
        return name[0] >= 'a' ? name[0] - 'a' + 'A' : name[0];
    if (name == "left") return kVkLeft;
    if (name == "up") return kVkUp;
    if (name == "right") return kVkRight;
    if (name == "down") return kVkDown;
    if (name.size() >= 2 && name.size() <= 3 && name[0] == 'f') {
        int n = 0;
        for (char c : name.substr(1)) {
            if (c < '0' || c > '9') return 0;
            n = n * 10 + (c - '0');
        }
        if (n >= 1 && n <= 12) return kVkF1 + n - 1;
    }
    return 0;
}

}  // namespace

bool ResolveTarget(const model::Catalog* catalog, std::string_view name, TargetUse use, Target* out,
                   std::string* why) {
    const std::string key(name);
    const int id = model::ControlIdByName(key);
    if (id != -1) {
        const platform::ControlTemplate* c = catalog != nullptr ? catalog->Control(id) : nullptr;
        if (c == nullptr || !Fits(*c, use)) {
            *why = key + " is not " + UseName(use);
            return false;
        }
        *out = Target{Target::Kind::Control, id, key, c->kind == platform::ControlKind::CheckBox};
        return true;
    }
    const int code = KeyCode(name);
    if (code != 0 && use == TargetUse::Click) {
        *out = Target{Target::Kind::Key, code, key, false};
        return true;
    }
    *why = code != 0 ? key + " is not " + UseName(use) : "no panel control or key action is named " + key;
    return false;
}

}  // namespace inputs
