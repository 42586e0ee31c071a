#include "fmc/radios.h"

#include "fmc/fmc_state.h"
#include "link/var_access.h"

namespace {

constexpr std::int32_t kTuningsPerActivation = 3;

// 0 means "do not tune"; a negative number is no frequency at all.
void TuneRadio(std::int32_t variable, std::int16_t frequency) {
    if (frequency > 0) SetIntVar(variable, BinToBCD(frequency));
}

}  // namespace

void ProcessRadios(std::int32_t index) {
    FmcDebugf("ProcessRadios() - Index: %d\n", index);
    const FlightPoint* p = PlanPoint(index);
    if (p == nullptr || fmcState.radioTuneCount >= kTuningsPerActivation) return;
    FmcDebugf("ProcessRadios() - Nav1: %d  Nav2: %d\n", p->nav1Frequency, p->nav2Frequency);
    TuneRadio(var::Nav1Bcd, p->nav1Frequency);
    TuneRadio(var::Nav2Bcd, p->nav2Frequency);
    // Repeated a few times in case a set is lost, then the user may re-tune.
    ++fmcState.radioTuneCount;
}

std::int32_t BinToBCD(std::int32_t value) {
    std::int32_t result = 0;
    if (value > 0) {
        std::int32_t v = value;
        for (int position = 0; position < 4; ++position) {
            const std::int32_t digit = v % 10;
            result |= digit << (4 * position);
            v = (v - digit) / 10;
        }
    }
    FmcDebugf("BinToBCD() - BinVal: %d: BCDVal: %x\n", value, static_cast<unsigned>(result));
    return result;
}
