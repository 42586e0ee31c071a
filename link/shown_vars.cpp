#include "link/shown_vars.h"

#include <atomic>

#include "link/var_table.h"
#include "platform/panel_model_writer.h"

namespace {

constexpr int kWords = (kStdVarCapacity + 63) / 64;
std::atomic<std::uint64_t> shown[kWords];

bool InRange(std::int32_t index) { return index >= 0 && index < kStdVarCapacity; }

}  // namespace

void NoteVarRead(std::int32_t index) {
    if (!InRange(index) || !platform::OnRefreshThread()) return;
    const std::uint64_t bit = std::uint64_t{1} << (index % 64);
    std::atomic<std::uint64_t>& word = shown[index / 64];
    // Read first: after the first cycle every bit is set and nothing is written.
    if ((word.load(std::memory_order_relaxed) & bit) == 0) word.fetch_or(bit, std::memory_order_relaxed);
}

bool IsShownVar(std::int32_t index) {
    if (!InRange(index)) return false;
    return (shown[index / 64].load(std::memory_order_relaxed) >> (index % 64) & 1) != 0;
}
