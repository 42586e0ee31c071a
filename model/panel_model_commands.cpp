#include <vector>

#include "model/panel_model.h"
#include "model/panel_model_state.h"
#include "platform/gui_post.h"

namespace model {
namespace inner {
namespace {

struct Posted {
    Model* model;
    PanelCommand command;
};

struct PostedKey {
    Model* model;
    int keyCode;
    bool down;
};

}  // namespace

void DeliverToPanel(Model& model, int panel, const DialogMsg& msg, bool shift) {
    const PanelInfo* info = model.catalog->Panel(panel);
    Panel* p = PanelOf(model, panel);  // the panels never change after construction
    if (info == nullptr || info->proc == nullptr || p == nullptr) return;
    platform::HoldShiftForDelivery(model.gui, shift);
    info->proc(&p->handle, msg);
    platform::HoldShiftForDelivery(model.gui, false);
}

namespace {

void DeliverPosted(void* context) {
    Posted* posted = static_cast<Posted*>(context);
    const PanelCommand& c = posted->command;
    Model& model = *posted->model;
    bool deliver = true;
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        Panel* p = PanelOf(model, c.panel);
        ModelControl* control = p != nullptr ? FindControl(*p, c.controlId) : nullptr;
        if (control != nullptr && c.kind == DialogMsgKind::Command && control->kind == ControlKind::CheckBox) {
            // As a click toggles an automatic check box before its command;
            // a switch sets it, and one already so has nothing to say.
            const bool next = c.setCheck < 0 ? !control->state.checked : c.setCheck != 0;
            deliver = next != control->state.checked;
            control->state.checked = next;
        }
    }
    if (deliver) {
        const DialogMsg msg{c.kind, c.controlId, c.kind == DialogMsgKind::DeltaPos ? c.delta : 0, 0};
        DeliverToPanel(model, c.panel, msg, c.shift);
    }
    Wake(model, true);  // a toggled box and what the procedure wrote show soon
    delete posted;
}

void DeliverKey(void* context) {
    PostedKey* posted = static_cast<PostedKey*>(context);
    Model& model = *posted->model;
    KeyHandler handler = nullptr;
    void* handlerContext = nullptr;
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        handler = model.keyHandler;
        handlerContext = model.keyContext;
    }
    if (handler != nullptr) handler(handlerContext, posted->keyCode, posted->down);
    delete posted;
}

bool RouteWindowMsg(Model& model, Dialog* window, const DialogMsg& msg) {
    std::vector<int> panels;
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        for (const Window& w : model.windows) {
            if (w.dialog != window) continue;
            Panel& p = model.panels[static_cast<std::size_t>(w.panel)];
            const bool control = msg.kind == DialogMsgKind::Command || msg.kind == DialogMsgKind::DeltaPos;
            if (!control) {
                panels.push_back(w.panel);
                continue;
            }
            ModelControl* c = FindControl(p, msg.controlId & 0xFFFF);
            if (c == nullptr) continue;
            panels.push_back(w.panel);
            if (msg.kind == DialogMsgKind::Command && c->kind == ControlKind::CheckBox) {
                c->state.checked = window->GetItemCheck(c->state.id);
                // The window shows it already: only the other views need it.
            }
        }
        if (panels.empty()) {
            bool attached = false;
            for (const Window& w : model.windows) attached = attached || w.dialog == window;
            if (!attached) return false;
        }
    }
    for (const int panel : panels) DeliverToPanel(model, panel, msg, false);
    Wake(model, true);
    return true;
}

}  // namespace

bool WindowRouter::Route(Dialog* window, const DialogMsg& msg) { return RouteWindowMsg(*model_, window, msg); }

}  // namespace inner

using namespace inner;

const char* RefusalText(Refusal refusal) {
    switch (refusal) {
        case Refusal::None: return nullptr;
        case Refusal::UnknownPanel: return "unknown panel";
        case Refusal::UnknownControl: return "unknown control";
        case Refusal::WrongKind: return "not a command for that control";
        case Refusal::NoHost: return "no panels running";
    }
    return nullptr;
}

Refusal PostPanelCommand(PanelModel& owner, const PanelCommand& command) {
    Model& model = owner.state();
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        Panel* p = PanelOf(model, command.panel);
        if (p == nullptr) return Refusal::UnknownPanel;
        const ModelControl* control = FindControl(*p, command.controlId);
        if (control == nullptr) return Refusal::UnknownControl;
        const bool clickable = control->kind == ControlKind::CheckBox || control->kind == ControlKind::PushButton ||
                               (control->kind == ControlKind::ValueField && control->notify);
        const bool fits = command.kind == DialogMsgKind::DeltaPos ? control->kind == ControlKind::UpDown
                          : command.kind == DialogMsgKind::Command ? clickable
                                                                   : false;
        if (!fits) return Refusal::WrongKind;
    }
    auto* posted = new Posted{&model, command};
    if (platform::PostToGui(model.gui, DeliverPosted, posted)) return Refusal::None;
    delete posted;
    return Refusal::NoHost;
}

void SetKeyHandler(PanelModel& owner, KeyHandler handler, void* context) {
    Model& model = owner.state();
    const std::lock_guard<std::mutex> lock(model.mutex);
    model.keyHandler = handler;
    model.keyContext = context;
}

Refusal PostPanelKey(PanelModel& owner, int keyCode, bool down) {
    Model& model = owner.state();
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        if (model.keyHandler == nullptr) return Refusal::NoHost;
    }
    auto* posted = new PostedKey{&model, keyCode, down};
    if (platform::PostToGui(model.gui, DeliverKey, posted)) return Refusal::None;
    delete posted;
    return Refusal::NoHost;
}

void AttachPanelWindow(PanelModel& owner, Dialog* window, int panel) {
    Model& model = owner.state();
    std::vector<ControlState> shown;
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        Panel* p = PanelOf(model, panel);
        if (p == nullptr || window == nullptr) return;
        model.windows.push_back(Window{window, panel});
        shown = p->published;
    }
    window->WriteBatch(shown.data(), shown.size());
    window->SetRouter(&model.router);
}

}  // namespace model
