#include "boards/pending_outputs.h"

#include <algorithm>

namespace boards {

void OfferBatch(void* context, std::uint64_t cycle, const model::ControlChange* changes, std::size_t count) {
    auto* p = static_cast<PendingOutputs*>(context);
    bool wake = false;
    {
        const std::lock_guard<std::mutex> lock(p->mutex);
        if (cycle <= p->snapshotCycle) return;
        for (std::size_t i = 0; i < count; ++i) {
            const platform::ControlState& state = changes[i].state;
            if (!std::binary_search(p->controls.begin(), p->controls.end(), state.id)) continue;
            wake = wake || p->pending.empty();
            p->pending[state.id] = state;
        }
    }
    if (wake && p->wake) p->wake();
}

void SubscribeOutputs(PendingOutputs* p, model::PanelModel& model, const BoardMap& map,
                      std::function<void()> wake) {
    {
        const std::lock_guard<std::mutex> lock(p->mutex);
        p->controls.clear();
        for (const OutputMap& out : map.outputs) p->controls.push_back(out.controlId);
        std::sort(p->controls.begin(), p->controls.end());
        p->wake = std::move(wake);
        p->snapshotCycle = 0;
    }
    // Subscribed before the snapshot, so that no batch falls between. The
    // batches that come meanwhile wait for the lock below: the snapshot
    // holds them. Those that came before are replaced by it.
    p->model = &model;
    p->subscription = model::SubscribeBatches(model, OfferBatch, p);
    const std::lock_guard<std::mutex> lock(p->mutex);
    std::uint64_t oldest = UINT64_MAX;
    std::vector<platform::ControlState> states;
    // Backwards, so that a control two panels have is the first panel's.
    for (std::size_t panel = model.catalog().panelCount; panel-- > 0;) {
        oldest = std::min(oldest, model::PanelSnapshot(model, static_cast<int>(panel), &states));
        for (const platform::ControlState& s : states)
            if (std::binary_search(p->controls.begin(), p->controls.end(), s.id)) p->pending[s.id] = s;
    }
    p->snapshotCycle = oldest == UINT64_MAX ? 0 : oldest;
}

void UnsubscribeOutputs(PendingOutputs* p) {
    if (p->subscription != 0) model::UnsubscribeBatches(*p->model, p->subscription);
    p->subscription = 0;
    p->model = nullptr;
}

std::vector<platform::ControlState> TakePending(PendingOutputs* p) {
    std::vector<platform::ControlState> out;
    const std::lock_guard<std::mutex> lock(p->mutex);
    out.reserve(p->pending.size());
    for (auto& [id, state] : p->pending) out.push_back(std::move(state));
    p->pending.clear();
    return out;
}

}  // namespace boards
