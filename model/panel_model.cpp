#include "model/panel_model.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "model/panel_model_probe.h"
#include "model/panel_model_writer.h"
#include "platform/dialog_template.h"
#include "platform/gui_post.h"
#include "platform/time.h"

namespace model {
namespace {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::Dialog;
using platform::DialogMsg;
using platform::DialogMsgKind;
using platform::DialogTemplate;

struct ModelControl {
    ControlState state;
    ControlKind kind;
    bool notify;
};

struct Model;

// The model's own handle on one panel.
class ModelDialog final : public Dialog {
public:
    void SetItemText(int id, const char* text) override;
    void SetItemCheck(int id, bool checked) override;
    std::size_t GetItemText(int id, char* buf, std::size_t size) override;
    bool GetItemCheck(int id) override;
    void FocusHost() override;

    Model* owner = nullptr;
    int panel = -1;
    bool direct = false;  // a procedure's: its writes show in the window at once
};

struct Panel {
    std::vector<ModelControl> current;      // what the writers have set
    std::vector<ControlState> published;    // as of the last cycle, same order
    ModelDialog handle;         // the procedures'
    ModelDialog refreshHandle;  // the refresh's
};

struct Window {
    Dialog* dialog;
    int panel;
};

struct Subscriber {
    int id;
    BatchListener listener;
    void* context;
};

// Takes the messages of the windows that show panels.
class WindowRouter final : public platform::MsgRouter {
public:
    explicit WindowRouter(Model* model) : model_(model) {}
    bool Route(Dialog* window, const DialogMsg& msg) override;

private:
    Model* model_;
};

struct Model {
    std::mutex mutex;  // panels' states, the windows, the cycle
    const Catalog* catalog = nullptr;
    std::vector<Panel> panels;
    std::vector<Window> windows;  // GUI thread adds; the refresh reads under the mutex
    std::uint64_t cycle = 0;
    WindowPace windowPace{0, 1};  // the refresh's; under the mutex
    WindowRouter router{this};
    KeyHandler keyHandler = nullptr;  // under the mutex
    void* keyContext = nullptr;
    platform::GuiPoster gui;  // set at construction

    std::mutex subscribersMutex;  // held while listeners run
    std::vector<Subscriber> subscribers;
    int nextSubscription = 1;

    std::mutex wakeMutex;
    std::condition_variable wake;
    bool pilotWoken = false;
    bool dataWoken = false;
    std::optional<TokenBucket> dataTokens;  // early cycles data may still wake
    std::chrono::steady_clock::time_point lastReturn{};
    std::atomic<long> wakeups{0};
};

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

// Model mutex held.
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

void AddControl(Panel* panel, const ControlTemplate& c) {
    if (c.id == -1 || FindControl(*panel, c.id) != nullptr) return;
    ControlState state{c.id, c.kind == ControlKind::UpDown ? std::string() : c.text, false, true};
    panel->current.push_back(ModelControl{state, c.kind, c.Notify()});
    panel->published.push_back(state);
}

// Model mutex not held.
std::vector<Dialog*> WindowsOf(Model& model, int panel);
void Wake(Model& model, bool byPilot);

// A write that changed the model. One from a procedure shows in the panel's
// open window at once, as a write to the window did, and reaches the other
// views soon; the refresh's wait for its cycle.
template <typename Write>
void Changed(const ModelDialog& handle, Write write) {
    if (!handle.direct) return;
    for (Dialog* window : WindowsOf(*handle.owner, handle.panel)) write(window);
    Wake(*handle.owner, true);
}

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

struct Posted {
    Model* model;
    PanelCommand command;
};

struct PostedKey {
    Model* model;
    int keyCode;
    bool down;
};

// GUI thread: one message to one panel's procedure through the model's handle.
void DeliverToPanel(Model& model, int panel, const DialogMsg& msg, bool shift) {
    const PanelInfo* info = model.catalog->Panel(panel);
    Panel* p = PanelOf(model, panel);  // the panels never change after construction
    if (info == nullptr || info->proc == nullptr || p == nullptr) return;
    platform::HoldShiftForDelivery(model.gui, shift);
    info->proc(&p->handle, msg);
    platform::HoldShiftForDelivery(model.gui, false);
}

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

bool RouteWindowMsg(Model& model, Dialog* window, const DialogMsg& msg);

bool WindowRouter::Route(Dialog* window, const DialogMsg& msg) { return RouteWindowMsg(*model_, window, msg); }

}  // namespace

struct PanelModelState : Model {};

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

namespace {

std::size_t Publish(Model& model, double windowPerSecond, double windowBurst, RefreshWake wake) {
    std::vector<ControlChange> changes;
    std::vector<ControlChange> forWindows;
    std::vector<Window> windows;
    std::uint64_t cycle = 0;
    bool handOver = false;
    {
        const std::lock_guard<std::mutex> lock(model.mutex);
        for (std::size_t i = 0; i < model.panels.size(); ++i) {
            Panel& panel = model.panels[i];
            for (std::size_t k = 0; k < panel.current.size(); ++k) {
                const ControlState& now = panel.current[k].state;
                ControlState& was = panel.published[k];
                if (now.text == was.text && now.checked == was.checked && now.enabled == was.enabled) continue;
                was = now;
                changes.push_back(ControlChange{static_cast<int>(i), now});
            }
        }
        // The first cycle is published even without a change, so that a
        // snapshot exists from then on.
        if (!changes.empty() || model.cycle == 0) cycle = ++model.cycle;
        WindowPace& pace = model.windowPace;
        const auto now = WindowPace::Clock::now();
        if (pace.PerSecond() != windowPerSecond || pace.Burst() != windowBurst) {
            // A new budget keeps what the windows have not been handed yet.
            std::vector<ControlChange> left;
            pace.Take(now, RefreshWake::Pilot, &left);
            pace = WindowPace(windowPerSecond, windowBurst);
            pace.Add(left.data(), left.size());
        }
        pace.Add(changes.data(), changes.size());
        handOver = pace.Take(now, wake, &forWindows);
        if (handOver) windows = model.windows;
    }
    if (cycle != 0) {
        const std::lock_guard<std::mutex> lock(model.subscribersMutex);
        for (const Subscriber& s : model.subscribers) s.listener(s.context, cycle, changes.data(), changes.size());
    }
    // One hand-over per window, holding every change of every panel it shows.
    std::vector<Dialog*> done;
    for (const Window& w : windows) {
        if (std::find(done.begin(), done.end(), w.dialog) != done.end()) continue;
        done.push_back(w.dialog);
        std::vector<ControlState> batch;
        for (const ControlChange& c : forWindows)
            for (const Window& shown : windows)
                if (shown.dialog == w.dialog && shown.panel == c.panel) batch.push_back(c.state);
        if (!batch.empty()) w.dialog->WriteBatch(batch.data(), batch.size());
    }
    return changes.size();
}

}  // namespace

std::size_t PublishCycle(PanelModel& owner) { return Publish(owner.state(), 0, 1, RefreshWake::Pilot); }

std::size_t PublishCycle(PanelModel& owner, const RefreshPace& pace, RefreshWake wake) {
    return Publish(owner.state(), pace.windowPerSecond, pace.windowBurst, wake);
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

namespace {

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

void Wake(Model& model, bool byPilot) {
    {
        const std::lock_guard<std::mutex> lock(model.wakeMutex);
        bool& flag = byPilot ? model.pilotWoken : model.dataWoken;
        if (flag) return;
        flag = true;
    }
    model.wake.notify_one();
}

}  // namespace

void WakeRefresh(PanelModel& owner) { Wake(owner.state(), true); }

void WakeRefreshForData(PanelModel& owner) { Wake(owner.state(), false); }

RefreshWake WaitForRefresh(PanelModel& owner, const RefreshPace& pace, const platform::Clock& clock) {
    using Clock = std::chrono::steady_clock;
    Model& model = owner.state();
    if (clock.Virtual()) {
        clock.SleepMs(pace.floorMs);  // a test's clock: the floor only
        return RefreshWake::Floor;
    }
    std::unique_lock<std::mutex> lock(model.wakeMutex);
    if (!model.dataTokens || model.dataTokens->PerSecond() != pace.dataPerSecond ||
        model.dataTokens->Burst() != pace.dataBurst)
        model.dataTokens.emplace(pace.dataPerSecond, pace.dataBurst);
    TokenBucket& tokens = *model.dataTokens;
    const auto earliest = model.lastReturn + std::chrono::milliseconds(pace.minGapMs);
    const auto latest = Clock::now() + std::chrono::milliseconds(pace.floorMs);
    bool early = false;
    RefreshWake why = RefreshWake::Floor;
    for (;;) {
        const auto now = Clock::now();
        tokens.Refill(now);
        early = model.pilotWoken || (model.dataWoken && tokens.Ready());
        if (early || now >= latest) break;
        auto until = latest;
        if (model.dataWoken) until = std::min(latest, now + tokens.UntilReady());  // waits for its token
        model.wake.wait_until(lock, until);
    }
    if (early) {
        model.wakeups.fetch_add(1, std::memory_order_relaxed);
        why = model.pilotWoken ? RefreshWake::Pilot : RefreshWake::Data;
        if (model.pilotWoken) {
            tokens.Grant(2);
        } else {
            tokens.Spend();
        }
        // Woken early: still no sooner than the rate allows. Wake-ups that
        // come meanwhile fold into this cycle.
        lock.unlock();
        std::this_thread::sleep_until(earliest);
        lock.lock();
    }
    model.pilotWoken = false;
    model.dataWoken = false;
    model.lastReturn = Clock::now();
    return why;
}

long RefreshWakeups(PanelModel& owner) { return owner.state().wakeups.load(std::memory_order_relaxed); }

}  // namespace model
