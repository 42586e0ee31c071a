// What a board is still to be told: the states of the panel controls it
// shows that changed since its thread last looked. The refresh thread adds
// each cycle's batch (only the board's controls, a control's latest state
// replacing its earlier one) and wakes the board thread when the set stops
// being empty; the board thread takes the set. So an idle board sleeps
// until a control it shows changes.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "boards/mapping.h"
#include "model/panel_model.h"

namespace boards {

struct PendingOutputs {
    std::mutex mutex;
    std::vector<int> controls;  // the ones the board shows, sorted
    std::map<int, platform::ControlState> pending;  // by control id
    std::uint64_t snapshotCycle = 0;  // batches up to it are in the last snapshot
    std::function<void()> wake;  // any thread, never waits
    model::PanelModel* model = nullptr;  // while subscribed
    int subscription = 0;
};

// The model's listener (refresh thread): keeps the batch's changes to the
// board's controls and wakes the board when the set was empty.
void OfferBatch(void* pending, std::uint64_t cycle, const model::ControlChange* changes, std::size_t count);

// Subscribes `pending` to `model`'s batches for the controls `map`'s
// outputs show. `pending` must stay until unsubscribed.
void SubscribeOutputs(PendingOutputs* pending, model::PanelModel& model, const BoardMap& map,
                      std::function<void()> wake);
void UnsubscribeOutputs(PendingOutputs* pending);

// Board thread, while subscribed: what the board's controls show now, in
// place of the set (the batches it holds, and those still on their way,
// are older).
std::vector<platform::ControlState> SnapshotOutputs(PendingOutputs* pending);

// Board thread: what changed since the last call, and empties the set.
std::vector<platform::ControlState> TakePending(PendingOutputs* pending);

}  // namespace boards
