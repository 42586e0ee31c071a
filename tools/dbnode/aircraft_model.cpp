#include "tools/dbnode/aircraft_model.h"

#include <algorithm>
#include <cmath>

#include "tools/dbnode/nav_math.h"

namespace dbnode {
namespace {

// Throttle command units: 16384 is full throttle.
constexpr double kThrottleFull = 16384.0;
constexpr double kCruiseThrottle = 60.0;

double Approach(double value, double target, double maxStep) {
    if (value < target) return std::min(target, value + maxStep);
    return std::max(target, value - maxStep);
}

}  // namespace

void StartAirborne(AircraftModel* m, double lat, double lon, double heading, double altitude,
                   double speed) {
    m->latitude = lat;
    m->longitude = lon;
    m->heading = WrapDeg(heading);
    m->altitude = altitude;
    m->speed = speed;
    m->verticalSpeed = 0;
    m->throttle = kCruiseThrottle;
    m->selectedHeading = m->heading;
    m->selectedAltitude = altitude;
    m->selectedSpeed = speed;
    m->verticalSpeedCommand = 0;
    m->autopilot = true;
    m->flightDirector = true;
    m->headingHold = true;
    m->altitudeHold = true;
    m->autothrust = true;
    m->gearDown = false;
    m->flaps = 0;
}

bool ApplyVariable(AircraftModel* m, int index, double value) {
    const bool on = value != 0.0;
    switch (index) {
        // Commands from the client
        case 122: m->selectedHeading = WrapDeg(value); return true;
        case 123: m->selectedAltitude = value; return true;
        case 124: m->selectedSpeed = std::max(0.0, value); return true;
        case 20: m->verticalSpeedCommand = value; return true;
        case 50: m->headingHold = on; return true;
        case 25: m->altitudeHold = on; return true;
        case 22: m->autothrust = on; return true;
        case 172: m->autopilot = on; return true;
        case 173: m->flightDirector = on; return true;
        case 108: m->approach = on; return true;
        case 109: m->localiser = on; return true;
        case 184: m->thrustArm = on; return true;
        case 179:
            m->throttleCommanded = true;
            m->throttle = std::clamp(value * 100.0 / kThrottleFull, 0.0, 100.0);
            return true;
        case 118: m->course1 = value; return true;
        case 119: m->course2 = value; return true;
        case 47: m->gearDown = on; return true;
        case 72: m->flaps = std::isfinite(value) ? static_cast<std::int32_t>(std::clamp(value, 0.0, 40.0)) : 0; return true;
        case 185: m->paused = !on; return true;  // the switch reads 0 while paused
        case 7: m->barometer = value; return true;
        case 58: m->minimums = value; return true;
        // Reported state, so that a script can place the aircraft
        case 11: m->latitude = std::clamp(value, -89.0, 89.0); return true;
        case 12: m->longitude = value; return true;
        case 6: m->heading = WrapDeg(value); return true;
        case 54: m->altitude = value; return true;
        case 2:
        case 8: m->speed = std::max(0.0, value); return true;
        case 14: m->selectedAltitude = value; return true;
        case 15: m->selectedHeading = WrapDeg(value); return true;
        case 17: m->selectedSpeed = std::max(0.0, value); return true;
        case 170: m->autopilot = on; return true;
        case 171: m->flightDirector = on; return true;
        case 111: m->approach = on; return true;
        case 113: m->localiser = on; return true;
        case 121: m->thrustArm = on; return true;
        default: return ApplyRadioCommand(&m->radios, index, value);
    }
}

void StepModel(AircraftModel* m, double dt) {
    if (m->headingHold) {
        const double turn = TurnDeg(m->heading, m->selectedHeading);
        const double maxTurn = kTurnRateDegPerSec * dt;
        m->heading = WrapDeg(m->heading + std::clamp(turn, -maxTurn, maxTurn));
    }

    // Vertical: the commanded rate, but only toward the selected altitude and
    // never past it; a rate pointing away from it holds the altitude. Without
    // a command the default rate takes it there.
    double rate = 0.0;
    if (m->altitudeHold) {
        const double target = m->selectedAltitude;
        double command = m->verticalSpeedCommand;
        if (command == 0.0) command = m->altitude < target ? kDefaultVerticalSpeedFpm : -kDefaultVerticalSpeedFpm;
        if ((command > 0 && m->altitude < target) || (command < 0 && m->altitude > target)) {
            rate = command;
            const double next = m->altitude + command * dt / 60.0;
            m->altitude = command > 0 ? std::min(next, target) : std::max(next, target);
        }
    }
    m->altitude = std::max(0.0, m->altitude);
    m->verticalSpeed = rate;

    if (m->autothrust) {
        const double before = m->speed;
        m->speed = Approach(m->speed, m->selectedSpeed, kSpeedChangeKtPerSec * dt);
        if (m->speed > before) {
            m->throttle = 85.0;
        } else if (m->speed < before) {
            m->throttle = 30.0;
        } else {
            m->throttle = kCruiseThrottle;
        }
    } else if (m->throttleCommanded) {
        // Without autothrust the throttle sets the acceleration.
        m->speed = std::clamp(m->speed + (m->throttle - kCruiseThrottle) * 0.05 * dt, 0.0, 450.0);
    }

    const double distanceNm = m->speed * dt / 3600.0;
    if (distanceNm > 0) {
        MoveAlong(m->latitude, m->longitude, m->heading, distanceNm, &m->latitude, &m->longitude);
    }
}

void AdvanceModel(AircraftModel* m, double seconds, double* carry) {
    // The tolerance keeps rounding in the sum from dropping a whole step.
    if (m->paused) return;
    double left = *carry + seconds;
    while (left >= kModelStepSec - 1e-9) {
        StepModel(m, kModelStepSec);
        left -= kModelStepSec;
    }
    *carry = left;
}

void ReportVariables(const AircraftModel& m, const std::function<void(int, double)>& emit) {
    emit(11, m.latitude);
    emit(12, m.longitude);
    emit(6, m.heading);
    emit(54, m.altitude);
    emit(49, m.altitude);  // height: the ground is at sea level
    emit(2, m.speed);
    emit(8, m.speed);
    emit(16, m.throttle);
    emit(15, m.selectedHeading);
    emit(14, m.selectedAltitude);
    emit(17, m.selectedSpeed);
    emit(20, m.verticalSpeedCommand);
    emit(50, m.headingHold ? 1 : 0);
    emit(25, m.altitudeHold ? 1 : 0);
    emit(22, m.autothrust ? 1 : 0);
    emit(170, m.autopilot ? 1 : 0);
    emit(171, m.flightDirector ? 1 : 0);
    emit(111, m.approach ? 1 : 0);
    emit(113, m.localiser ? 1 : 0);
    emit(121, m.thrustArm ? 1 : 0);
    emit(67, m.course1);
    emit(68, m.course2);
    emit(58, m.minimums);
    emit(7, m.barometer);
    emit(47, m.gearDown ? 1 : 0);
    emit(72, m.flaps);
    emit(185, m.paused ? 0 : 1);
    ReportRadios(m.radios, emit);
}

}  // namespace dbnode
