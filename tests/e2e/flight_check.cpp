#include "tests/e2e/flight_check.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace e2e {
namespace {

constexpr int kActivePoint = 222;
constexpr int kPlanFollowed = 216;

struct Activation {
    int point;
    std::size_t at;  // event position in the transcript
};

std::string Format(const char* format, double a, double b = 0, double c = 0) {
    char buf[200];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

}  // namespace

double CrossTrackNm(double lat, double lon, double latA, double lonA, double latB, double lonB) {
    const double k = std::cos(latA * 3.14159265358979 / 180.0);
    const double bx = (lonB - lonA) * 60.0 * k;
    const double by = (latB - latA) * 60.0;
    const double px = (lon - lonA) * 60.0 * k;
    const double py = (lat - latA) * 60.0;
    const double length = std::hypot(bx, by);
    if (length < 1e-9) return std::hypot(px, py);
    return std::fabs(bx * py - by * px) / length;
}

std::vector<std::string> CheckFlight(const Transcript& t, const FlightPlan& plan, const FlightLimits& limits,
                                     std::vector<std::string>* notes) {
    auto note = [&](const std::string& text) {
        if (notes != nullptr) notes->push_back(text);
    };
    std::vector<std::string> failures;
    const int n = std::clamp(plan.pointCount, 0, kMaxFlightPoints);

    // The client's reset for the plan sets point 0 first; sequencing starts there.
    std::vector<Activation> acts;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].kind != EventKind::kSet || t[i].index != kActivePoint) continue;
        const int point = static_cast<int>(t[i].value);
        if (acts.empty() && point != 0) continue;
        if (!acts.empty() && acts.back().point == point) continue;
        acts.push_back(Activation{point, i});
    }
    std::string seen;
    for (const Activation& a : acts) seen += " " + std::to_string(a.point);
    bool sequenceOk = static_cast<int>(acts.size()) == n + 1;
    for (int k = 0; sequenceOk && k <= n; ++k) {
        sequenceOk = acts[static_cast<std::size_t>(k)].point == (k < n ? k : -1);
    }
    if (!sequenceOk) {
        failures.push_back("points activated:" + (seen.empty() ? std::string(" none") : seen) + "; expected 0 to " +
                           std::to_string(n - 1) + " in order, then -1");
        return failures;
    }

    const std::size_t lastActivation = acts[static_cast<std::size_t>(n - 1)].at;
    bool endDeclared = false;
    for (std::size_t i = lastActivation; i < t.size(); ++i) {
        if (t[i].kind == EventKind::kSet && t[i].index == kPlanFollowed && t[i].value == 0) endDeclared = true;
    }
    if (!endDeclared) failures.push_back("end of plan not declared (no set of 216 = 0 after the last point)");

    // Legs: into point 0 from where the aircraft was when the plan loaded,
    // then from each point to the next.
    double startLat = 0, startLon = 0;
    bool haveStart = false;
    for (std::size_t i = 0; i < t.size() && (i <= acts[0].at || !haveStart); ++i) {
        if (t[i].kind != EventKind::kPosition) continue;
        startLat = t[i].latitude;
        startLon = t[i].longitude;
        haveStart = true;
    }
    if (!haveStart) failures.push_back("no position reported");
    for (int k = 0; k < n && haveStart; ++k) {
        const FlightPoint& to = plan.points[k];
        const double fromLat = k == 0 ? startLat : plan.points[k - 1].latitude;
        const double fromLon = k == 0 ? startLon : plan.points[k - 1].longitude;
        bool intercepted = false;
        double worst = 0;
        double worstTime = 0;
        for (std::size_t i = acts[static_cast<std::size_t>(k)].at; i < acts[static_cast<std::size_t>(k + 1)].at; ++i) {
            if (t[i].kind != EventKind::kPosition) continue;
            const double xtk = CrossTrackNm(t[i].latitude, t[i].longitude, fromLat, fromLon, to.latitude, to.longitude);
            if (!intercepted && xtk <= limits.interceptNm) intercepted = true;
            if (intercepted && xtk > worst) {
                worst = xtk;
                worstTime = t[i].time;
            }
        }
        if (intercepted) note(Format("leg to point %.0f: worst %.2f nm off track after the intercept", k, worst));
        if (!intercepted) {
            failures.push_back(Format("leg to point %.0f never intercepted", k));
        } else if (worst > limits.maxCrossTrackNm) {
            failures.push_back(Format("leg to point %.0f: %.2f nm off track at %.1f s", k, worst, worstTime));
        }
    }

    // Altitudes: point k's target is reached at the latest while point k + 1
    // is active, and never overshot while point k is active.
    for (int k = 0; k < n; ++k) {
        const double target = plan.points[k].altitude;
        const std::size_t from = acts[static_cast<std::size_t>(k)].at;
        const std::size_t windowEnd = acts[static_cast<std::size_t>(k + 1)].at;
        const std::size_t deadline = k + 2 <= n ? acts[static_cast<std::size_t>(k + 2)].at : t.size();
        bool reached = false;
        double ceiling = target + limits.altitudeSlackFt;
        bool first = true;
        for (std::size_t i = from; i < t.size(); ++i) {
            if (t[i].kind != EventKind::kPosition) continue;
            if (first) {
                ceiling = std::max(ceiling, t[i].altitude + limits.altitudeSlackFt);
                first = false;
            }
            if (!reached && i < deadline && t[i].altitude >= target - limits.altitudeSlackFt) {
                reached = true;
                note(Format("point %.0f: %.0f ft reached at %.1f s", k, target, t[i].time));
            }
            if (i < windowEnd && t[i].altitude > ceiling) {
                failures.push_back(Format("altitude %.0f ft above the target %.0f ft of point %.0f", t[i].altitude,
                                          target, k));
                break;
            }
        }
        if (!reached) failures.push_back(Format("altitude target %.0f ft of point %.0f not reached in time", target, k));
    }
    return failures;
}

}  // namespace e2e
