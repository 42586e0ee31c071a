// Spherical navigation for the aircraft model and the plan file: true
// bearings in degrees, distances in nautical miles (exact pi; the client's
// own geometry is its business).
#pragma once

namespace dbnode {

constexpr double kNmPerRadian = 3437.7467707849396;  // 10800 / pi

double BearingDeg(double lat1, double lon1, double lat2, double lon2);
double DistanceNm(double lat1, double lon1, double lat2, double lon2);
// Point reached from (lat, lon) after `distanceNm` on true course `courseDeg`.
void MoveAlong(double lat, double lon, double courseDeg, double distanceNm, double* outLat,
               double* outLon);
// Folds into [0, 360).
double WrapDeg(double degrees);
// Signed shortest turn from `from` to `to`, in (-180, 180].
double TurnDeg(double from, double to);

}  // namespace dbnode
