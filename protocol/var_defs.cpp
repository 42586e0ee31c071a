#include "protocol/var_defs.h"

namespace {
constexpr std::int32_t R = kVarReal;
constexpr std::int32_t I = kVarInt;
constexpr std::int32_t T = kVarText;
constexpr std::int32_t L = -1;  // local: no remote slot, no kind
}  // namespace

const VarDefinition kVarDefinitions[kVarDefinitionCount] = {
#define ORV_VAR(index, type, slot, kind, start, name, label) {index, type, slot, kind, start, label},
#define ORV_CARRIED(index, type, slot, kind, start) {index, type, slot, kind, start, ""},
#include "protocol/var_list.inc"
#undef ORV_VAR
#undef ORV_CARRIED
};

const char* VarLabel(std::int32_t index) {
    for (const VarDefinition& d : kVarDefinitions) {
        if (d.index == index) return d.label;
    }
    return "";
}
