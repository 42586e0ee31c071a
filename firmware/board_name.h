// Where the board keeps its name: EEPROM bytes 0..15, ended early by a 0
// (or an erased 0xFF) byte.
#pragma once

#include <stdint.h>

namespace fw {

const uint16_t kNameAddress = 0;

}  // namespace fw
