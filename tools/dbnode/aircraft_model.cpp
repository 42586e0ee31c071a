#include "tools/dbnode/aircraft_model.h"

#include <algorithm>
#include <cmath>

#include "protocol/vars.h"
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
        case var::SetHeading: m->selectedHeading = WrapDeg(value); return true;
        case var::SetAltitude: m->selectedAltitude = value; return true;
        case var::SetSpeed: m->selectedSpeed = std::max(0.0, value); return true;
        case var::VerticalSpeed: m->verticalSpeedCommand = value; return true;
        case var::HeadingHold: m->headingHold = on; return true;
        case var::AltitudeHold: m->altitudeHold = on; return true;
        case var::SpeedHold: m->autothrust = on; return true;
        case var::AutopilotCmd: m->autopilot = on; return true;
        case var::FlightDirectorCmd: m->flightDirector = on; return true;
        case var::ApproachCmd: m->approach = on; return true;
        case var::LocaliserCmd: m->localiser = on; return true;
        case var::ThrustArmCmd: m->thrustArm = on; return true;
        case var::ThrottleCmd:
            m->throttleCommanded = true;
            m->throttle = std::clamp(value * 100.0 / kThrottleFull, 0.0, 100.0);
            return true;
        case var::CaptSetCourse: m->course1 = value; return true;
        case var::FoSetCourse: m->course2 = value; return true;
        case var::Gear: m->gearDown = on; return true;
        case var::Flaps: m->flaps = std::isfinite(value) ? static_cast<std::int32_t>(std::clamp(value, 0.0, 40.0)) : 0; return true;
        case var::PauseSwitch: m->paused = !on; return true;  // the switch reads 0 while paused
        case var::Barometer: m->barometer = value; return true;
        case var::Minimums: m->minimums = value; return true;
        // Reported state, so that a script can place the aircraft
        case var::Latitude: m->latitude = std::clamp(value, -89.0, 89.0); return true;
        case var::Longitude: m->longitude = value; return true;
        case var::Heading: m->heading = WrapDeg(value); return true;
        case var::Altitude: m->altitude = value; return true;
        case var::GroundSpeed:
        case var::Speed: m->speed = std::max(0.0, value); return true;
        case var::SelAltitude: m->selectedAltitude = value; return true;
        case var::SelHeading: m->selectedHeading = WrapDeg(value); return true;
        case var::SelSpeed: m->selectedSpeed = std::max(0.0, value); return true;
        case var::Autopilot: m->autopilot = on; return true;
        case var::FlightDirector: m->flightDirector = on; return true;
        case var::Approach: m->approach = on; return true;
        case var::Localiser: m->localiser = on; return true;
        case var::ThrustArm: m->thrustArm = on; return true;
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
    emit(var::Latitude, m.latitude);
    emit(var::Longitude, m.longitude);
    emit(var::Heading, m.heading);
    emit(var::Altitude, m.altitude);
    emit(var::Height, m.altitude);  // the ground is at sea level
    emit(var::GroundSpeed, m.speed);
    emit(var::Speed, m.speed);
    emit(var::ThrottlePosition, m.throttle);
    emit(var::SelHeading, m.selectedHeading);
    emit(var::SelAltitude, m.selectedAltitude);
    emit(var::SelSpeed, m.selectedSpeed);
    emit(var::VerticalSpeed, m.verticalSpeedCommand);
    emit(var::HeadingHold, m.headingHold ? 1 : 0);
    emit(var::AltitudeHold, m.altitudeHold ? 1 : 0);
    emit(var::SpeedHold, m.autothrust ? 1 : 0);
    emit(var::Autopilot, m.autopilot ? 1 : 0);
    emit(var::FlightDirector, m.flightDirector ? 1 : 0);
    emit(var::Approach, m.approach ? 1 : 0);
    emit(var::Localiser, m.localiser ? 1 : 0);
    emit(var::ThrustArm, m.thrustArm ? 1 : 0);
    emit(var::CaptCourse, m.course1);
    emit(var::FoCourse, m.course2);
    emit(var::Minimums, m.minimums);
    emit(var::Barometer, m.barometer);
    emit(var::Gear, m.gearDown ? 1 : 0);
    emit(var::Flaps, m.flaps);
    emit(var::PauseSwitch, m.paused ? 0 : 1);
    ReportRadios(m.radios, emit);
}

}  // namespace dbnode
