// What one board can serve.
#pragma once

#include <stdint.h>

namespace fw {

#if defined(__AVR_ATmega2560__)
const uint8_t kMaxInputs = 48;
const uint8_t kMaxEncoders = 8;
const uint8_t kMaxLeds = 16;
const uint8_t kMaxDisplays = 4;
const uint8_t kPinLimit = 70;
#else
const uint8_t kMaxInputs = 16;
const uint8_t kMaxEncoders = 4;
const uint8_t kMaxLeds = 8;
const uint8_t kMaxDisplays = 2;
const uint8_t kPinLimit = 20;
#endif

}  // namespace fw
