// Which variables exist and how wide their values are on the wire. Both ends
// take the width of an update item from the variable's type, so the node uses
// the client's own definition table.
#pragma once
#include <cstddef>

namespace dbnode {

enum class VarType { kUndefined, kInt, kReal, kText };

constexpr int kVarCapacity = 237;   // indices 0..236 are defined at most
constexpr int kClientVarCount = 235; // the client accepts indices up to this

VarType TypeOf(int index);

// Bytes an item of this variable takes after its 4-byte index; 0 when the
// variable cannot travel in an update (undefined or text).
std::size_t ValueWidth(int index);

}  // namespace dbnode
