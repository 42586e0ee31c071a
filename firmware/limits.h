// What one board can serve: the limits the program knows too.
#pragma once

#include <stdint.h>

#include "protocol/board_rules.h"

namespace fw {

#if defined(__AVR_ATmega2560__)
constexpr board_rules::McuLimits kMcu = board_rules::kAtmega2560;
#else
constexpr board_rules::McuLimits kMcu = board_rules::kAtmega328p;
#endif
const uint8_t kMaxInputs = kMcu.inputs;
const uint8_t kMaxEncoders = kMcu.encoders;
const uint8_t kMaxLeds = kMcu.leds;
const uint8_t kMaxDisplays = kMcu.displays;
const uint8_t kPinLimit = kMcu.pinLimit;

}  // namespace fw
