// The Sim variable table: the master table written by the receiver, the
// working copy every other thread reads, and the simulator-side slot map.
#pragma once
#include <atomic>
#include <cstdint>

#include "protocol/var_defs.h"


struct StdVar {
    std::int32_t index;
    std::int32_t type;        // StdVarType
    std::int32_t intValue;
    double realValue;
    char text[12];
    std::int32_t remoteSlot;  // -1: exists only in this program
    std::int32_t kind;        // 2 or 5 for remote variables, -1 for local ones
};

struct SlotRecord {
    std::int32_t kind;
    std::int32_t index;
    bool inUse;
    std::int32_t counter;  // cleared at start, read by nothing
};

constexpr int kStdVarCapacity = 237;
constexpr int kSlotCount = 300;
constexpr int kMaxVarCount = 300;  // "MAX FSXS"

extern StdVar masterTable[kStdVarCapacity];
extern StdVar workingCopy[kStdVarCapacity];
extern SlotRecord SlotMap[kSlotCount];
extern std::int32_t highestSlot;
extern std::atomic<bool> tableReady;
extern std::atomic<bool> masterChanged;
extern std::int32_t StdVarCount;

// Builds both tables and the slot map from the definition table; returns the count.
int InitDB();
// Defines one master entry (and its slot record for a remote variable).
void InitEntry(std::int32_t index, std::int32_t type, std::int32_t remoteSlot, std::int32_t kind);
