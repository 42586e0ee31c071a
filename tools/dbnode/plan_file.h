// Flight plans as plain text, one point per line with named fields:
//   lat=47.0 lon=8.0 speed=250 alt=5000 course=90 nav1=11390 nav2=0 vs=0 crs1=-1 crs2=-1
// lat and lon are required. Omitted fields: speed, alt, nav1, nav2, vs = 0;
// crs1, crs2 = -1; course = the bearing to the next point (0 for the last).
// Blank lines and lines starting with '#' are skipped.
#pragma once
#include <string>

#include "protocol/flight_plan.h"

namespace dbnode {

// Fills `plan` (serial included). On a bad line returns false and describes
// it in `error` as "line N: ...".
bool ParsePlanText(const std::string& text, int serial, FlightPlan* plan, std::string* error);

bool LoadPlanFile(const std::string& path, int serial, FlightPlan* plan, std::string* error);

}  // namespace dbnode
