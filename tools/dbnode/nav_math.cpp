#include "tools/dbnode/nav_math.h"

#include <cmath>
#include <numbers>

namespace dbnode {
namespace {
constexpr double kRad = std::numbers::pi / 180.0;
}

double BearingDeg(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kRad;
    const double p2 = lat2 * kRad;
    const double dl = (lon2 - lon1) * kRad;
    const double y = std::sin(dl) * std::cos(p2);
    const double x = std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl);
    return WrapDeg(std::atan2(y, x) / kRad);
}

double DistanceNm(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kRad;
    const double p2 = lat2 * kRad;
    const double sp = std::sin((p2 - p1) / 2);
    const double sl = std::sin((lon2 - lon1) * kRad / 2);
    const double h = sp * sp + std::cos(p1) * std::cos(p2) * sl * sl;
    return 2 * std::asin(std::sqrt(std::fmin(1.0, h))) * kNmPerRadian;
}

void MoveAlong(double lat, double lon, double courseDeg, double distanceNm, double* outLat,
               double* outLon) {
    const double p1 = lat * kRad;
    const double l1 = lon * kRad;
    const double c = courseDeg * kRad;
    const double d = distanceNm / kNmPerRadian;
    const double p2 = std::asin(std::sin(p1) * std::cos(d) + std::cos(p1) * std::sin(d) * std::cos(c));
    const double l2 =
        l1 + std::atan2(std::sin(c) * std::sin(d) * std::cos(p1), std::cos(d) - std::sin(p1) * std::sin(p2));
    *outLat = p2 / kRad;
    double lonDeg = l2 / kRad;
    if (lonDeg > 180) lonDeg -= 360;
    if (lonDeg < -180) lonDeg += 360;
    *outLon = lonDeg;
}

double WrapDeg(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0) d += 360.0;
    if (d >= 360.0) d -= 360.0;
    return d;
}

double TurnDeg(double from, double to) {
    double d = WrapDeg(to - from);
    if (d > 180.0) d -= 360.0;
    return d;
}

}  // namespace dbnode
