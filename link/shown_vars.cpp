#include "link/shown_vars.h"

#include <atomic>

#include "link/var_table.h"

namespace {

constexpr int kWords = (kStdVarCapacity + 63) / 64;
std::atomic<std::uint64_t> shown[kWords];
thread_local int shownReads = 0;  // ShownReads open on this thread

bool InRange(std::int32_t index) { return index >= 0 && index < kStdVarCapacity; }

}  // namespace

ShownReads::ShownReads() { ++shownReads; }

ShownReads::~ShownReads() { --shownReads; }

void NoteVarRead(std::int32_t index) {
    if (!InRange(index) || shownReads == 0) return;
    const std::uint64_t bit = std::uint64_t{1} << (index % 64);
    std::atomic<std::uint64_t>& word = shown[index / 64];
    // Read first: after the first cycle every bit is set and nothing is written.
    if ((word.load(std::memory_order_relaxed) & bit) == 0) word.fetch_or(bit, std::memory_order_relaxed);
}

bool IsShownVar(std::int32_t index) {
    if (!InRange(index)) return false;
    return (shown[index / 64].load(std::memory_order_relaxed) >> (index % 64) & 1) != 0;
}
