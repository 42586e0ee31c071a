// Tuning the NAV radios from the active point.
#pragma once
#include <cstdint>

// Tunes NAV1/NAV2 from point index while fewer than 3 tunings were done
// since the last activation.
void ProcessRadios(std::int32_t index);

// The four lowest decimal digits of value as BCD (11390 -> 0x1390).
// A negative value is no frequency and gives 0.
std::int32_t BinToBCD(std::int32_t value);
