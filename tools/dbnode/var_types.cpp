#include "tools/dbnode/var_types.h"

#include <array>

#include "protocol/var_defs.h"

namespace dbnode {
namespace {

std::array<VarType, kVarCapacity> BuildTypes() {
    std::array<VarType, kVarCapacity> types{};
    types.fill(VarType::kUndefined);
    for (int row = 0; row < kVarDefinitionRowCount; ++row) {
        const VarDefinitionRow& d = kVarDefinitions[row];
        for (int i = 0; i < d.count; ++i) {
            const int index = d.firstIndex + i;
            if (index < 0 || index >= kVarCapacity) continue;
            switch (d.type) {
                case kVarInt: types[static_cast<std::size_t>(index)] = VarType::kInt; break;
                case kVarReal: types[static_cast<std::size_t>(index)] = VarType::kReal; break;
                case kVarText: types[static_cast<std::size_t>(index)] = VarType::kText; break;
                default: break;
            }
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
