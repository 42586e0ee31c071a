#include "boards/panel_access.h"

#include <cstdint>

#include "panels/keymap.h"
#include "platform/dialog_mirror.h"

namespace boards {
namespace {

// Copies one control's entry; false when no open dialog has it.
bool Shown(int controlId, std::string* text, bool* checked) {
    for (const platform::MirroredDialog& d : platform::MirroredDialogs()) {
        const std::lock_guard<std::mutex> lock(d.record->mutex);
        if (d.record->closed) continue;
        for (const platform::ShownControl& c : d.record->controls) {
            if (c.id != controlId) continue;
            if (text != nullptr) *text = c.text;
            if (checked != nullptr) *checked = c.checked;
            return true;
        }
    }
    return false;
}

// The key code and its direction travel in the context pointer itself.
void KeyOnGui(void* context) {
    const auto word = reinterpret_cast<std::uintptr_t>(context);
    const int code = static_cast<int>(word >> 1);
    if ((word & 1) != 0)
        KeyDown(nullptr, code);
    else
        KeyUp(nullptr, code);
}

}  // namespace

bool ShownCheck(int controlId, bool* checked) { return Shown(controlId, nullptr, checked); }

bool ShownText(int controlId, std::string* text) { return Shown(controlId, text, nullptr); }

void Press(const Target& target, bool down) {
    if (target.kind == Target::Kind::Key) {
        const std::uintptr_t word = (static_cast<std::uintptr_t>(target.id) << 1) | (down ? 1 : 0);
        platform::PostToGui(KeyOnGui, reinterpret_cast<void*>(word));
        return;
    }
    if (!down) return;  // a click happens as the button goes down
    const platform::DialogMsg msg{platform::DialogMsgKind::Command, target.id, 0, 0};
    platform::PostDialogMsg(msg, false, target.checkBox);
}

void Step(int controlId, int detents, bool shift) {
    // The platform's up-downs count the up arrow negative.
    const platform::DialogMsg msg{platform::DialogMsgKind::DeltaPos, controlId, detents > 0 ? -1 : 1, 0};
    for (int i = detents < 0 ? -detents : detents; i > 0; --i) platform::PostDialogMsg(msg, shift, false);
}

}  // namespace boards
