// An axis as the cockpit reads it: raw value, calibration, dead band, and
// zones that act as a lever's detents. Pure: a game controller's axis and a
// board's potentiometer walk the same chain, only their raw ranges differ.
#pragma once
#include <vector>

namespace inputs {

// The raw values seen while the builder moved the axis through its range;
// the centre is where it rested when calibration began.
struct AxisCalibration {
    int minimum = -32768;
    int centre = 0;
    int maximum = 32767;
};

// Calibration begins with the axis at rest, and widens with every value seen.
void CalibrationBegin(AxisCalibration* c, int raw);
void CalibrationSee(AxisCalibration* c, int raw);

// -1..1, the centre at 0, each side scaled on its own so that an off-centre
// rest still reaches both ends. A centre at either end (a lever resting at
// idle) has no centre: the middle of the range is taken. A range of one
// value reads 0.
double AxisNormalise(const AxisCalibration& c, int raw);

// Values within `band` of the centre read 0; beyond, the rest of the range
// is stretched so that the output still runs to +-1 without a jump.
double AxisDeadBand(double value, double band);

// N zones: N-1 edges, ascending normalised positions. Leaving a zone takes
// passing its edge by `hysteresis`, so noise at an edge never flips it.
struct AxisZones {
    std::vector<double> edges;
    double hysteresis = 0.02;
};

struct AxisConfig {
    AxisCalibration calibration;
    double deadBand = 0.0;
    AxisZones zones;
};

struct AxisState {
    int zone = -1;  // -1 until the first value
};

// The zone `value` lies in, moving `s` only past an edge's hysteresis. The
// first value takes its zone as it is.
int AxisZone(const AxisZones& zones, AxisState* s, double value);

// The whole chain, raw value to zone.
int AxisStep(const AxisConfig& config, AxisState* s, int raw);

}  // namespace inputs
