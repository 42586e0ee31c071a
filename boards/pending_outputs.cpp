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
    p->model = &model;
    p->subscription = model::SubscribeBatches(model, OfferBatch, p);
}

void UnsubscribeOutputs(PendingOutputs* p) {
    if (p->subscription != 0) model::UnsubscribeBatches(*p->model, p->subscription);
    p->subscription = 0;
    p->model = nullptr;
}

std::vector<platform::ControlState> SnapshotOutputs(PendingOutputs* p) {
    std::vector<platform::ControlState> out;
    if (p->model == nullptr) return out;
    // Under the lock, so that a batch offered meanwhile waits and is then
    // skipped when the snapshot holds it.
    const std::lock_guard<std::mutex> lock(p->mutex);
    std::uint64_t oldest = UINT64_MAX;
    std::vector<platform::ControlState> states;
    // Backwards, so that a control two panels have is the first panel's.
    std::map<int, platform::ControlState> present;
    for (std::size_t panel = p->model->catalog().panelCount; panel-- > 0;) {
        oldest = std::min(oldest, model::PanelSnapshot(*p->model, static_cast<int>(panel), &states));
        for (platform::ControlState& s : states)
            if (std::binary_search(p->controls.begin(), p->controls.end(), s.id)) present[s.id] = std::move(s);
    }
    p->snapshotCycle = std::max(p->snapshotCycle, oldest == UINT64_MAX ? 0 : oldest);
    p->pending.clear();
    out.reserve(present.size());
    for (auto& [id, state] : present) out.push_back(std::move(state));
    return out;
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
