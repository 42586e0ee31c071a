#include "boards/panel_access.h"

#include <cstdint>

#include "panels/keymap.h"
#include "model/panel_model.h"
#include "platform/gui_post.h"

namespace boards {
namespace {

int PanelOfControl(int id) {
    for (std::size_t p = 0; p < model::PanelCount(); ++p)
        if (model::PanelHasControl(static_cast<int>(p), id)) return static_cast<int>(p);
    return -1;
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

const char* Command(int controlId, int setCheck) {
    model::PanelCommand command;
    command.panel = PanelOfControl(controlId);
    command.controlId = controlId;
    command.setCheck = setCheck;
    return model::RefusalText(model::PostPanelCommand(command));
}

}  // namespace

const char* Press(const Target& target, bool down) {
    if (target.kind == Target::Kind::Key) {
        const std::uintptr_t word = (static_cast<std::uintptr_t>(target.id) << 1) | (down ? 1 : 0);
        return platform::PostToGui(KeyOnGui, reinterpret_cast<void*>(word)) ? nullptr : model::RefusalText(model::Refusal::NoHost);
    }
    return down ? Command(target.id, -1) : nullptr;  // a click happens as the button goes down
}

const char* SetSwitch(const Target& target, bool on) { return Command(target.id, on ? 1 : 0); }

const char* Step(int controlId, int detents, bool fast) {
    model::PanelCommand command;
    command.panel = PanelOfControl(controlId);
    command.controlId = controlId;
    command.kind = platform::DialogMsgKind::DeltaPos;
    command.delta = detents > 0 ? -1 : 1;  // the platform counts the up arrow negative
    const model::PanelStepper* stepper = model::FindStepper(command.panel, controlId);
    command.shift = fast && stepper != nullptr && stepper->shiftAmount != stepper->amount;
    for (int i = detents < 0 ? -detents : detents; i > 0; --i)
        if (const model::Refusal refusal = model::PostPanelCommand(command); refusal != model::Refusal::None)
            return model::RefusalText(refusal);
    return nullptr;
}

}  // namespace boards
