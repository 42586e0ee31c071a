// Arduino digital pin numbers on the MCUs' ports, for the firmware and for
// the simulator harness that drives the pins from outside.
#pragma once

#include <stdint.h>

#if defined(__AVR__)
#include <avr/pgmspace.h>
#define ORV_IN_FLASH PROGMEM
#else
#define ORV_IN_FLASH
#endif

namespace fw {

// Each pin: its port's index in kPortLetters (high nibble) and its bit.
#define ORV_PIN(port, bit) static_cast<uint8_t>(((port) << 4) | (bit))

namespace uno {
enum : uint8_t { B, C, D };
const char kPortLetters[] = "BCD";
static const uint8_t kPins[] ORV_IN_FLASH = {
    ORV_PIN(D, 0), ORV_PIN(D, 1), ORV_PIN(D, 2), ORV_PIN(D, 3), ORV_PIN(D, 4), ORV_PIN(D, 5),
    ORV_PIN(D, 6), ORV_PIN(D, 7), ORV_PIN(B, 0), ORV_PIN(B, 1), ORV_PIN(B, 2), ORV_PIN(B, 3),
    ORV_PIN(B, 4), ORV_PIN(B, 5), ORV_PIN(C, 0), ORV_PIN(C, 1), ORV_PIN(C, 2), ORV_PIN(C, 3),
    ORV_PIN(C, 4), ORV_PIN(C, 5),
};
}  // namespace uno

// The Mega's numbering, which follows the headers, not the ports.
namespace mega {
enum : uint8_t { A, B, C, D, E, F, G, H, J, K, L };
const char kPortLetters[] = "ABCDEFGHJKL";
static const uint8_t kPins[] ORV_IN_FLASH = {
    ORV_PIN(E, 0), ORV_PIN(E, 1), ORV_PIN(E, 4), ORV_PIN(E, 5), ORV_PIN(G, 5), ORV_PIN(E, 3),  // 0-5
    ORV_PIN(H, 3), ORV_PIN(H, 4), ORV_PIN(H, 5), ORV_PIN(H, 6), ORV_PIN(B, 4), ORV_PIN(B, 5),  // 6-11
    ORV_PIN(B, 6), ORV_PIN(B, 7), ORV_PIN(J, 1), ORV_PIN(J, 0), ORV_PIN(H, 1), ORV_PIN(H, 0),  // 12-17
    ORV_PIN(D, 3), ORV_PIN(D, 2), ORV_PIN(D, 1), ORV_PIN(D, 0),                              // 18-21
    ORV_PIN(A, 0), ORV_PIN(A, 1), ORV_PIN(A, 2), ORV_PIN(A, 3), ORV_PIN(A, 4), ORV_PIN(A, 5),  // 22-27
    ORV_PIN(A, 6), ORV_PIN(A, 7), ORV_PIN(C, 7), ORV_PIN(C, 6), ORV_PIN(C, 5), ORV_PIN(C, 4),  // 28-33
    ORV_PIN(C, 3), ORV_PIN(C, 2), ORV_PIN(C, 1), ORV_PIN(C, 0), ORV_PIN(D, 7), ORV_PIN(G, 2),  // 34-39
    ORV_PIN(G, 1), ORV_PIN(G, 0), ORV_PIN(L, 7), ORV_PIN(L, 6), ORV_PIN(L, 5), ORV_PIN(L, 4),  // 40-45
    ORV_PIN(L, 3), ORV_PIN(L, 2), ORV_PIN(L, 1), ORV_PIN(L, 0), ORV_PIN(B, 3), ORV_PIN(B, 2),  // 46-51
    ORV_PIN(B, 1), ORV_PIN(B, 0), ORV_PIN(F, 0), ORV_PIN(F, 1), ORV_PIN(F, 2), ORV_PIN(F, 3),  // 52-57
    ORV_PIN(F, 4), ORV_PIN(F, 5), ORV_PIN(F, 6), ORV_PIN(F, 7), ORV_PIN(K, 0), ORV_PIN(K, 1),  // 58-63
    ORV_PIN(K, 2), ORV_PIN(K, 3), ORV_PIN(K, 4), ORV_PIN(K, 5), ORV_PIN(K, 6), ORV_PIN(K, 7),  // 64-69
};
}  // namespace mega

}  // namespace fw
