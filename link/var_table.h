// The Sim variable table: the master table written by the receiver, the
// working copy every other thread reads, and the simulator-side slot map.
// The arrays themselves are private to this file's operations; the rest of
// the program goes through var_access.h.
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

// Written by InitDB before tableReady is published, read-only afterwards.
extern std::int32_t StdVarCount;
extern std::atomic<bool> tableReady;     // published last by InitDB
extern std::atomic<bool> masterChanged;  // set by the receiver, cleared by FreshenCopy

// Builds both tables and the slot map from the definition table; returns the count.
int InitDB();
// Defines one master entry (and its slot record for a remote variable).
void InitEntry(std::int32_t index, std::int32_t type, std::int32_t remoteSlot, std::int32_t kind);

// Master table, for the receiver (which holds DataMutex around them).
// Indices are 0 to kStdVarCapacity - 1; the caller checks.
std::int32_t MasterType(std::int32_t index);
// They answer whether the stored value differs from the one there before.
bool StoreMasterInt(std::int32_t index, std::int32_t value);
bool StoreMasterReal(std::int32_t index, double value);

// Copies the values of entries 0 to StdVarCount - 1 of the master table over
// the working copy; the caller holds DataMutex.
void CopyMasterToWorking();

// Working copy, for the variable operations. Values are read and stored by
// several threads without a lock, each access single and atomic.
std::int32_t WorkingType(std::int32_t index);
std::int32_t LoadWorkingInt(std::int32_t index);
double LoadWorkingReal(std::int32_t index);
void StoreWorkingInt(std::int32_t index, std::int32_t value);
void StoreWorkingReal(std::int32_t index, double value);
