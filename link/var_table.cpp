#include "link/var_table.h"

#include <cstdio>
#include <cstring>

#include "base/fatal.h"

StdVar masterTable[kStdVarCapacity];
StdVar workingCopy[kStdVarCapacity];
SlotRecord SlotMap[kSlotCount];
std::int32_t highestSlot = 0;
std::atomic<bool> tableReady{false};
std::atomic<bool> masterChanged{false};
std::int32_t StdVarCount = 0;

namespace {

struct StartingValue {
    std::int32_t index;
    std::int32_t value;
};

constexpr StartingValue kStartingValues[] = {
    {192, 1}, {196, 1}, {197, 1}, {199, 1}, {200, 1}, {223, 1}, {225, 1},
    {193, 2}, {207, 2}, {222, -1},
};

}  // namespace

void InitEntry(std::int32_t index, std::int32_t type, std::int32_t remoteSlot, std::int32_t kind) {
    if (remoteSlot >= kSlotCount) FatalStop(881, nullptr);
    if (index > kStdVarCapacity - 1) FatalStop(882, nullptr);
    // A negative index is outside the table too; it would index before it.
    if (index < 0) FatalStop(882, nullptr);
    StdVar& v = masterTable[index];
    if (v.type >= 0) {
        char line[100];
        std::snprintf(line, sizeof line, "InitEntry() - Duplicate Index: %d\n", index);
        FatalStop(883, line);
    }
    v.type = type;
    v.realValue = 0.0;
    v.index = index;
    v.intValue = 0;
    v.kind = kind;
    v.remoteSlot = remoteSlot;
    std::snprintf(v.text, sizeof v.text, "%s", "nill");
    if (remoteSlot < 0) return;
    SlotRecord& slot = SlotMap[remoteSlot];
    if (!slot.inUse && remoteSlot > highestSlot) highestSlot = remoteSlot;
    slot.inUse = true;
    slot.index = index;
    slot.kind = kind;
}

int InitDB() {
    for (SlotRecord& slot : SlotMap) slot = SlotRecord{0, 0, false, 0};
    for (StdVar& v : masterTable) v.type = kVarUndefined;

    int count = 0;
    for (int row = 0; row < kVarDefinitionRowCount; ++row) {
        const VarDefinitionRow& d = kVarDefinitions[row];
        for (int i = 0; i < d.count; ++i) {
            const std::int32_t slot = d.firstSlot < 0 ? -1 : d.firstSlot + i;
            InitEntry(d.firstIndex + i, d.type, slot, d.kind);
            ++count;
        }
    }

    for (const StartingValue& s : kStartingValues) masterTable[s.index].intValue = s.value;

    std::memcpy(workingCopy, masterTable, sizeof(StdVar) * static_cast<std::size_t>(count));
    tableReady.store(true, std::memory_order_release);
    StdVarCount = count;

    if (count >= kMaxVarCount) FatalStop(8865, "InitDB() - Count exceeds MAX FSXS\n");
    return count;
}
