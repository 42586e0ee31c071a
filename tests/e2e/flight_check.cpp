// Judges a flown plan from the node's transcript: the points activated in
// order, the end of the plan declared, the aircraft on each leg once it had
// intercepted it, and each altitude target reached without overshoot.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tests/e2e/e2e.h"

namespace e2e {
namespace {

constexpr int kActivePoint = 222, kPlanFollowed = 216;
constexpr double kInterceptNm = 1.0, kMaxCrossTrackNm = 2.0, kAltitudeSlackFt = 50.0;

struct Event {
    int set = -1;  // the variable of a SET line
    double value = 0;
    bool pos = false;  // a POS line
    double lat = 0, lon = 0, alt = 0, time = 0;  // time: the node's simulated seconds
};

// Distance in nm from the line through a and b (flat earth about a).
double CrossTrackNm(double lat, double lon, double latA, double lonA, double latB, double lonB) {
    const double k = std::cos(latA * M_PI / 180.0);
    const double bx = (lonB - lonA) * 60.0 * k, by = (latB - latA) * 60.0;
    const double px = (lon - lonA) * 60.0 * k, py = (lat - latA) * 60.0;
    return std::fabs(bx * py - by * px) / std::max(std::hypot(bx, by), 1e-9);
}

std::string Say(const char* format, double a, double b = 0, double c = 0) {
    char buf[200];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

}  // namespace

std::vector<std::string> CheckFlight(const std::vector<std::string>& lines, const FlightPlan& plan) {
    std::vector<Event> t;
    for (const std::string& line : lines) {
        Event e;
        double heading = 0, speed = 0;
        char tail = 0;
        if (std::sscanf(line.c_str(), "SET %d = %lf %c", &e.set, &e.value, &tail) != 2) e.set = -1;
        e.pos = std::sscanf(line.c_str(), "POS %lf %lf HDG %lf ALT %lf SPD %lf T %lf", &e.lat, &e.lon, &heading, &e.alt,
                            &speed, &e.time) == 6;
        t.push_back(e);
    }
    // Point activations; the client's reset for the plan sets point 0 first.
    const int n = plan.pointCount;
    std::vector<int> points, expected;
    std::vector<std::size_t> at;  // where each activation is in the transcript
    std::string seen;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const int point = static_cast<int>(t[i].value);
        if (t[i].set != kActivePoint || (points.empty() ? point != 0 : points.back() == point)) continue;
        points.push_back(point);
        at.push_back(i);
        seen += " " + std::to_string(point);
    }
    for (int k = 0; k < n; ++k) expected.push_back(k);
    expected.push_back(-1);
    if (points != expected) return {"points activated:" + seen + "; expected 0 to " + std::to_string(n - 1) + ", then -1"};

    std::vector<std::string> failures;
    bool ended = false;
    for (std::size_t i = at[static_cast<std::size_t>(n - 1)]; i < t.size(); ++i) {
        ended |= t[i].set == kPlanFollowed && t[i].value == 0;
    }
    if (!ended) failures.push_back("end of plan not declared (no 216 = 0 after the last point)");

    // The first leg runs from where the aircraft was when point 0 became active.
    const Event* start = nullptr;
    for (std::size_t i = 0; i < t.size() && (i <= at[0] || start == nullptr); ++i) {
        if (t[i].pos) start = &t[i];
    }
    if (start == nullptr) return {"no position reported"};
    for (std::size_t k = 0; k < static_cast<std::size_t>(n); ++k) {
        const FlightPoint& to = plan.points[k];
        const double fromLat = k == 0 ? start->lat : plan.points[k - 1].latitude;
        const double fromLon = k == 0 ? start->lon : plan.points[k - 1].longitude;
        bool intercepted = false;
        double worst = 0, worstTime = 0;
        for (std::size_t i = at[k]; i < at[k + 1]; ++i) {
            if (!t[i].pos) continue;
            const double xtk = CrossTrackNm(t[i].lat, t[i].lon, fromLat, fromLon, to.latitude, to.longitude);
            intercepted |= xtk <= kInterceptNm;
            if (intercepted && xtk > worst) worst = xtk, worstTime = t[i].time;
        }
        const double kk = static_cast<double>(k);
        std::printf("          leg to point %zu: worst %.2f nm off track after the intercept\n", k, worst);
        if (!intercepted) failures.push_back(Say("leg to point %.0f never intercepted", kk));
        if (worst > kMaxCrossTrackNm) failures.push_back(Say("leg to point %.0f: %.2f nm off track at sim %.0f s", kk, worst, worstTime));

        // Point k's altitude is reached at the latest while point k + 1 is
        // active, and not overshot while point k is.
        const std::size_t deadline = k + 2 <= static_cast<std::size_t>(n) ? at[k + 2] : t.size();
        double ceiling = -1, reachedAt = -1, highest = 0;
        for (std::size_t i = at[k]; i < deadline; ++i) {
            if (!t[i].pos) continue;
            if (ceiling < 0) ceiling = std::max<double>(to.altitude, t[i].alt) + kAltitudeSlackFt;
            if (reachedAt < 0 && t[i].alt >= to.altitude - kAltitudeSlackFt) reachedAt = t[i].time;
            if (i < at[k + 1]) highest = std::max(highest, t[i].alt);
        }
        std::printf("          point %zu: %.0f ft reached at sim %.0f s\n", k, static_cast<double>(to.altitude), reachedAt);
        if (reachedAt < 0) failures.push_back(Say("altitude %.0f ft of point %.0f not reached in time", to.altitude, kk));
        if (ceiling >= 0 && highest > ceiling) failures.push_back(Say("%.0f ft: above the target %.0f ft of point %.0f", highest, to.altitude, kk));
    }
    return failures;
}

}  // namespace e2e
