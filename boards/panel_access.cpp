#include "boards/panel_access.h"

#include <map>
#include <mutex>
#include <vector>

#include "panels/keymap.h"
#include "model/panel_model.h"
#include "platform/gui_post.h"

namespace boards {
namespace {

struct Feed {
    std::mutex mutex;
    std::map<int, platform::ControlState> shown;  // by control id
    std::uint64_t snapshotCycle = 0;  // batches up to it are in `shown` already
    std::uint64_t version = 0;
};

Feed& TheFeed() {
    static auto* feed = new Feed;  // never destroyed: board threads outlive main
    return *feed;
}

// Refresh thread: copies the batch and returns; never waits on a board.
void OnBatch(void*, std::uint64_t cycle, const model::ControlChange* changes, std::size_t count) {
    Feed& feed = TheFeed();
    const std::lock_guard<std::mutex> lock(feed.mutex);
    if (cycle <= feed.snapshotCycle) return;
    for (std::size_t i = 0; i < count; ++i) feed.shown[changes[i].state.id] = changes[i].state;
    if (count > 0) ++feed.version;
}

int PanelOfControl(int id) {
    for (std::size_t p = 0; p < model::PanelCount(); ++p)
        if (model::PanelHasControl(static_cast<int>(p), id)) return static_cast<int>(p);
    return -1;
}

bool Shown(int id, platform::ControlState* out) {
    Feed& feed = TheFeed();
    const std::lock_guard<std::mutex> lock(feed.mutex);
    const auto found = feed.shown.find(id);
    if (found == feed.shown.end()) return false;
    *out = found->second;
    return true;
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

void StartPanelFeed() {
    model::SubscribeBatches(OnBatch, nullptr);
    // Subscribed first: a batch after the snapshot is not lost.
    std::map<int, platform::ControlState> shown;
    std::uint64_t cycle = 0;
    std::vector<platform::ControlState> states;
    for (std::size_t p = model::PanelCount(); p-- > 0;) {
        cycle = model::PanelSnapshot(static_cast<int>(p), &states);
        for (const platform::ControlState& s : states) shown[s.id] = s;  // the first panel's counts
    }
    Feed& feed = TheFeed();
    const std::lock_guard<std::mutex> lock(feed.mutex);
    for (auto& [id, state] : shown)
        if (feed.shown.count(id) == 0) feed.shown[id] = state;
    feed.snapshotCycle = cycle;
    ++feed.version;
}

std::uint64_t PanelFeedVersion() {
    Feed& feed = TheFeed();
    const std::lock_guard<std::mutex> lock(feed.mutex);
    return feed.version;
}

bool ShownCheck(int controlId, bool* checked) {
    platform::ControlState state;
    if (!Shown(controlId, &state)) return false;
    *checked = state.checked;
    return true;
}

bool ShownText(int controlId, std::string* text) {
    platform::ControlState state;
    if (!Shown(controlId, &state)) return false;
    *text = state.text;
    return true;
}

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
