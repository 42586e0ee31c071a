#include "tools/dbnode/radios.h"

#include <cmath>
#include <utility>

#include "protocol/vars.h"

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

// The step commands of one kind of radio run whole up, fraction up, whole
// down, fraction down, each for radio 1 then radio 2.
static_assert(var::Nav2FractionDown - var::Nav1WholeUp == 7 && var::Nav2Transfer == var::Nav1Transfer + 1);
static_assert(var::Com2FractionDown - var::Com1WholeUp == 7 && var::Com2Transfer == var::Com1Transfer + 1);
static_assert(var::Adf2Down - var::Adf1Up == 3 && var::Nav2Bcd == var::Nav1Bcd + 1);

bool ApplyRadioCommand(Radios* r, int index, double value) {
    if (index == var::Nav1Transfer || index == var::Nav2Transfer) {
        const int n = index - var::Nav1Transfer;
        std::swap(r->navActive[n], r->navStandby[n]);
        return true;
    }
    if (index >= var::Nav1WholeUp && index <= var::Nav2FractionDown) {
        const int n = (index - var::Nav1WholeUp) % 2;
        const int kind = (index - var::Nav1WholeUp) / 2;  // 0 whole up, 1 fraction up, 2 whole down, 3 fraction down
        const int delta = kind < 2 ? 1 : -1;
        double& f = r->navStandby[n];
        f = kind % 2 == 0 ? StepWhole(f, delta, 108, 117) : StepFraction(f, delta, 50);
        return true;
    }
    if (index == var::Com1Transfer || index == var::Com2Transfer) {
        const int n = index - var::Com1Transfer;
        std::swap(r->comActive[n], r->comStandby[n]);
        return true;
    }
    if (index >= var::Com1WholeUp && index <= var::Com2FractionDown) {
        const int n = (index - var::Com1WholeUp) % 2;
        const int kind = (index - var::Com1WholeUp) / 2;
        const int delta = kind < 2 ? 1 : -1;
        double& f = r->comStandby[n];
        f = kind % 2 == 0 ? StepWhole(f, delta, 118, 136) : StepFraction(f, delta, 25);
        return true;
    }
    // ADF: raise or lower the standby frequency by the amount sent, in tenths.
    if (index >= var::Adf1Up && index <= var::Adf2Down) {
        const int n = (index - var::Adf1Up) % 2;
        r->adfStandby[n] = StepAdf(r->adfStandby[n], index < var::Adf1Down ? value : -value);
        return true;
    }
    if (index == var::Nav1Bcd || index == var::Nav2Bcd) {
        const double mhz = NavBcdToMhz(static_cast<std::int32_t>(value));
        if (mhz > 0) r->navActive[index - var::Nav1Bcd] = mhz;
        return true;
    }
    return false;
}

void ReportRadios(const Radios& r, const std::function<void(int, double)>& emit) {
    // Rounded to the channel so that repeated steps do not drift.
    auto channel = [](double mhz) { return std::round(mhz * 1000.0) / 1000.0; };
    emit(var::Nav1Active, channel(r.navActive[0]));
    emit(var::Nav1Standby, channel(r.navStandby[0]));
    emit(var::Nav2Active, channel(r.navActive[1]));
    emit(var::Nav2Standby, channel(r.navStandby[1]));
    emit(var::Com1Active, channel(r.comActive[0]));
    emit(var::Com1Standby, channel(r.comStandby[0]));
    emit(var::Com2Active, channel(r.comActive[1]));
    emit(var::Com2Standby, channel(r.comStandby[1]));
    emit(var::Adf1Active, r.adfActive[0]);
    emit(var::Adf2Active, r.adfActive[1]);
    emit(var::Adf1Standby, r.adfStandby[0]);
    emit(var::Adf2Standby, r.adfStandby[1]);
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
