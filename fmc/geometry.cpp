#include "fmc/geometry.h"

#include <cmath>

#include "base/fatal.h"

namespace {

constexpr double kConversionPi = 3.14159;
constexpr double kNauticalMilesPerRadian = 10800.0 / 3.14159265;

}  // namespace

double DegToRad(double degrees) { return degrees * kConversionPi / 180.0; }

double RadToDeg(double radians) { return radians * 180.0 / kConversionPi; }

double InitialBearing(double startLatitude, double startLongitude, double destLatitude,
                      double destLongitude) {
    const double p1 = DegToRad(startLatitude);
    const double p2 = DegToRad(destLatitude);
    const double dl = DegToRad(destLongitude - startLongitude);
    const double theta = std::atan2(std::sin(dl) * std::cos(p2),
                                    std::cos(p1) * std::sin(p2) -
                                        std::sin(p1) * std::cos(p2) * std::cos(dl));
    double b = RadToDeg(theta);
    if (b < 0) b += 360.0;
    // atan2 gives at most pi, which the short pi turns into a touch over 180,
    // never over 360; the fold is kept for symmetry with the lower bound.
    if (b > 360.0) b -= 360.0;
    return b;
}

double GreatCircleDistance(double latitude1, double longitude1, double latitude2,
                           double longitude2) {
    const double p1 = DegToRad(latitude1);
    const double l1 = DegToRad(longitude1);
    const double p2 = DegToRad(latitude2);
    const double l2 = DegToRad(longitude2);
    const double sLat = std::sin((p1 - p2) / 2.0);
    const double sLon = std::sin((l1 - l2) / 2.0);
    const double h = sLat * sLat + std::cos(p2) * std::cos(p1) * sLon * sLon;
    const double c = 2.0 * std::asin(std::sqrt(h));
    return c * kNauticalMilesPerRadian;
}

double NormalizeHeading(double degrees) {
    // Subtracting 360 no longer changes a huge value, so the loops would never
    // end; such values are reduced first (an infinity becomes NaN, which
    // BearingDifference refuses).
    if (std::fabs(degrees) > 1e9) degrees = std::fmod(degrees, 360.0);
    while (degrees > 360.0) degrees -= 360.0;
    while (degrees < 0.0) degrees += 360.0;
    return degrees;
}

double BearingDifference(double reference, double actual) {
    const double a = NormalizeHeading(reference);
    const double b = NormalizeHeading(actual);
    if ((a <= 180.0 && b <= 180.0) || (a >= 180.0 && b >= 180.0)) return b - a;
    if (a <= 180.0 && b >= 180.0) {
        double d = b - (a + 360.0);
        if (d < -180.0) d += 360.0;
        return d;
    }
    if (a >= 180.0 && b <= 180.0) {
        double d = (b + 360.0) - a;
        if (d > 180.0) d -= 360.0;
        return d;
    }
    // Only a NaN gets here: no bearing can be flown from it.
    FatalStop(2233, nullptr);
}
