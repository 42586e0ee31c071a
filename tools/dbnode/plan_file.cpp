#include "tools/dbnode/plan_file.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "tools/dbnode/nav_math.h"

namespace dbnode {
namespace {

bool ParseNumber(const std::string& text, double* out) {
    if (text.empty()) return false;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (errno != 0 || end == text.c_str() || *end != '\0' || !std::isfinite(v)) return false;
    *out = v;
    return true;
}

bool ParseShort(const std::string& text, std::int16_t* out) {
    double v = 0;
    if (!ParseNumber(text, &v) || v != std::trunc(v) || v < -32768 || v > 32767) return false;
    *out = static_cast<std::int16_t>(v);
    return true;
}

struct PointLine {
    FlightPoint point{};
    bool hasCourse = false;
};

bool ParsePointLine(const std::string& line, PointLine* out, std::string* why) {
    FlightPoint& p = out->point;
    std::memset(&p, 0, sizeof p);
    p.nav1Course = -1;
    p.nav2Course = -1;
    bool hasLat = false;
    bool hasLon = false;
    std::istringstream words(line);
    std::string word;
    while (words >> word) {
        const std::size_t eq = word.find('=');
        if (eq == std::string::npos || eq == 0) {
            *why = "expected name=value, got '" + word + "'";
            return false;
        }
        const std::string name = word.substr(0, eq);
        const std::string value = word.substr(eq + 1);
        double v = 0;
        bool ok = true;
        if (name == "lat") {
            ok = ParseNumber(value, &v) && v >= -90 && v <= 90;
            p.latitude = v;
            hasLat = true;
        } else if (name == "lon") {
            ok = ParseNumber(value, &v) && v >= -180 && v <= 180;
            p.longitude = v;
            hasLon = true;
        } else if (name == "speed") {
            ok = ParseNumber(value, &v) && v >= 0 && v < 2000;
            p.speed = static_cast<float>(v);
        } else if (name == "alt") {
            ok = ParseNumber(value, &v) && v >= -2000 && v < 100000;
            p.altitude = static_cast<float>(v);
        } else if (name == "course") {
            ok = ParseNumber(value, &v) && v >= 0 && v <= 360;
            p.course = static_cast<float>(v);
            out->hasCourse = true;
        } else if (name == "nav1") {
            ok = ParseShort(value, &p.nav1Frequency);
        } else if (name == "nav2") {
            ok = ParseShort(value, &p.nav2Frequency);
        } else if (name == "vs") {
            ok = ParseShort(value, &p.verticalSpeed);
        } else if (name == "crs1") {
            ok = ParseShort(value, &p.nav1Course);
        } else if (name == "crs2") {
            ok = ParseShort(value, &p.nav2Course);
        } else {
            *why = "unknown field '" + name + "'";
            return false;
        }
        if (!ok) {
            *why = "bad value for " + name + ": '" + value + "'";
            return false;
        }
    }
    if (!hasLat || !hasLon) {
        *why = "a point needs lat and lon";
        return false;
    }
    return true;
}

}  // namespace

bool ParsePlanText(const std::string& text, int serial, FlightPlan* plan, std::string* error) {
    std::memset(plan, 0, sizeof *plan);
    PointLine lines[kMaxFlightPoints];
    int count = 0;
    std::istringstream in(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        if (count == kMaxFlightPoints) {
            *error = "line " + std::to_string(lineNumber) + ": more than " +
                     std::to_string(kMaxFlightPoints) + " points";
            return false;
        }
        std::string why;
        if (!ParsePointLine(line, &lines[count], &why)) {
            *error = "line " + std::to_string(lineNumber) + ": " + why;
            return false;
        }
        ++count;
    }
    if (count == 0) {
        *error = "no points";
        return false;
    }
    for (int i = 0; i < count; ++i) {
        FlightPoint& p = lines[i].point;
        if (!lines[i].hasCourse) {
            const bool last = i + 1 == count;
            p.course = last ? 0.0F
                            : static_cast<float>(BearingDeg(p.latitude, p.longitude,
                                                            lines[i + 1].point.latitude,
                                                            lines[i + 1].point.longitude));
        }
        plan->points[i] = p;
    }
    plan->pointCount = count;
    plan->serial = serial;
    return true;
}

bool LoadPlanFile(const std::string& path, int serial, FlightPlan* plan, std::string* error) {
    std::ifstream file(path);
    if (!file) {
        *error = "cannot open " + path;
        return false;
    }
    std::ostringstream all;
    all << file.rdbuf();
    return ParsePlanText(all.str(), serial, plan, error);
}

}  // namespace dbnode
