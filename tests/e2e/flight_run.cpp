#include <cstdio>

#include "tests/e2e/flight_check.h"
#include "tests/e2e/runs.h"
#include "tools/dbnode/plan_file.h"

namespace e2e {

namespace {
// Real seconds allowed for the whole run, and for the flight within it.
constexpr double kWallLimitSec = 240;
constexpr double kFlightDeadlineSec = 225;
}  // namespace

// Flies a plan from an airborne start with LNAV and VNAV armed by the node,
// and judges the flight from what the node saw.
int RunFlight(const SessionPaths& paths, const std::string& planFile) {
    FlightPlan plan;
    std::string error;
    if (!dbnode::LoadPlanFile(planFile, 1, &plan, &error)) {
        std::printf("FAIL: plan: %s\n", error.c_str());
        return 1;
    }
    Session s;
    const std::vector<std::string> args = {"--plan", planFile, "--airborne", "46.8,8.0,0,3000,250", "--speedup", "10",
                                           "--arm-nav", "--pos-every", "0.25"};
    if (!StartSession(&s, paths, args, &error)) {
        std::printf("FAIL: %s\n", error.c_str());
        return 1;
    }
    std::vector<std::string> failures;
    auto fail = [&](const std::string& what) {
        std::printf("  failed: %s (at %.1f s)\n", what.c_str(), Elapsed(s));
        failures.push_back(what);
    };
    if (!WaitForLog(&s, "GetUdpMsg() - Connected to DB", 1, 20)) fail("client never logged the connection");

    // Follow the activations as they come, until the plan ends.
    std::size_t seen = 0;
    bool ended = false;
    while (!ended && Elapsed(s) < kFlightDeadlineSec && ChildRunning(&s.client)) {
        Pump(&s, 0.5);
        for (; seen < s.transcript.size(); ++seen) {
            const std::string& text = s.transcript[seen].text;
            if (text.rfind("ACTIVE POINT", 0) == 0 || text.rfind("ARMED", 0) == 0 || text.rfind("PLAN", 0) == 0) {
                std::printf("%6.1f s  %s\n", s.transcript[seen].time, text.c_str());
            }
            if (text == "ACTIVE POINT NONE" && CountLines(s.transcript, "ACTIVE POINT 0") > 0) ended = true;
        }
    }
    if (!ended) fail("the plan did not end in time");
    Pump(&s, 2);  // the end-of-plan sets that follow 222 = -1
    if (!ChildRunning(&s.client)) fail("client ended during the flight");
    if (CountLog(s, "Monitor() - Disconnected") != 0) fail("the link dropped during the flight");
    if (CountLines(s.transcript, "BAD update") + CountLines(s.transcript, "BAD datagram") > 0) {
        fail("the client sent malformed datagrams");
    }
    const int code = EndSession(&s);
    if (code != 0) fail("client exit code " + std::to_string(code) + " after SIGTERM");
    if (CountSanitizerReports(s) > 0) fail("sanitizer reports in the programs' output");
    std::vector<std::string> notes;
    for (const std::string& f : CheckFlight(s.transcript, plan, FlightLimits{}, &notes)) fail(f);
    for (const std::string& n : notes) std::printf("          %s\n", n.c_str());
    if (Elapsed(s) > kWallLimitSec) fail("run took longer than 4 minutes");
    std::printf("%6.1f s  done\n", Elapsed(s));
    return Finish(s, failures);
}

}  // namespace e2e
