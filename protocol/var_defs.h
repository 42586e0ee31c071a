// The variables both ends of the wire share: each variable's index, value
// type and the simulator-side slot it travels in.
#pragma once
#include <cstdint>

enum StdVarType : std::int32_t {
    kVarUndefined = -1,
    kVarInt = 2,
    kVarReal = 3,
    kVarText = 5,
};

// One row of the definition table: `count` consecutive indices of one type
// and kind whose remote slots run on by one (firstSlot -1: local variables).
struct VarDefinitionRow {
    std::int32_t firstIndex;
    std::int32_t count;
    std::int32_t type;
    std::int32_t firstSlot;
    std::int32_t kind;
};
extern const VarDefinitionRow kVarDefinitions[];
extern const int kVarDefinitionRowCount;
