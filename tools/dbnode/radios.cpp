#include "tools/dbnode/radios.h"

#include <cmath>
#include <utility>

namespace dbnode {
namespace {

// Steps work on whole kHz so that no rounding builds up. The whole-MHz
// knob wraps within the band and the channel knob within the MHz, as radio
// knobs do.
double StepWhole(double mhz, int delta, int low, int high) {
    const long khz = std::lround(mhz * 1000.0);
    long whole = khz / 1000 + delta;
    if (whole > high) whole = low;
    if (whole < low) whole = high;
    return static_cast<double>(whole * 1000 + khz % 1000) / 1000.0;
}

double StepFraction(double mhz, int delta, int spacingKhz) {
    const long khz = std::lround(mhz * 1000.0);
    const long channels = 1000 / spacingKhz;
    long channel = (khz % 1000 + spacingKhz / 2) / spacingKhz + delta;
    channel = ((channel % channels) + channels) % channels;
    return static_cast<double>((khz / 1000) * 1000 + channel * spacingKhz) / 1000.0;
}

// Any amount, however large, lands inside the band; 64-bit so that the sum
// cannot overflow.
std::int32_t StepAdf(std::int32_t tenths, double amount) {
    constexpr long long kSpan = kAdfHighTenths - kAdfLowTenths + 1;
    if (!std::isfinite(amount)) return tenths;
    const auto delta = static_cast<long long>(std::fmod(std::trunc(amount), static_cast<double>(kSpan)));
    const long long offset = ((static_cast<long long>(tenths) - kAdfLowTenths + delta) % kSpan + kSpan) % kSpan;
    return static_cast<std::int32_t>(kAdfLowTenths + offset);
}

}  // namespace

bool ApplyRadioCommand(Radios* r, int index, double value) {
    // NAV: transfer 74/75; whole MHz up 76/77, down 80/81; fraction up 78/79, down 82/83.
    if (index == 74 || index == 75) {
        const int n = index - 74;
        std::swap(r->navActive[n], r->navStandby[n]);
        return true;
    }
    if (index >= 76 && index <= 83) {
        const int n = (index - 76) % 2;
        const int kind = (index - 76) / 2;  // 0 whole up, 1 fraction up, 2 whole down, 3 fraction down
        const int delta = kind < 2 ? 1 : -1;
        double& f = r->navStandby[n];
        f = kind % 2 == 0 ? StepWhole(f, delta, 108, 117) : StepFraction(f, delta, 50);
        return true;
    }
    // COM: transfer 90/91; whole up 92/93, fraction up 94/95, whole down 96/97, fraction down 98/99.
    if (index == 90 || index == 91) {
        const int n = index - 90;
        std::swap(r->comActive[n], r->comStandby[n]);
        return true;
    }
    if (index >= 92 && index <= 99) {
        const int n = (index - 92) % 2;
        const int kind = (index - 92) / 2;
        const int delta = kind < 2 ? 1 : -1;
        double& f = r->comStandby[n];
        f = kind % 2 == 0 ? StepWhole(f, delta, 118, 136) : StepFraction(f, delta, 25);
        return true;
    }
    // ADF: 180/181 raise, 182/183 lower ADF1/ADF2 standby by the amount sent, in tenths.
    if (index >= 180 && index <= 183) {
        const int n = (index - 180) % 2;
        r->adfStandby[n] = StepAdf(r->adfStandby[n], index < 182 ? value : -value);
        return true;
    }
    if (index == 126 || index == 127) {
        const double mhz = NavBcdToMhz(static_cast<std::int32_t>(value));
        if (mhz > 0) r->navActive[index - 126] = mhz;
        return true;
    }
    return false;
}

void ReportRadios(const Radios& r, const std::function<void(int, double)>& emit) {
    // Rounded to the channel so that repeated steps do not drift.
    auto channel = [](double mhz) { return std::round(mhz * 1000.0) / 1000.0; };
    emit(27, channel(r.navActive[0]));
    emit(30, channel(r.navStandby[0]));
    emit(66, channel(r.navActive[1]));
    emit(73, channel(r.navStandby[1]));
    emit(86, channel(r.comActive[0]));
    emit(88, channel(r.comStandby[0]));
    emit(87, channel(r.comActive[1]));
    emit(89, channel(r.comStandby[1]));
    emit(227, r.adfActive[0]);
    emit(228, r.adfActive[1]);
    emit(229, r.adfStandby[0]);
    emit(230, r.adfStandby[1]);
}

double NavBcdToMhz(std::int32_t bcd) {
    if (bcd <= 0 || bcd > 0xFFFF) return 0.0;
    int digits = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const int d = (bcd >> shift) & 0xF;
        if (d > 9) return 0.0;
        digits = digits * 10 + d;
    }
    // The leading 1 of 1xx.xx MHz is implied by the four digits.
    return 100.0 + digits / 100.0;
}

}  // namespace dbnode
