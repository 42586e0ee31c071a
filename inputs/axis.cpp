#include "inputs/axis.h"

#include <algorithm>

namespace inputs {

void CalibrationBegin(AxisCalibration* c, int raw) { *c = AxisCalibration{raw, raw, raw}; }

void CalibrationSee(AxisCalibration* c, int raw) {
    c->minimum = std::min(c->minimum, raw);
    c->maximum = std::max(c->maximum, raw);
}

double AxisNormalise(const AxisCalibration& c, int raw) {
    // In double: a full 16-bit range overflows int differences nowhere, and
    // a potentiometer's 0..1023 scales the same way.
    const double lo = c.minimum, hi = c.maximum;
    if (hi <= lo) return 0.0;
    double centre = c.centre;
    if (centre <= lo || centre >= hi) centre = (lo + hi) / 2;
    const double v = std::clamp(static_cast<double>(raw), lo, hi);
    return v < centre ? (v - centre) / (centre - lo) : (v - centre) / (hi - centre);
}

double AxisDeadBand(double value, double band) {
    if (band <= 0.0) return value;
    if (band >= 1.0) return 0.0;
    const double size = value < 0 ? -value : value;
    if (size <= band) return 0.0;
    const double out = (size - band) / (1.0 - band);
    return value < 0 ? -out : out;
}

int AxisZone(const AxisZones& zones, AxisState* s, double value) {
    const std::vector<double>& e = zones.edges;
    const int last = static_cast<int>(e.size());
    if (s->zone < 0 || s->zone > last) {
        s->zone = static_cast<int>(std::upper_bound(e.begin(), e.end(), value) - e.begin());
        return s->zone;
    }
    // One edge at a time, so a fast sweep over several detents lands right.
    while (s->zone < last && value >= e[s->zone] + zones.hysteresis) ++s->zone;
    while (s->zone > 0 && value <= e[s->zone - 1] - zones.hysteresis) --s->zone;
    return s->zone;
}

int AxisStep(const AxisConfig& config, AxisState* s, int raw) {
    return AxisZone(config.zones, s, AxisDeadBand(AxisNormalise(config.calibration, raw), config.deadBand));
}

}  // namespace inputs
