#include "link/var_table.h"

#include <cstdio>
#include <cstring>

#include "base/fatal.h"
#include "link/var_table_testing.h"

std::int32_t StdVarCount = 0;
std::atomic<bool> tableReady{false};
std::atomic<bool> masterChanged{false};

namespace {

StdVar masterTable[kStdVarCapacity];
StdVar workingCopy[kStdVarCapacity];
SlotRecord slotMap[kSlotCount];
std::int32_t highestSlot = 0;

// Working-copy values are read and stored by several threads without a lock.
std::atomic_ref<std::int32_t> IntOf(std::int32_t index) {
    return std::atomic_ref<std::int32_t>(workingCopy[index].intValue);
}
std::atomic_ref<double> RealOf(std::int32_t index) {
    return std::atomic_ref<double>(workingCopy[index].realValue);
}

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
    SlotRecord& slot = slotMap[remoteSlot];
    if (!slot.inUse && remoteSlot > highestSlot) highestSlot = remoteSlot;
    slot.inUse = true;
    slot.index = index;
    slot.kind = kind;
}

int InitDB() {
    for (SlotRecord& slot : slotMap) slot = SlotRecord{0, 0, false, 0};
    for (StdVar& v : masterTable) v.type = kVarUndefined;

    int count = 0;
    for (const VarDefinition& d : kVarDefinitions) {
        InitEntry(d.index, d.type, d.remoteSlot, d.kind);
        ++count;
    }

    for (const VarDefinition& d : kVarDefinitions) {
        if (d.start != 0) masterTable[d.index].intValue = d.start;
    }

    std::memcpy(workingCopy, masterTable, sizeof(StdVar) * static_cast<std::size_t>(count));
    StdVarCount = count;
    if (count >= kMaxVarCount) FatalStop(8865, "InitDB() - Count exceeds MAX FSXS\n");
    // Last: a reader that sees the table ready also sees its final count.
    tableReady.store(true, std::memory_order_release);
    return count;
}

std::int32_t MasterType(std::int32_t index) { return masterTable[index].type; }
bool StoreMasterInt(std::int32_t index, std::int32_t value) {
    const bool changed = masterTable[index].intValue != value;
    masterTable[index].intValue = value;
    return changed;
}

bool StoreMasterReal(std::int32_t index, double value) {
    // Compared bit for bit: a NaN that stays a NaN is no change.
    const bool changed = std::memcmp(&masterTable[index].realValue, &value, sizeof value) != 0;
    masterTable[index].realValue = value;
    return changed;
}

void CopyMasterToWorking() {
    // Only the values change after the table is built; the other fields of
    // both copies are equal, so copying the values is copying the block.
    for (std::int32_t i = 0; i < StdVarCount; ++i) {
        IntOf(i).store(masterTable[i].intValue, std::memory_order_relaxed);
        RealOf(i).store(masterTable[i].realValue, std::memory_order_relaxed);
    }
}

std::int32_t WorkingType(std::int32_t index) { return workingCopy[index].type; }
std::int32_t LoadWorkingInt(std::int32_t index) { return IntOf(index).load(std::memory_order_relaxed); }
double LoadWorkingReal(std::int32_t index) { return RealOf(index).load(std::memory_order_relaxed); }
void StoreWorkingInt(std::int32_t index, std::int32_t value) {
    IntOf(index).store(value, std::memory_order_relaxed);
}
void StoreWorkingReal(std::int32_t index, double value) {
    RealOf(index).store(value, std::memory_order_relaxed);
}

// Test access (link/var_table_testing.h).

StdVar MasterEntryForTest(std::int32_t index) { return masterTable[index]; }

StdVar WorkingEntryForTest(std::int32_t index) {
    StdVar v = workingCopy[index];
    v.intValue = LoadWorkingInt(index);
    v.realValue = LoadWorkingReal(index);
    return v;
}

SlotRecord SlotRecordForTest(std::int32_t slot) { return slotMap[slot]; }
std::int32_t HighestSlotForTest() { return highestSlot; }

void SetMasterIntForTest(std::int32_t index, std::int32_t value) {
    StoreMasterInt(index, value);
    masterChanged.store(true, std::memory_order_release);
}

void SetMasterRealForTest(std::int32_t index, double value) {
    StoreMasterReal(index, value);
    masterChanged.store(true, std::memory_order_release);
}
