// Variable names: var::Gear is the index of the landing gear variable. Every
// part outside protocol/ names a variable this way, never by its number.
#pragma once
#include <cstdint>

namespace var {

#define ORV_VAR(index, type, slot, kind, start, name, label) inline constexpr std::int32_t name = index;
#define ORV_CARRIED(index, type, slot, kind, start)
#include "protocol/var_list.inc"
#undef ORV_VAR
#undef ORV_CARRIED

}  // namespace var
