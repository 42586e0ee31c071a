#include "model/panel_model.h"

#include "model/panel_model_probe.h"
#include "model/panel_model_state.h"
#include "platform/dialog_template.h"

namespace model {
namespace inner {

using platform::ControlTemplate;
using platform::DialogTemplate;

ModelControl* FindControl(Panel& panel, int id) {
    if (id == -1) return nullptr;
    for (ModelControl& control : panel.current)
        if (control.state.id == id) return &control;
    return nullptr;
}

Panel* PanelOf(Model& model, int panel) {
    if (panel < 0 || static_cast<std::size_t>(panel) >= model.panels.size()) return nullptr;
    return &model.panels[static_cast<std::size_t>(panel)];
}

namespace {

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

void AddControl(Panel* panel, const ControlTemplate& c) {
    if (c.id == -1 || FindControl(*panel, c.id) != nullptr) return;
    ControlState state{c.id, c.kind == ControlKind::UpDown ? std::string() : c.text, false, true};
    panel->current.push_back(ModelControl{state, c.kind, c.Notify()});
    panel->published.push_back(state);
}

// A write that changed the model. One from a procedure shows in the panel's
// open window at once, as a write to the window did, and reaches the other
// views soon; the refresh's wait for its cycle.
template <typename Write>
void Changed(const ModelDialog& handle, Write write) {
    if (!handle.direct) return;
    for (Dialog* window : WindowsOf(*handle.owner, handle.panel)) write(window);
    Wake(*handle.owner, true);
}

}  // namespace

void ModelDialog::SetItemText(int id, const char* text) {
    bool changed = false;
    {
        Model& model = *owner;
        const std::lock_guard<std::mutex> lock(model.mutex);
        Panel* p = PanelOf(model, panel);
        ModelControl* control = p != nullptr ? FindControl(*p, id) : nullptr;
        if (control != nullptr && control->state.text != OrEmpty(text)) {
            control->state.text = OrEmpty(text);
            changed = true;
        }
    }
    if (changed) Changed(*this, [id, text](Dialog* window) { window->SetItemText(id, text); });
}

void ModelDialog::SetItemCheck(int id, bool checked) {
    bool changed = false;
    {
        Model& model = *owner;
        const std::lock_guard<std::mutex> lock(model.mutex);
        Panel* p = PanelOf(model, panel);
        ModelControl* control = p != nullptr ? FindControl(*p, id) : nullptr;
        if (control != nullptr && control->state.checked != checked) {
            control->state.checked = checked;
            changed = true;
        }
    }
    if (changed) Changed(*this, [id, checked](Dialog* window) { window->SetItemCheck(id, checked); });
}

std::size_t ModelDialog::GetItemText(int id, char* buf, std::size_t size) {
    std::string text;
    {
        Model& model = *owner;
        const std::lock_guard<std::mutex> lock(model.mutex);
        Panel* p = PanelOf(model, panel);
        if (const ModelControl* control = p != nullptr ? FindControl(*p, id) : nullptr) text = control->state.text;
    }
    if (size == 0) return text.size();
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    text.copy(buf, n);
    buf[n] = '\0';
    return text.size();
}

bool ModelDialog::GetItemCheck(int id) {
    Model& model = *owner;
    const std::lock_guard<std::mutex> lock(model.mutex);
    Panel* p = PanelOf(model, panel);
    const ModelControl* control = p != nullptr ? FindControl(*p, id) : nullptr;
    return control != nullptr && control->state.checked;
}

std::vector<Dialog*> WindowsOf(Model& model, int panel) {
    std::vector<Dialog*> windows;
    const std::lock_guard<std::mutex> lock(model.mutex);
    for (const Window& w : model.windows)
        if (w.panel == panel) windows.push_back(w.dialog);
    return windows;
}

void ModelDialog::FocusHost() {
    // GUI thread (procedures only): the panel's open window, if any. A
    // closed window's handle ignores it.
    for (Dialog* w : WindowsOf(*owner, panel)) w->FocusHost();
}

}  // namespace inner

using namespace inner;

PanelModel::PanelModel(const Catalog& catalog, platform::GuiPoster gui, LinkSource link)
    : catalog_(&catalog), link_(link), state_(std::make_unique<PanelModelState>()) {
    Model& model = *state_;
    model.gui = gui;
    const PanelInfo* panels = catalog.panels;
    const std::size_t count = catalog.panelCount;
    model.catalog = &catalog;
    model.panels = std::vector<Panel>(count);
    for (std::size_t i = 0; i < count; ++i) {
        Panel& panel = model.panels[i];
        panel.handle.owner = &model;
        panel.handle.panel = static_cast<int>(i);
        panel.handle.direct = true;
        panel.refreshHandle.owner = &model;
        panel.refreshHandle.panel = static_cast<int>(i);
        if (const DialogTemplate* t = catalog.Template(panels[i].templateId))
            for (const ControlTemplate& c : t->controls) AddControl(&panel, c);
    }
    // The combined window's own controls go to the panel that owns them.
    if (const DialogTemplate* combined = catalog.Template(catalog.combinedTemplate)) {
        for (std::size_t i = 0; i < count; ++i) {
            if (!panels[i].ownsCombinedExtras) continue;
            for (const ControlTemplate& c : combined->controls) {
                bool elsewhere = false;
                for (Panel& other : model.panels) elsewhere = elsewhere || FindControl(other, c.id) != nullptr;
                if (!elsewhere) AddControl(&model.panels[i], c);
            }
        }
    }
}

PanelModel::~PanelModel() = default;

bool PanelHasControl(PanelModel& owner, int panel, int id) {
    Model& model = owner.state();
    const std::lock_guard<std::mutex> lock(model.mutex);
    Panel* p = PanelOf(model, panel);
    return p != nullptr && FindControl(*p, id) != nullptr;
}

int SubscribeBatches(PanelModel& owner, BatchListener listener, void* context) {
    Model& model = owner.state();
    const std::lock_guard<std::mutex> lock(model.subscribersMutex);
    const int id = model.nextSubscription++;
    model.subscribers.push_back(Subscriber{id, listener, context});
    return id;
}

void UnsubscribeBatches(PanelModel& owner, int subscription) {
    Model& model = owner.state();
    const std::lock_guard<std::mutex> lock(model.subscribersMutex);
    std::erase_if(model.subscribers, [subscription](const Subscriber& s) { return s.id == subscription; });
}

std::uint64_t PanelSnapshot(PanelModel& owner, int panel, std::vector<ControlState>* out) {
    out->clear();
    Model& model = owner.state();
    const std::lock_guard<std::mutex> lock(model.mutex);
    Panel* p = PanelOf(model, panel);
    if (p == nullptr) return 0;
    *out = p->published;
    return model.cycle;
}

Dialog* PanelDialog(PanelModel& owner, int panel) {
    Model& model = owner.state();
    const std::lock_guard<std::mutex> lock(model.mutex);
    Panel* p = PanelOf(model, panel);
    return p != nullptr ? &p->handle : nullptr;
}

Dialog* RefreshDialog(PanelModel& owner, int panel) {
    Model& model = owner.state();
    const std::lock_guard<std::mutex> lock(model.mutex);
    Panel* p = PanelOf(model, panel);
    return p != nullptr ? &p->refreshHandle : nullptr;
}

}  // namespace model
