// The node's own copy of the simulator variables: what it reports, what the
// client has set, and which values still have to go out in the next update.
#pragma once
#include <bitset>
#include <cstdint>

#include "tools/dbnode/var_types.h"

namespace dbnode {

struct VarStore {
    std::int32_t ints[kVarCapacity] = {};
    double reals[kVarCapacity] = {};
    std::bitset<kVarCapacity> known;  // given a value at least once: part of full refreshes
    std::bitset<kVarCapacity> dirty;  // changed since the last update that carried it
};

// Stores a value by the variable's type (integers truncate toward zero).
// Returns false for an index that cannot carry a value. A value equal to the
// stored one is still marked dirty when `force` is true.
bool StoreValue(VarStore* store, int index, double value, bool force = false);

// The stored value as a double, whatever the type.
double ValueOf(const VarStore& store, int index);

}  // namespace dbnode
