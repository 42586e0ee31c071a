// The radios the client tunes by steps and transfers: NAV1/NAV2 and COM1/COM2
// with active and standby frequencies in MHz, ADF1/ADF2 in tenths of a kHz.
// Steps change the standby frequency: whole MHz or one channel (COM 25 kHz,
// NAV 50 kHz) for COM and NAV, the amount the command carries for ADF; a
// transfer swaps active and standby (ADF has none), and the FMC's BCD words
// tune NAV active.
#pragma once
#include <cstdint>
#include <functional>

namespace dbnode {

struct Radios {
    double navActive[2] = {110.50, 108.00};
    double navStandby[2] = {113.90, 111.70};
    double comActive[2] = {118.70, 122.80};
    double comStandby[2] = {121.50, 119.10};
    std::int32_t adfActive[2] = {3455, 3620};  // tenths
    std::int32_t adfStandby[2] = {2780, 4150};
};

// The ADF band in tenths (190.0 to 1799.9); steps wrap within it.
constexpr std::int32_t kAdfLowTenths = 1900;
constexpr std::int32_t kAdfHighTenths = 17999;

// Applies a radio command; false when the index is not one.
bool ApplyRadioCommand(Radios* r, int index, double value);

void ReportRadios(const Radios& r, const std::function<void(int, double)>& emit);

// Frequency in MHz from a NAV BCD word (0x1390 -> 113.90); 0 for 0 or a bad word.
double NavBcdToMhz(std::int32_t bcd);

}  // namespace dbnode
