#include "boards/panel_access.h"

#include "model/panel_model.h"

namespace boards {
namespace {

int PanelOfControl(model::PanelModel& model, int id) {
    for (std::size_t p = 0; p < model.catalog().panelCount; ++p)
        if (model::PanelHasControl(model, static_cast<int>(p), id)) return static_cast<int>(p);
    return -1;
}

const char* Command(model::PanelModel& model, int controlId, int setCheck) {
    model::PanelCommand command;
    command.panel = PanelOfControl(model, controlId);
    command.controlId = controlId;
    command.setCheck = setCheck;
    return model::RefusalText(model::PostPanelCommand(model, command));
}

}  // namespace

const char* Press(model::PanelModel& model, const Target& target, bool down) {
    if (target.kind == Target::Kind::Key) return model::RefusalText(model::PostPanelKey(model, target.id, down));
    return down ? Command(model, target.id, -1) : nullptr;  // a click happens as the button goes down
}

const char* SetSwitch(model::PanelModel& model, const Target& target, bool on) {
    return Command(model, target.id, on ? 1 : 0);
}

const char* Step(model::PanelModel& model, int controlId, int detents, bool fast) {
    model::PanelCommand command;
    command.panel = PanelOfControl(model, controlId);
    command.controlId = controlId;
    command.kind = platform::DialogMsgKind::DeltaPos;
    command.delta = detents > 0 ? -1 : 1;  // the platform counts the up arrow negative
    const model::PanelStepper* stepper = model.catalog().Stepper(command.panel, controlId);
    command.shift = fast && stepper != nullptr && stepper->shiftAmount != stepper->amount;
    for (int i = detents < 0 ? -detents : detents; i > 0; --i)
        if (const model::Refusal refusal = model::PostPanelCommand(model, command); refusal != model::Refusal::None)
            return model::RefusalText(refusal);
    return nullptr;
}

}  // namespace boards
