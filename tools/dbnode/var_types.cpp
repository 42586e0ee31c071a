#include "tools/dbnode/var_types.h"

#include <array>

#include "protocol/var_defs.h"

namespace dbnode {
namespace {

std::array<VarType, kVarCapacity> BuildTypes() {
    std::array<VarType, kVarCapacity> types{};
    types.fill(VarType::kUndefined);
    for (const VarDefinition& d : kVarDefinitions) {
        if (d.index < 0 || d.index >= kVarCapacity) continue;
        const auto at = static_cast<std::size_t>(d.index);
        switch (d.type) {
            case kVarInt: types[at] = VarType::kInt; break;
            case kVarReal: types[at] = VarType::kReal; break;
            case kVarText: types[at] = VarType::kText; break;
            default: break;
        }
    }
    return types;
}

}  // namespace

VarType TypeOf(int index) {
    static const std::array<VarType, kVarCapacity> kTypes = BuildTypes();
    if (index < 0 || index >= kVarCapacity) return VarType::kUndefined;
    return kTypes[static_cast<std::size_t>(index)];
}

std::size_t ValueWidth(int index) {
    switch (TypeOf(index)) {
        case VarType::kInt: return 4;
        case VarType::kReal: return 8;
        default: return 0;
    }
}

}  // namespace dbnode
