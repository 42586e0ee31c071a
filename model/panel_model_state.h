// The panel model's insides, shared by its files (panel_model.cpp: the
// panels and their handles; panel_model_commands.cpp: commands, keys and
// windows; panel_model_refresh.cpp: the cycles and the refresh's wake-ups).
// Only model/panel_model*.cpp include this.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "model/panel_model.h"
#include "model/panel_model_writer.h"
#include "platform/dialog.h"

namespace model {
namespace inner {

using platform::ControlKind;
using platform::Dialog;
using platform::DialogMsg;
using platform::DialogMsgKind;

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

// Model mutex held.
ModelControl* FindControl(Panel& panel, int id);
Panel* PanelOf(Model& model, int panel);

// Model mutex not held.
std::vector<Dialog*> WindowsOf(Model& model, int panel);
void Wake(Model& model, bool byPilot);
// GUI thread: one message to one panel's procedure through the model's handle.
void DeliverToPanel(Model& model, int panel, const DialogMsg& msg, bool shift);

}  // namespace inner

struct PanelModelState : inner::Model {};

}  // namespace model
