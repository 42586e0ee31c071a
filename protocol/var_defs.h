// The variables both ends of the wire share: each variable's index, value
// type, the simulator-side slot it travels in, its starting value and the
// label the DB-node simulator prints. Built from protocol/var_list.inc.
#pragma once
#include <cstdint>

enum StdVarType : std::int32_t {
    kVarUndefined = -1,
    kVarInt = 2,
    kVarReal = 3,
    kVarText = 5,
};

// One defined variable (remoteSlot and kind -1: a local variable). Rows run
// in index order.
struct VarDefinition {
    std::int32_t index;
    std::int32_t type;
    std::int32_t remoteSlot;
    std::int32_t kind;
    std::int32_t start;
    const char* label;
};
inline constexpr int kVarDefinitionCount = 0
#define ORV_VAR(index, type, slot, kind, start, name, label) +1
#define ORV_CARRIED(index, type, slot, kind, start) +1
#include "protocol/var_list.inc"
#undef ORV_VAR
#undef ORV_CARRIED
    ;
extern const VarDefinition kVarDefinitions[kVarDefinitionCount];

// The label of a variable, "" for one without.
const char* VarLabel(std::int32_t index);
